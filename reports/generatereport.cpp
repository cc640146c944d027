#include "base/errors.h"
#include "base/files.h"
#include "base/messages.h"
#include "bridge/host.h"
#include "reports/phonereport.h"
#include "reports/reportrender.h"
#include "storage/sizes.h"

#include <QDir>

namespace {

const Message Heading{"--- Generating the phone report... ---", "--- Génération du rapport du téléphone... ---"};
const Message ModelLine{"Model: %1", "Modèle : %1"};
const Message AndroidLine{"Android: %1", "Android : %1"};
const Message HealthLine{"Battery health: %1 (source: %2)", "Santé de la batterie : %1 (source : %2)"};
const Message NoHealth{"Battery health: not reported by this phone",
                       "Santé de la batterie : non fournie par ce téléphone"};
const Message StorageLine{"Storage used: %1 of %2 (%3)", "Stockage utilisé : %1 sur %2 (%3)"};
const Message NoStorage{"Storage used: not reported by this phone", "Stockage utilisé : non fourni par ce téléphone"};
const Message Written{"Phone report written: %1", "Rapport du téléphone écrit : %1"};

} // namespace

namespace reports {

std::optional<ReportFile> WritePhoneReport(bridge::Host& host) {
    if (!host.IsDeviceConnected())
        return std::nullopt;
    const catalogue::Target adb = host.adbTarget();
    const QDir folder(host.outputFolder());
    host.write(bridge::Kind::Heading, host.text(Heading));
    host.blank();

    const std::array<QString, OutputCount> commands = ReportCommands(adb);
    const QList<QStringList> answers = host.ExecuteADBCommands(QStringList(commands.begin(), commands.end()));
    ReportOutputs outputs;
    std::copy(answers.begin(), answers.end(), outputs.begin());
    ReportFile written{ReadPhoneReport(outputs), folder.filePath(QString::fromUtf16(PhoneReportPage)),
                       QDateTime::currentDateTime()};
    const PhoneReport& report = written.report;
    const QDateTime& now = written.generated;

    // Both files are on the disk before either replaces the earlier pair.
    files::WholeFileWriter page(written.page);
    files::WholeFileWriter data(folder.filePath(QString::fromUtf16(PhoneReportData)));
    page.write(ReportPage(report, host.langFR(), now).toUtf8());
    data.write(ReportJsonBytes(report, now));
    host.stopIfCancelled();
    page.commit();
    data.commit();

    const bool fr = host.langFR();
    const auto shown = [fr](const QString& text) { return text.isEmpty() ? NotReported(fr) : outsideText(text); };
    host.write(bridge::Kind::Result, host.text(ModelLine).arg(shown(report.model)));
    host.write(bridge::Kind::Result, host.text(AndroidLine).arg(shown(report.android)));
    if (report.healthPercent)
        host.write(
            bridge::Kind::Result,
            host.text(HealthLine).arg(PercentText(*report.healthPercent, fr), SourceWords(report.healthSource, fr)));
    else
        host.write(bridge::Kind::Unavailable, host.text(NoHealth));
    if (const Partition total = StorageTotal(report); total.size > 0)
        host.write(bridge::Kind::Result, host.text(StorageLine)
                                             .arg(FormatBytes(total.used, fr), FormatBytes(total.size, fr),
                                                  PercentText(double(total.used) / double(total.size) * 100, fr)));
    else
        host.write(bridge::Kind::Unavailable, host.text(NoStorage));
    host.blank();
    host.write(bridge::Kind::Written, host.text(Written).arg(files::shown(written.page)));
    return written;
}

bool GeneratePhoneReport(bridge::Host& host) {
    const std::optional<ReportFile> written = WritePhoneReport(host);
    if (written)
        host.showPage(written->page);
    return written.has_value();
}

} // namespace reports
