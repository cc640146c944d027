#include "reports/rawdump.h"

#include "base/files.h"
#include "base/strlist.h"
#include "bridge/catalogue.h"
#include "bridge/host.h"
#include "reports/essentials.h"

#include <QDir>

namespace {

const Message Heading{"--- Generating RAW Dump... ---", "--- Génération du RAW Dump en cours... ---"};
const Message Written{"Complete RAW dump written in folder: %1", "RAW dump complet ecrit dans le dossier : %1"};

QString dumpsys(const catalogue::Target& phone, const char16_t* service) {
    return catalogue::dumpsys(phone, QString::fromUtf16(service));
}

// The reports of the RAW dump, in the order of the file: each section's header and its command. A seventh
// report is one more row here.
const struct {
    const char16_t* header;
    QString (*command)(const catalogue::Target&);
} Reports[] = {
    {u"--- BATTERY ---", [](const catalogue::Target& phone) { return dumpsys(phone, u"battery"); }},
    {u"--- THERMAL ---", [](const catalogue::Target& phone) { return dumpsys(phone, u"thermalservice"); }},
    {u"--- SENSORS ---", [](const catalogue::Target& phone) { return dumpsys(phone, u"sensorservice"); }},
    {u"--- CPU/GPU ---", [](const catalogue::Target& phone) { return dumpsys(phone, u"cpuinfo"); }},
    {u"--- SYSTEM PROPERTIES ---", catalogue::getprop},
    {u"--- WIFI ---", [](const catalogue::Target& phone) { return dumpsys(phone, u"wifi"); }},
};
static_assert(std::size(Reports) == std::tuple_size_v<reports::RawOutputs>);

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
    lines.append(QString::fromUtf16(Reports[i].header));
    for (const QString& line : output)
        if (!essentialsOn() || IsEssential(line))
            lines.append(line);
    if (i + 1 < std::size(Reports))
        lines.append(QString());
    return lines;
}

std::array<QString, 6> RawDumpCommands(const catalogue::Target& phone) {
    std::array<QString, 6> commands;
    for (std::size_t i = 0; i < commands.size(); ++i)
        commands[i] = Reports[i].command(phone);
    return commands;
}

bool GenerateRawDump(bridge::Host& host) {
    if (!host.IsDeviceConnected())
        return false;
    const catalogue::Target adb = host.adbTarget();
    const QString folder = host.outputFolder();
    const QString path = QDir(folder).filePath(QString::fromUtf16(RawDumpFileName));
    host.write(bridge::Kind::Heading, host.text(Heading));
    host.blank();

    // The reports are asked for at once; each goes to the disk as soon as it and those before it have come,
    // while the rest still run. The file replaces the earlier one only once it is whole.
    files::WholeFileWriter file(path);
    file.write(QByteArray(strlist::FileMark));
    const auto essentialsOn = [&host] { return host.options().essentials; };
    const std::array<QString, 6> commands = RawDumpCommands(adb);
    host.ExecuteADBCommands(QStringList(commands.begin(), commands.end()), [&](qsizetype i, QStringList& output) {
        file.write(strlist::lineBytes(RawDumpSection(std::size_t(i), output, essentialsOn)));
    });
    host.stopIfCancelled();
    file.commit();
    host.write(bridge::Kind::Written, host.text(Written).arg(files::shown(folder)));
    return true;
}

} // namespace reports
