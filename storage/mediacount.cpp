#include "storage/mediacount.h"

#include "app/strlist.h"
#include "app/textpane.h"
#include "app/tform13.h"
#include "bridge/catalogue.h"
#include "bridge/runner.h"
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

const LogStyle TitleStyle{logcolor::Maroon, 11, true};
const LogStyle ProgressStyle{logcolor::Maroon, 9, false};
const LogStyle FoundStyle{logcolor::Black, 9, false};
const LogStyle ParseErrorStyle{logcolor::Red, 9, false};
const LogStyle FinalTitleStyle{logcolor::Blue, 11, true};
const LogStyle ResultStyle{logcolor::Black, 10, false};
const LogStyle TotalStyle{logcolor::Black, 10, true};
const LogStyle WarningStyle{logcolor::Red, 9, true};

constexpr qint64 Smallest32 = std::numeric_limits<qint32>::min();
constexpr qint64 Largest32 = std::numeric_limits<qint32>::max();

// Runs one root count and logs what its first line says.
qint32 countAndLog(TForm13& form, const QString& cmd, const Message& found) {
    QStringList output;
    form.ExecuteADBCommand(cmd, output);
    const storage::CountReading reading = storage::readCount(output);
    switch (reading.kind) {
    case storage::CountReading::Kind::NoOutput:
        break;
    case storage::CountReading::Kind::Counted:
        form.writeLine(form.text(found).arg(reading.count), FoundStyle);
        break;
    case storage::CountReading::Kind::ParseError:
        form.writeLine(form.text(ParseError), ParseErrorStyle);
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

} // namespace storage

void TForm13::PanelPhotoVideoNumberClick() {
    RichEdit1->clearPane();
    CalculatePhotoVideoCounts();
}

void TForm13::CalculatePhotoVideoCounts() {
    if (!IsDeviceConnected())
        return;
    const catalogue::Target adb = adbTarget();
    RichEdit1->clearPane();
    writeLine(text(Title), TitleStyle);
    appendEmptyLine();

    writeLine(text(PhotoProgress), ProgressStyle);
    const qint32 PhotoCount = countAndLog(*this, catalogue::countPhotos(adb), PhotosFound);
    appendEmptyLine();
    writeLine(text(VideoProgress), ProgressStyle);
    const qint32 VideoCount = countAndLog(*this, catalogue::countVideos(adb), VideosFound);

    appendEmptyLine();
    writeLine(text(FinalTitle), FinalTitleStyle);
    // Two 32-bit counts always add up within 64 bits.
    const qint64 TotalMedia = qint64(PhotoCount) + VideoCount;
    writeLine(text(TotalPhotos) + QString::number(PhotoCount), ResultStyle);
    writeLine(text(TotalVideos) + QString::number(VideoCount), ResultStyle);
    appendEmptyLine();
    writeLine(text(TotalMediaLine) + QString::number(TotalMedia) + u"**"_qs, TotalStyle);
    if (TotalMedia == 0) {
        appendEmptyLine();
        writeLine(text(ZeroWarning), WarningStyle);
    }
}
