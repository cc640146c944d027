#include "reports/rawdump.h"

#include "app/files.h"
#include "app/strlist.h"
#include "app/textpane.h"
#include "app/tform13.h"
#include "bridge/catalogue.h"
#include "bridge/runner.h"
#include "reports/essentials.h"

#include <QCheckBox>
#include <QDir>

namespace {

const Message Heading{"--- Generating RAW Dump... ---", "--- Génération du RAW Dump en cours... ---"};
const Message Written{"Complete RAW dump written in folder: %1", "RAW dump complet ecrit dans le dossier : %1"};

const LogStyle HeadingStyle{logcolor::Maroon, 10, true};
const LogStyle WrittenStyle{logcolor::Green, 10, false};

const char16_t* const SectionHeaders[] = {u"--- BATTERY ---", u"--- THERMAL ---",           u"--- SENSORS ---",
                                          u"--- CPU/GPU ---", u"--- SYSTEM PROPERTIES ---", u"--- WIFI ---"};

} // namespace

namespace reports {

QStringList AssembleRawDump(const RawOutputs& outputs, const std::function<bool()>& essentialsOn) {
    qsizetype size = 0;
    for (const QStringList& output : outputs)
        size += output.size() + 2;
    QStringList lines;
    lines.reserve(size);
    for (std::size_t i = 0; i < outputs.size(); ++i)
        lines += RawDumpSection(i, outputs[i], essentialsOn);
    return lines;
}

QStringList RawDumpSection(std::size_t i, const QStringList& output, const std::function<bool()>& essentialsOn) {
    QStringList lines;
    lines.reserve(output.size() + 2);
    lines.append(QString::fromUtf16(SectionHeaders[i]));
    for (const QString& line : output)
        if (!essentialsOn() || IsEssential(line))
            lines.append(line);
    if (i + 1 < std::size(SectionHeaders))
        lines.append(QString());
    return lines;
}

} // namespace reports

void TForm13::PanelRawDumpClick() {
    RichEdit1->clearPane();
    GenerateRawDump();
}

void TForm13::GenerateRawDump() {
    if (!IsDeviceConnected())
        return;
    const catalogue::Target adb = adbTarget();
    const QString folder = files::ensureOutputFolder();
    const QString path = QDir(folder).filePath(QString::fromUtf16(reports::RawDumpFileName));
    writeLine(text(Heading), HeadingStyle);
    appendEmptyLine();

    const std::array<QString, 6> commands = catalogue::deviceReports(adb);
    // Each report goes to the disk as it arrives, while the next command runs; the file replaces the earlier
    // one only once it is whole.
    files::WholeFileWriter file(path);
    file.write(QByteArray(strlist::FileMark));
    const auto essentialsOn = [this] { return CheckBoxEssentials->isChecked(); };
    for (std::size_t i = 0; i < commands.size(); ++i) {
        QStringList output;
        ExecuteADBCommand(commands[i], output);
        file.write(strlist::lineBytes(reports::RawDumpSection(i, output, essentialsOn)));
    }
    file.commit();
    writeLine(text(Written).arg(files::shown(folder)), WrittenStyle);
}
