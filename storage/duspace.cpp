#include "storage/duspace.h"

#include "app/strlist.h"
#include "app/textpane.h"
#include "app/tform13.h"
#include "bridge/catalogue.h"
#include "bridge/runner.h"
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

const LogStyle TitleStyle{logcolor::Maroon, 11, true};
const LogStyle ProgressStyle{logcolor::Maroon, 9, false};
const LogStyle SizeStyle{logcolor::Black, 9, false};
const LogStyle FailedStyle{logcolor::Red, 9, false};
const LogStyle SummaryTitleStyle{logcolor::Blue, 11, true};
const LogStyle ResultStyle{logcolor::Black, 10, false};
const LogStyle TotalStyle{logcolor::Black, 10, true};
const LogStyle WarningStyle{logcolor::Red, 9, true};

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

} // namespace storage

bool TForm13::GetDuSizeAndLog(const catalogue::Target& adb, const QString& Path, const QString& CmdLabel,
                              const QString& ErrorOrAccessDeniedMsg, QString& SizeStr) {
    SizeStr.clear();
    writeLine(text(Fetching).arg(CmdLabel), ProgressStyle);
    QStringList output;
    ExecuteADBCommand(catalogue::duSummary(adb, Path), output);
    const bool found = storage::findDuSize(output, SizeStr);
    if (found)
        writeLine(text(SizeLine).arg(text(SizeLabel), SizeStr), SizeStyle);
    else
        writeLine(text(SizeLine).arg(text(SizeLabel), ErrorOrAccessDeniedMsg), FailedStyle);
    return found;
}

void TForm13::PanelDiskSpaceAppsMediaClick() {
    RichEdit1->clearPane();
    CalculateAppsAndMediaSpace();
}

void TForm13::CalculateAppsAndMediaSpace() {
    if (!IsDeviceConnected())
        return;
    const catalogue::Target adb = adbTarget();
    qint64 MediaBytes = 0;
    const QString ErrorOrAccessDeniedMsg = text(ErrorOrAccessDenied);
    RichEdit1->clearPane();
    writeLine(text(Title), TitleStyle);
    appendEmptyLine();

    QString SizeStr;
    // A refused apps folder leaves either nothing or a path in SizeStr; both count as 0.
    GetDuSizeAndLog(adb, AppsFolder, AppsLabel, ErrorOrAccessDeniedMsg, SizeStr);
    const qint64 AppBytes = ConvertSizeToBytes(SizeStr);
    appendEmptyLine();

    writeLine(text(BreakingDown), ProgressStyle);
    for (const QString& folder : MediaFolders) {
        const QString label = folder.mid(folder.indexOf(SharedStorage) + SharedStorage.size());
        if (GetDuSizeAndLog(adb, folder, label, ErrorOrAccessDeniedMsg, SizeStr))
            MediaBytes = storage::addSaturated(MediaBytes, ConvertSizeToBytes(SizeStr));
    }
    appendEmptyLine();

    writeLine(text(SummaryTitle), SummaryTitleStyle);
    const qint64 TotalBytes = storage::addSaturated(AppBytes, MediaBytes);
    const Message& totalLabel = AppBytes == 0 && MediaBytes > 0 ? TotalMediaOnly : TotalAppsAndMedia;
    writeLine(text(AppsSpace) + FormatBytes(AppBytes, LangFR), ResultStyle);
    writeLine(text(MediaSpace) + FormatBytes(MediaBytes, LangFR), ResultStyle);
    appendEmptyLine();
    writeLine(text(totalLabel) + u": **"_qs + FormatBytes(TotalBytes, LangFR) + u"**"_qs, TotalStyle);
    if (TotalBytes == 0) {
        appendEmptyLine();
        writeLine(text(ZeroWarning), WarningStyle);
    }
}
