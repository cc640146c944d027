#include "cli/cli.h"

#include "apps/appslist.h"
#include "base/errors.h"
#include "base/files.h"
#include "bridge/host.h"
#include "bridge/runner.h"
#include "cli/consolehost.h"
#include "reports/csvexport.h"
#include "reports/rawdump.h"
#include "storage/dftable.h"
#include "storage/duspace.h"
#include "storage/mediacount.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QSemaphore>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace cli {

namespace {

// The operations, by the names the command line gives them.
const struct {
    const char16_t* name;
    bool (*run)(bridge::Host&);
} Operations[] = {
    {u"connect", [](bridge::Host& host) { return !bridge::TestConnection(host).isNull(); }},
    {u"raw-dump", reports::GenerateRawDump},
    {u"csv-libreoffice", reports::GenerateCSVLibreOffice},
    {u"csv-excel", reports::GenerateCSVExcel},
    {u"df", storage::CalculateGlobalDiskSpace},
    {u"du", storage::CalculateAppsAndMediaSpace},
    {u"media-count", storage::CalculatePhotoVideoCounts},
    {u"apps", apps::GenerateAppsListFile},
};
using Operation = bool (*)(bridge::Host&);

std::optional<Operation> operationNamed(const QString& name) {
    for (const auto& operation : Operations)
        if (name == QStringView(operation.name))
            return operation.run;
    return std::nullopt;
}

void printError(const QString& text) {
    const QByteArray bytes = (u"telvane-cli: "_qs + text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

// The console shows UTF-8 as it is written.
void speakUtf8() {
#ifdef Q_OS_WIN
    SetConsoleOutputCP(CP_UTF8);
#endif
}

// Whether the folder is there or can be made: the nearest existing folder up its path takes files.
bool folderUsable(const QString& folder) {
    QFileInfo info(folder);
    while (!info.exists() && !info.isRoot())
        info.setFile(info.path());
    return info.isDir() && info.isWritable();
}

// Runs the operations one after the other for one phone: the first that fails ends the run.
int runOperations(ConsoleHost& host, const QList<Operation>& operations) {
    int status = Succeeded;
    try {
        for (const Operation operation : operations)
            if (!operation(host)) {
                status = Failed;
                break;
            }
    } catch (const OperationCancelled&) {
        host.write(bridge::Kind::Failure, host.cancelledLine());
        return Interrupted;
    } catch (const PhoneLost& lost) {
        host.write(bridge::Kind::Failure, host.lostLine(lost));
        status = Failed;
    } catch (const std::exception& error) {
        host.write(bridge::Kind::Failure, errorReportText(QString::fromUtf8(error.what())));
        status = Failed;
    }
    return bridge::cancelledBySignal() ? int(Interrupted) : status;
}

// The folder of one phone among several: its model and serial, made safe as the CSV files' names are.
QString phoneFolder(const QString& out, const bridge::Phone& phone, const QString& model) {
    QString name = model.isEmpty() ? phone.serial : model + u'_' + phone.serial;
    if (!phone.transportId.isEmpty())
        name += u"_t"_qs + phone.transportId;
    return QDir(out).filePath(reports::SafeCategoryName(name));
}

} // namespace

int run(const QStringList& arguments) {
    speakUtf8();
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Reads Android phones over USB through adb, without a window: the same "
                                     "lines as the window's log, the same files."_qs);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption out(u"out"_qs, u"Write the files into <dir> (default: Telvane on the desktop)."_qs,
                                 u"dir"_qs, files::outputFolder());
    const QCommandLineOption serial(u"serial"_qs, u"Read the phone with this serial."_qs, u"serial"_qs);
    const QCommandLineOption allPhones(u"all-phones"_qs,
                                       u"Read every usable phone at once, each into <dir>/<Model>_<serial>."_qs);
    const QCommandLineOption lang(u"lang"_qs, u"Language of the lines and the files: en or fr."_qs, u"language"_qs,
                                  u"en"_qs);
    const QCommandLineOption essentials(u"essentials"_qs, u"Keep only the essential lines in the RAW dump."_qs);
    const QCommandLineOption legacy(u"legacy"_qs, u"Compatibility mode for old Android versions."_qs);
    const QCommandLineOption verbose(u"verbose"_qs, u"Show every adb command line and its output."_qs);
    parser.addOptions({out, serial, allPhones, lang, essentials, legacy, verbose});
    parser.addPositionalArgument(u"OPERATION"_qs,
                                 u"connect, raw-dump, csv-libreoffice, csv-excel, df, du, media-count or apps; "
                                 "run in the order given."_qs,
                                 u"OPERATION..."_qs);

    const auto usageError = [&parser](const QString& text) {
        printError(text);
        const QByteArray usage = parser.helpText().toUtf8();
        std::fwrite(usage.constData(), 1, size_t(usage.size()), stderr);
        return int(Usage);
    };
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(u"help"_qs))
        parser.showHelp(Succeeded);
    if (parser.isSet(u"version"_qs))
        parser.showVersion();
    QList<Operation> operations;
    for (const QString& name : parser.positionalArguments()) {
        const std::optional<Operation> operation = operationNamed(name);
        if (!operation)
            return usageError(u"unknown operation: "_qs + name);
        operations.append(*operation);
    }
    if (operations.isEmpty())
        return usageError(u"no operation given"_qs);
    if (parser.isSet(serial) && parser.isSet(allPhones))
        return usageError(u"--serial and --all-phones exclude each other"_qs);
    if (const QString language = parser.value(lang); language != u"en" && language != u"fr")
        return usageError(u"unknown language: "_qs + language + u" (en or fr)"_qs);
    const QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(parser.value(out)));
    if (parser.value(out).isEmpty() || !folderUsable(folder))
        return usageError(u"cannot write into the folder: "_qs + parser.value(out));

    bridge::cancelOnSignals();
    ConsoleOutput output;
    const ConsoleHost::Settings settings{
        folder, parser.value(lang) == u"fr", {parser.isSet(essentials), parser.isSet(legacy), parser.isSet(verbose)}};
    ConsoleHost probe(output, settings);
    bridge::Host::Listed listed;
    try {
        const QString adb = ADBPath();
        const bridge::DeviceList list = bridge::readDevices(probe.run(catalogue::devices(adb)).lines);
        if (list.state == bridge::DeviceState::Usable)
            listed = probe.listPhones(adb, list);
        // The connection test says why no phone can be read, as the window would.
        if (listed.phones.isEmpty() || !listed.refusal.isEmpty()) {
            probe.IsDeviceConnected();
            return NoPhone;
        }
    } catch (const OperationCancelled&) {
        return Interrupted;
    }

    QList<qsizetype> chosen;
    for (qsizetype i = 0; i < listed.phones.size(); ++i)
        if (parser.isSet(allPhones) || listed.phones.size() == 1 || listed.phones[i].serial == parser.value(serial))
            chosen.append(i);
    if (parser.isSet(serial) && (chosen.size() != 1 || listed.phones[chosen[0]].serial != parser.value(serial)))
        chosen.clear();
    if (chosen.isEmpty() || (chosen.size() > 1 && !parser.isSet(allPhones))) {
        printError(parser.isSet(serial) ? u"no single attached phone has the serial "_qs + parser.value(serial)
                                        : u"several phones are attached: name one with --serial, or use "
                                          "--all-phones"_qs);
        for (const QString& label : std::as_const(listed.labels))
            output.line(true, label);
        return NoPhone;
    }
    if (!parser.isSet(allPhones)) {
        ConsoleHost host(output, settings, {}, listed.phones[chosen[0]]);
        return runOperations(host, operations);
    }

    // Every phone at once, each in a thread of its own that runs its commands one after the other. The
    // threads are not ended one by one: under Wine a thread's end sometimes never returns once it has run
    // commands, so they wait, idle, for the program's end, which ends them all at once.
    std::vector<int> statuses(size_t(chosen.size()), Succeeded);
    QSemaphore finished;
    for (qsizetype i = 0; i < chosen.size(); ++i) {
        const qsizetype at = chosen[i];
        ConsoleHost::Settings own = settings;
        own.folder = phoneFolder(folder, listed.phones[at], listed.models[at]);
        QThread* thread = QThread::create([&, own, at, i] {
            ConsoleHost host(output, own, u'[' + listed.labels[at] + u"] "_qs, listed.phones[at]);
            statuses[size_t(i)] = runOperations(host, operations);
            finished.release();
            QSemaphore().acquire();
        });
        thread->start();
    }
    finished.acquire(int(chosen.size()));
    std::fflush(nullptr);
    std::_Exit(*std::max_element(statuses.begin(), statuses.end()));
}

} // namespace cli
