#include "storage/duspace.h"

#include "base/messages.h"
#include "base/strlist.h"
#include "bridge/catalogue.h"
#include "bridge/host.h"
#include "storage/parsing.h"
#include "storage/sizes.h"

namespace {

const Message Title{"--- Calculating Used Space (Apps and Media) ---",
                    "--- Calcul de l'Espace Utilisé (Apps et Médias) ---"};
const Message Fetching{"  -> Fetching size for %1...", "  -> Récupération de la taille pour %1..."};
const Message SizeLine{"     %1: %2", "     %1: %2"};
const Message SizeLabel{"Size", "Taille"};
const Message ErrorOrAccessDenied{"(Error or Access Denied)", "(Erreur ou Accès Refusé)"};
const Message BreakingDown{"  -> Breaking down Internal Storage (for permission tolerance)...",
                           "  -> Décomposition Stockage Interne (pour tolérance aux permissions)..."};
const Message SummaryTitle{"--- Storage Summary (Estimates) ---", "--- Récapitulatif du Stockage (Estimations) ---"};
const Message AppsSpace{"Apps Space (/data/app): ", "Espace Apps (/data/app): "};
const Message MediaSpace{"Media Space (Estimated): ", "Espace Médias (Estimé): "};
const Message TotalMediaOnly{"Total (Media)", "Total (Médias)"};
const Message TotalAppsAndMedia{"Total (Apps + Media)", "Total (Apps + Médias)"};
const Message ZeroWarning{"Warning: The `du -sh` calculation often requires root permissions. Results are minimal "
                          "estimates, or 0 if access is fully denied.",
                          "Attention : Le calcul `du -sh` nécessite souvent des permissions root. Les résultats sont "
                          "des estimations minimales, ou 0 si l'accès est totalement refusé."};

// The apps folder is labelled the same in both languages.
const QString AppsFolder = u"/data/app"_qs;
const QString AppsLabel = u"Toutes les Applications (Systeme/Utilisateur)"_qs;
const QString SharedStorage = u"/storage/emulated/0/"_qs;
const QStringList MediaFolders{SharedStorage + u"DCIM"_qs, SharedStorage + u"Download"_qs,
                               SharedStorage + u"Pictures"_qs, SharedStorage + u"Movies"_qs};

} // namespace

namespace storage {

bool findDuSize(const QStringList& lines, QString& SizeStr) {
    SizeStr.clear();
    for (const QString& raw : lines) {
        const QString line = strlist::trim(raw);
        // du names a folder it may not read on a line of its own.
        if (!line.contains(u'/') || strlist::startsWithNoCase(line, u"du: "))
            continue;
        const QStringList fields = splitTokens(line, Separators::BlankOrControl);
        // A quoted empty first field ("") is no size either.
        if (fields.size() < 2 || fields.first().isEmpty())
            continue;
        if (fields.first().contains(u'/')) {
            SizeStr = fields.first();
            continue;
        }
        // Every size du prints starts with a digit. adb's own complaints ("adb: no devices/emulators
        // found", "error: device offline") and the runner's "ERROR: ..." line are no size.
        if (const QChar first = fields.first().front(); first >= u'0' && first <= u'9') {
            SizeStr = fields.first();
            return true;
        }
    }
    return false;
}

bool GetDuSizeAndLog(bridge::Host& host, const catalogue::Target& adb, const QString& Path, const QString& CmdLabel,
                     const QString& ErrorOrAccessDeniedMsg, QString& SizeStr) {
    SizeStr.clear();
    host.write(bridge::Kind::Progress, host.text(Fetching).arg(CmdLabel));
    const bool found = findDuSize(host.ExecuteADBCommand(catalogue::duSummary(adb, Path)), SizeStr);
    if (found)
        host.write(bridge::Kind::Detail, host.text(SizeLine).arg(host.text(SizeLabel), SizeStr));
    else
        host.write(bridge::Kind::Unavailable, host.text(SizeLine).arg(host.text(SizeLabel), ErrorOrAccessDeniedMsg));
    return found;
}

bool CalculateAppsAndMediaSpace(bridge::Host& host) {
    if (!host.IsDeviceConnected())
        return false;
    const catalogue::Target adb = host.adbTarget();
    qint64 MediaBytes = 0;
    const QString ErrorOrAccessDeniedMsg = host.text(ErrorOrAccessDenied);
    host.clear();
    host.write(bridge::Kind::Title, host.text(Title));
    host.blank();

    QString SizeStr;
    // A refused apps folder leaves either nothing or a path in SizeStr; both count as 0.
    GetDuSizeAndLog(host, adb, AppsFolder, AppsLabel, ErrorOrAccessDeniedMsg, SizeStr);
    const qint64 AppBytes = ConvertSizeToBytes(SizeStr);
    host.blank();

    host.write(bridge::Kind::Progress, host.text(BreakingDown));
    for (const QString& folder : MediaFolders) {
        const QString label = folder.mid(folder.indexOf(SharedStorage) + SharedStorage.size());
        if (GetDuSizeAndLog(host, adb, folder, label, ErrorOrAccessDeniedMsg, SizeStr))
            MediaBytes = addSaturated(MediaBytes, ConvertSizeToBytes(SizeStr));
    }
    host.blank();

    host.write(bridge::Kind::Summary, host.text(SummaryTitle));
    const qint64 TotalBytes = addSaturated(AppBytes, MediaBytes);
    const Message& totalLabel = AppBytes == 0 && MediaBytes > 0 ? TotalMediaOnly : TotalAppsAndMedia;
    host.write(bridge::Kind::Result, host.text(AppsSpace) + FormatBytes(AppBytes, host.langFR()));
    host.write(bridge::Kind::Result, host.text(MediaSpace) + FormatBytes(MediaBytes, host.langFR()));
    host.blank();
    host.write(bridge::Kind::Total,
               host.text(totalLabel) + u": **"_qs + FormatBytes(TotalBytes, host.langFR()) + u"**"_qs);
    if (TotalBytes == 0) {
        host.blank();
        host.write(bridge::Kind::Warning, host.text(ZeroWarning));
    }
    return true;
}

} // namespace storage
