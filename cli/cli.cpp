#include "cli/cli.h"

#include "apps/appslist.h"
#include "base/errors.h"
#include "base/files.h"
#include "bridge/host.h"
#include "bridge/runner.h"
#include "cli/consolehost.h"
#include "reports/csvexport.h"
#include "reports/phonereport.h"
#include "reports/rawdump.h"
#include "reports/reportrender.h"
#include "storage/dftable.h"
#include "storage/duspace.h"
#include "storage/mediacount.h"
#include "wifi/wireless.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace cli {

namespace {

// An operation with the arguments the command line gave it.
using Operation = std::function<bool(ConsoleHost&)>;

template <bool (*operation)(bridge::Host&)> bool onPhone(ConsoleHost& host) {
    return operation(host);
}

// The report is kept for the JSON line and the inventory of every phone.
bool writeReport(ConsoleHost& host) {
    std::optional<reports::ReportFile> written = reports::WritePhoneReport(host);
    if (!written)
        return false;
    host.reportWritten(std::move(*written));
    return true;
}

// The operations, by the names the command line gives them.
const struct {
    const char16_t* name;
    bool (*run)(ConsoleHost&);
} Operations[] = {
    {u"connect", [](ConsoleHost& host) { return !bridge::TestConnection(host).isNull(); }},
    {u"raw-dump", onPhone<reports::GenerateRawDump>},
    {u"csv-libreoffice", onPhone<reports::GenerateCSVLibreOffice>},
    {u"csv-excel", onPhone<reports::GenerateCSVExcel>},
    {u"df", onPhone<storage::CalculateGlobalDiskSpace>},
    {u"du", onPhone<storage::CalculateAppsAndMediaSpace>},
    {u"media-count", onPhone<storage::CalculatePhotoVideoCounts>},
    {u"apps", onPhone<apps::GenerateAppsListFile>},
    {u"report", writeReport},
    {u"wifi-on", onPhone<wifi::SwitchToWifi>},
};

std::optional<Operation> operationNamed(const QString& name) {
    for (const auto& operation : Operations)
        if (name == QStringView(operation.name))
            return operation.run;
    return std::nullopt;
}

// The QR code drawn in the terminal once adb can pair, then the wait for the phone.
bool pairWithQrCode(ConsoleHost& host) {
    const wifi::QrPairing pairing = wifi::newQrPairing();
    return wifi::PairWithQrCode(host, pairing, [&] {
        host.writeLines(bridge::Kind::Result, wifi::halfBlockLines(wifi::QrCode(pairing.text())));
    });
}

// The Wi-Fi operations that need no phone, with the arguments they take from the words after their name:
// wifi-qr, wifi-pair HOST:PORT CODE, wifi-connect HOST[:PORT], wifi-disconnect [HOST[:PORT]]. Nothing when
// the name is none of them, or a malformed argument (error then says why).
std::optional<Operation> wifiOperation(const QString& name, QStringList& words, bool langFR, QString& error) {
    const auto address = [&](int defaultPort, const char16_t* form) {
        const QString typed = words.isEmpty() ? QString() : words.takeFirst();
        const std::optional<wifi::Address> read = wifi::readAddress(typed, defaultPort);
        if (!read)
            error = wifi::BadAddress.in(langFR).arg(typed, QString::fromUtf16(form));
        return read;
    };
    if (name == u"wifi-qr")
        return pairWithQrCode;
    if (name == u"wifi-pair") {
        const std::optional<wifi::Address> at = address(0, u"HOST:PORT");
        const QString code = words.isEmpty() ? QString() : words.takeFirst();
        if (at && !wifi::isPairingCode(code))
            error = wifi::BadCode.in(langFR).arg(code);
        if (!error.isEmpty())
            return std::nullopt;
        return [at = *at, code](ConsoleHost& host) { return wifi::PairWithCode(host, at, code); };
    }
    if (name == u"wifi-connect") {
        if (const std::optional<wifi::Address> at = address(wifi::TcpPort, u"HOST[:PORT]"))
            return [at = *at](ConsoleHost& host) { return wifi::Connect(host, at); };
        return std::nullopt;
    }
    if (name != u"wifi-disconnect")
        return std::nullopt;
    // Its address may be left out: the next word is then the next operation.
    if (words.isEmpty() || operationNamed(words.first()) || words.first().startsWith(u"wifi-"))
        return [](ConsoleHost& host) { return wifi::Disconnect(host, std::nullopt); };
    if (const std::optional<wifi::Address> at = address(wifi::TcpPort, u"HOST[:PORT]"))
        return [at](ConsoleHost& host) { return wifi::Disconnect(host, at); };
    return std::nullopt;
}

// The console shows UTF-8 as it is written, and its code page is set back when we end.
class Utf8Console {
public:
    Utf8Console();
    ~Utf8Console();
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;

private:
    unsigned previous_ = 0;
};

#ifdef Q_OS_WIN
Utf8Console::Utf8Console() : previous_(GetConsoleOutputCP()) {
    SetConsoleOutputCP(CP_UTF8);
}

Utf8Console::~Utf8Console() {
    if (previous_ != 0)
        SetConsoleOutputCP(previous_);
}
#else
Utf8Console::Utf8Console() = default;
Utf8Console::~Utf8Console() = default;
#endif

void printError(const QString& text) {
    const QByteArray bytes = (u"telvane-cli: "_qs + text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
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
    try {
        // Output that cannot be written is a failure: the operations after it are not run.
        for (const Operation& operation : operations)
            if (!operation(host) || host.outputFailed())
                return Failed;
        return Succeeded;
    } catch (const OperationCancelled&) {
        host.write(bridge::Kind::Failure, host.cancelledLine());
        return Interrupted;
    } catch (const PhoneLost& lost) {
        host.write(bridge::Kind::Failure, host.lostLine(lost));
    } catch (const TelvaneError& error) {
        host.write(bridge::Kind::Failure, errorReportText(error.message(host.langFR())));
    } catch (const std::exception& error) {
        host.write(bridge::Kind::Failure, errorReportText(QString::fromUtf8(error.what())));
    }
    return Failed;
}

// How the command line names a phone: its serial, followed by "@t" and adb's transport id when another
// phone reports the same serial.
QString nameOf(const bridge::Phone& phone) {
    return phone.transportId.isEmpty() ? phone.serial : phone.serial + u"@t"_qs + phone.transportId;
}

// The phone's label with the name the command line knows it by.
QString labelOf(const bridge::Host::Listed& listed, qsizetype i) {
    const bridge::Phone& phone = listed.phones[i];
    const QString& label = listed.labels[i];
    if (phone.transportId.isEmpty())
        return label;
    return label.endsWith(u')') ? label.chopped(1) + u"@t"_qs + phone.transportId + u')' : nameOf(phone);
}

// The folder of one phone among several: its model and serial, made safe as the CSV files' names are.
QString phoneFolder(const QString& out, const bridge::Phone& phone, const QString& model) {
    QString name = model.isEmpty() ? phone.serial : model + u'_' + phone.serial;
    if (!phone.transportId.isEmpty())
        name += u"_t"_qs + phone.transportId;
    return QDir(out).filePath(reports::SafeCategoryName(name));
}

// The phones whose report was written, in the order of the list, as phones.csv and index.html list them.
int writeInventory(ConsoleOutput& output, const ConsoleHost::Settings& settings,
                   const std::vector<std::optional<reports::ReportFile>>& written) {
    QList<reports::InventoryEntry> phones;
    for (const std::optional<reports::ReportFile>& report : written)
        if (report)
            phones.append({report->report, QDir(settings.folder).relativeFilePath(report->page), report->generated});
    if (phones.isEmpty() || bridge::cancelledBySignal())
        return Succeeded;
    try {
        reports::WriteInventory(settings.folder, phones, settings.langFR);
        return Succeeded;
    } catch (const TelvaneError& error) {
        ConsoleHost(output, settings).write(bridge::Kind::Failure, errorReportText(error.message(settings.langFR)));
        return Failed;
    }
}

// Every phone at once, each in a thread of its own that runs its commands one after the other; the status is
// the worst of theirs.
int readEveryPhone(ConsoleOutput& output, const ConsoleHost::Settings& settings, const bridge::Host::Listed& listed,
                   const QList<Operation>& operations) {
    std::vector<int> statuses(size_t(listed.phones.size()), Succeeded);
    std::vector<std::optional<reports::ReportFile>> reports(size_t(listed.phones.size()));
    std::vector<std::unique_ptr<QThread>> threads;
    for (qsizetype i = 0; i < listed.phones.size(); ++i) {
        ConsoleHost::Settings own = settings;
        own.folder = phoneFolder(settings.folder, listed.phones[i], listed.models[i]);
        threads.emplace_back(QThread::create([&, own, i] {
            ConsoleHost host(output, own, u'[' + labelOf(listed, i) + u"] "_qs, listed.phones[i]);
            statuses[size_t(i)] = runOperations(host, operations);
            reports[size_t(i)] = host.report();
        }));
        threads.back()->start();
    }
    for (const auto& thread : threads)
        thread->wait();
    statuses.push_back(writeInventory(output, settings, reports));
    // Phones that report one serial while adb names no transport ids cannot be read; the others were.
    ConsoleHost refusing(output, settings);
    for (const QString& serial : listed.refused) {
        refusing.write(bridge::Kind::Failure, u'[' + serial + u"] "_qs + refusing.refusedLine(serial));
        statuses.push_back(Failed);
    }
    return *std::max_element(statuses.begin(), statuses.end());
}

// The phones the command line asks for, or none when it names none of those attached (it says so).
std::optional<bridge::Host::Listed> phonesNamed(const QCommandLineParser& parser, ConsoleOutput& output,
                                                const ConsoleHost::Settings& settings,
                                                const bridge::Host::Listed& listed) {
    if (parser.isSet(u"all-phones"_qs))
        return listed;
    const QString named = parser.value(u"serial"_qs);
    QList<qsizetype> exact;
    QList<qsizetype> bySerial;
    for (qsizetype i = 0; i < listed.phones.size(); ++i) {
        if (named.isEmpty() || nameOf(listed.phones[i]) == named)
            exact.append(i);
        if (listed.phones[i].serial == named)
            bySerial.append(i);
    }
    if (exact.size() == 1 && (!named.isEmpty() || listed.refused.isEmpty())) {
        const qsizetype i = exact[0];
        bridge::Host::Listed one;
        one.phones = {listed.phones[i]};
        one.labels = {listed.labels[i]};
        one.models = {listed.models[i]};
        return one;
    }
    if (named.isEmpty())
        printError(u"several phones are attached: name one with --serial, or use --all-phones"_qs);
    else if (!bySerial.isEmpty())
        printError(u"several phones report the serial "_qs + named + u": name one with its transport id, as "_qs +
                   nameOf(listed.phones[bySerial[0]]));
    else if (listed.refused.contains(named))
        printError(ConsoleHost(output, settings).refusedLine(named));
    else
        printError(u"no attached phone has the serial "_qs + named);
    for (qsizetype i = 0; i < listed.phones.size(); ++i)
        output.line(true, labelOf(listed, i));
    return std::nullopt;
}

// Lists the usable phones and reads those the command line names.
int readPhones(const QCommandLineParser& parser, ConsoleOutput& output, const ConsoleHost::Settings& settings,
               const QList<Operation>& operations) {
    ConsoleHost probe(output, settings);
    bridge::Host::Listed listed;
    try {
        const QString adb = ADBPath();
        const bridge::DeviceList list =
            ADBFound() ? bridge::readDevices(probe.run(catalogue::devices(adb)).lines) : bridge::DeviceList();
        if (list.state == bridge::DeviceState::Usable)
            listed = probe.listPhones(adb, list);
        // The connection test says why no phone can be read, as the window would.
        if (listed.phones.isEmpty()) {
            probe.IsDeviceConnected();
            return NoPhone;
        }
    } catch (const OperationCancelled&) {
        probe.write(bridge::Kind::Failure, probe.cancelledLine());
        return Interrupted;
    }
    const std::optional<bridge::Host::Listed> named = phonesNamed(parser, output, settings, listed);
    if (!named)
        return NoPhone;
    if (parser.isSet(u"all-phones"_qs))
        return readEveryPhone(output, settings, *named, operations);
    ConsoleHost host(output, settings, {}, named->phones[0]);
    return runOperations(host, operations);
}

} // namespace

int run(const QStringList& arguments) {
    // Static, so that the exit() of --help and --version sets the code page back too.
    static const Utf8Console console;
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Reads Android phones over USB through adb, without a window: the same "
                                     "lines as the window's log, the same files."_qs);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption out(u"out"_qs, u"Write the files into <dir> (default: Telvane on the desktop)."_qs,
                                 u"dir"_qs, files::outputFolder());
    const QCommandLineOption serial(u"serial"_qs,
                                    u"Read the phone with this serial (<serial>@t<id>: the one with adb's transport id "
                                    "<id>, when several report one serial)."_qs,
                                    u"serial"_qs);
    const QCommandLineOption allPhones(u"all-phones"_qs,
                                       u"Read every usable phone at once, each into <dir>/<Model>_<serial>."_qs);
    const QCommandLineOption lang(u"lang"_qs, u"Language of the lines and the files: en or fr."_qs, u"language"_qs,
                                  u"en"_qs);
    const QCommandLineOption essentials(u"essentials"_qs, u"Keep only the essential lines in the RAW dump."_qs);
    const QCommandLineOption legacy(u"legacy"_qs, u"Compatibility mode for old Android versions."_qs);
    const QCommandLineOption verbose(u"verbose"_qs, u"Show every adb command line and its output."_qs);
    const QCommandLineOption json(u"json"_qs, u"Print the phone report as JSON on standard output, one line per "
                                              "phone; the other lines go to standard error."_qs);
    parser.addOptions({out, serial, allPhones, lang, essentials, legacy, verbose, json});
    parser.addPositionalArgument(u"OPERATION"_qs,
                                 u"connect, raw-dump, csv-libreoffice, csv-excel, df, du, media-count, apps, "
                                 "report, or wifi-on (switch the USB phone to Wi-Fi); run in the order given, after "
                                 "the Wi-Fi operations that need no phone: wifi-qr, wifi-pair HOST:PORT CODE, "
                                 "wifi-connect HOST[:PORT], wifi-disconnect [HOST[:PORT]]."_qs,
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
    // The Wi-Fi operations that come first and need no phone run before the phones are read.
    QList<Operation> wireless;
    QList<Operation> operations;
    bool report = false;
    QStringList words = parser.positionalArguments();
    while (!words.isEmpty()) {
        const QString name = words.takeFirst();
        QString error;
        std::optional<Operation> operation = wifiOperation(name, words, parser.value(lang) == u"fr", error);
        if (!error.isEmpty())
            return usageError(error);
        if (operation && operations.isEmpty()) {
            wireless.append(*operation);
            continue;
        }
        if (!operation)
            operation = operationNamed(name);
        if (!operation)
            return usageError(u"unknown operation: "_qs + name);
        operations.append(*operation);
        report = report || name == u"report";
    }
    if (operations.isEmpty() && wireless.isEmpty())
        return usageError(u"no operation given"_qs);
    if (parser.isSet(serial) && parser.isSet(allPhones))
        return usageError(u"--serial and --all-phones exclude each other"_qs);
    if (parser.isSet(json) && !report)
        return usageError(u"--json prints the phone report: name the operation report"_qs);
    if (const QString language = parser.value(lang); language != u"en" && language != u"fr")
        return usageError(u"unknown language: "_qs + language + u" (en or fr)"_qs);
    const QString folder = QDir::cleanPath(QDir::current().absoluteFilePath(parser.value(out)));
    if (parser.value(out).isEmpty() || !folderUsable(folder))
        return usageError(u"cannot write into the folder: "_qs + parser.value(out));

    bridge::cancelOnSignals();
    ConsoleOutput output;
    const ConsoleHost::Settings settings{folder,
                                         parser.value(lang) == u"fr",
                                         {parser.isSet(essentials), parser.isSet(legacy), parser.isSet(verbose)},
                                         parser.isSet(json)};
    int status = Succeeded;
    if (!wireless.isEmpty()) {
        ConsoleHost host(output, settings);
        status = runOperations(host, wireless);
    }
    if (status == Succeeded && !operations.isEmpty())
        status = readPhones(parser, output, settings, operations);
    // Every file left unfinished is gone by now.
    bridge::cleanedUp();
    if (const QString failure = output.failure(settings.langFR); !failure.isEmpty()) {
        printError(failure);
        if (status == Succeeded)
            status = Failed;
    }
    return status;
}

} // namespace cli
