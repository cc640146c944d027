#include "storage/mediacount.h"

#include "base/messages.h"
#include "base/strlist.h"
#include "bridge/catalogue.h"
#include "bridge/host.h"
#include "storage/parsing.h"

#include <limits>

namespace {

const Message Title{"--- Calculating Photo and Video Counts (ROOT Mode) ---",
                    "--- Calcul du Nombre de Photos et Vidéos (Mode ROOT) ---"};
const Message PhotoProgress{"  -> Searching for Photos (JPG, PNG, etc.) via ROOT find...",
                            "  -> Recherche des Photos (JPG, PNG, etc.) via ROOT find..."};
const Message PhotosFound{"     Photos found: %1", "     Photos trouvées: %1"};
const Message VideoProgress{"  -> Searching for Videos (MP4, MOV, etc.) via ROOT find...",
                            "  -> Recherche des Vidéos (MP4, MOV, etc.) via ROOT find..."};
const Message VideosFound{"     Videos found: %1", "     Vidéos trouvées: %1"};
const Message ParseError{"     Parsing error (Unexpected root output).",
                         "     Erreur de parsing (Sortie root inattendue)."};
const Message FinalTitle{"--- Final Result ---", "--- Résultat Final ---"};
const Message TotalPhotos{"Total Photos: ", "Total Photos: "};
const Message TotalVideos{"Total Videos: ", "Total Vidéos: "};
const Message TotalMediaLine{"Total Media (Photos + Videos): **", "Total Médias (Photos + Vidéos): **"};
const Message ZeroWarning{
    "❗ Count is zero: This means root access was not granted (no \"su\" or permission denied).",
    "❗ Le compte est zéro : Cela signifie que l'accès root n'a pas été accordé (pas de \"su\" ou permission refusée)."};

constexpr qint64 Smallest32 = std::numeric_limits<qint32>::min();
constexpr qint64 Largest32 = std::numeric_limits<qint32>::max();

// Runs one root count and logs what its first line says.
qint32 countAndLog(bridge::Host& host, const QString& cmd, const Message& found) {
    const storage::CountReading reading = storage::readCount(host.ExecuteADBCommand(cmd));
    switch (reading.kind) {
    case storage::CountReading::Kind::NoOutput:
        break;
    case storage::CountReading::Kind::Counted:
        host.write(bridge::Kind::Detail, host.text(found).arg(reading.count));
        break;
    case storage::CountReading::Kind::ParseError:
        host.write(bridge::Kind::Unavailable, host.text(ParseError));
        break;
    }
    return reading.count;
}

} // namespace

namespace storage {

CountReading readCount(const QStringList& output) {
    if (output.isEmpty())
        return {};
    const QString line = strlist::trim(output.first());
    if (const std::optional<qint64> whole = wholeInteger(line, Smallest32, Largest32))
        return {CountReading::Kind::Counted, static_cast<qint32>(*whole)};
    // A sign is not read here: "-3 files" starts with no digit and counts 0.
    const LeadingDigits digits = leadingDigits(line);
    return {CountReading::Kind::ParseError, static_cast<qint32>(clamped(false, digits.value, Smallest32, Largest32))};
}

bool CalculatePhotoVideoCounts(bridge::Host& host) {
    if (!host.IsDeviceConnected())
        return false;
    const catalogue::Target adb = host.adbTarget();
    host.clear();
    host.write(bridge::Kind::Title, host.text(Title));
    host.blank();

    host.write(bridge::Kind::Progress, host.text(PhotoProgress));
    const qint32 PhotoCount = countAndLog(host, catalogue::countPhotos(adb), PhotosFound);
    host.blank();
    host.write(bridge::Kind::Progress, host.text(VideoProgress));
    const qint32 VideoCount = countAndLog(host, catalogue::countVideos(adb), VideosFound);

    host.blank();
    host.write(bridge::Kind::Summary, host.text(FinalTitle));
    // Two 32-bit counts always add up within 64 bits.
    const qint64 TotalMedia = qint64(PhotoCount) + VideoCount;
    host.write(bridge::Kind::Result, host.text(TotalPhotos) + QString::number(PhotoCount));
    host.write(bridge::Kind::Result, host.text(TotalVideos) + QString::number(VideoCount));
    host.blank();
    host.write(bridge::Kind::Total, host.text(TotalMediaLine) + QString::number(TotalMedia) + u"**"_qs);
    if (TotalMedia == 0) {
        host.blank();
        host.write(bridge::Kind::Warning, host.text(ZeroWarning));
    }
    return true;
}

} // namespace storage
