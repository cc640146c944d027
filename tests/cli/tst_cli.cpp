#include "base/files.h"
#include "testsupport.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTest>

#ifndef Q_OS_WIN
#include <csignal>
#endif

using testsupport::click;

namespace {

struct Run {
    int status;
    QString out;
    QString err;
};

// telvane-cli as a script runs it, with the simulated phone first on the PATH (or no adb anywhere), its standard
// output read or sent to a file; during runs while it works.
Run cli(const QStringList& arguments, const std::function<void(QProcess&)>& during = {}, bool withAdb = true,
        const QString& outputFile = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
#ifdef Q_OS_WIN
    // Windows finds the system's DLLs on the PATH, which holds no adb.exe but ours.
    const QString withoutAdb = environment.value(u"PATH"_qs);
#else
    const QString withoutAdb = QDir::tempPath(); // Debian's adb lies on the usual PATH
#endif
    environment.insert(u"PATH"_qs, withAdb ? QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) +
                                                 QDir::listSeparator() + environment.value(u"PATH"_qs)
                                           : withoutAdb);
    process.setProcessEnvironment(environment);
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile);
    process.start(QStringLiteral(TELVANE_CLI), arguments);
    if (during)
        during(process);
    // A run that never ends is a failure, not the status 0 of a process still running; during may have seen it end.
    const bool ended = process.error() != QProcess::FailedToStart &&
                       (process.state() == QProcess::NotRunning || process.waitForFinished(60000));
    process.kill();
    // Text streams on Windows end their lines with CR LF.
    const auto text = [](const QByteArray& bytes) { return QString::fromUtf8(bytes).replace(u"\r\n"_qs, u"\n"_qs); };
    return {ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            text(process.readAllStandardOutput()), text(process.readAllStandardError())};
}

QByteArray bytesOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestCli : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sameFilesAsTheWindow_data() {
        QTest::addColumn<QStringList>("options");
        QTest::newRow("English") << QStringList();
        QTest::newRow("French, Essentials, compatibility mode")
            << QStringList{u"--lang"_qs, u"fr"_qs, u"--essentials"_qs, u"--legacy"_qs};
    }
    void sameFilesAsTheWindow() {
        QFETCH(QStringList, options);
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(u"modern"_qs);
        const QString shownFolder = QDir::toNativeSeparators(home.outputFolder());
        QStringList log;
        {
            TForm13 form(testsupport::quietUpdateServer());
            form.RadioButtonFR->setChecked(options.contains(u"fr"_qs));
            form.CheckBoxEssentials->setChecked(options.contains(u"--essentials"_qs));
            form.CheckBoxOldAndroid->setChecked(options.contains(u"--legacy"_qs));
            for (Panel* panel :
                 {form.PanelRawDump, form.PanelCSVExcel, form.PanelCSVLibreOffice, form.PanelGenerateAppsList})
                click(panel);
            log = form.RichEdit1->lines();
        }
        const QString out = home.path() + u"/cli"_qs;
        const Run run = cli(options + QStringList{u"--out"_qs, out, u"raw-dump"_qs, u"csv-excel"_qs,
                                                  u"csv-libreoffice"_qs, u"apps"_qs});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.err, QString());
        // The window's log, emptied by each panel but the apps list, is the end of what telvane-cli printed.
        QStringList printed = QString(run.out).replace(QDir::toNativeSeparators(out), shownFolder).split(u'\n');
        printed.removeLast();
        QCOMPARE(printed.mid(printed.size() - log.size()), log);
        const QStringList files = testsupport::filesBelow(home.outputFolder());
        QCOMPARE(testsupport::filesBelow(out), files);
        QCOMPARE(files.size(), 14);
        for (const QString& name : files)
            QVERIFY2(bytesOf(out + u'/' + name) == bytesOf(home.outputFolder() + u'/' + name), qPrintable(name));
    }

    void exitStatuses_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("error");
        const QString csv = u"csv-excel"_qs;
        QTest::newRow("read and split") << u"modern"_qs << QStringList{u"raw-dump"_qs, csv} << 0 << QString();
        QTest::newRow("no dump to split: the rest is not run")
            << u"modern"_qs << QStringList{csv, u"raw-dump"_qs} << 1 << u"Generate the RAW dump first."_qs;
        QTest::newRow("unknown operation") << u"modern"_qs << QStringList{u"raw-dump"_qs, u"dump"_qs} << 2
                                           << u"telvane-cli: unknown operation: dump\n"_qs;
        QTest::newRow("unknown option") << u"modern"_qs << QStringList{u"--fast"_qs, csv} << 2
                                        << u"telvane-cli: Unknown option 'fast'.\n"_qs;
        QTest::newRow("unknown language")
            << u"modern"_qs << QStringList{u"--lang"_qs, u"xx"_qs, csv} << 2 << u"unknown language: xx"_qs;
        QTest::newRow("output folder is a file")
            << u"modern"_qs << QStringList{u"--out"_qs, u"file/sub"_qs, csv} << 2 << u"cannot write into"_qs;
        QTest::newRow("JSON without the report")
            << u"modern"_qs << QStringList{u"--json"_qs, csv} << 2 << u"--json prints the phone report"_qs;
        QTest::newRow("no phone") << u"nophone"_qs << QStringList{csv} << 3 << u"No device found"_qs;
        QTest::newRow("two phones, none named")
            << u"twophones"_qs << QStringList{csv} << 3 << u"Pixel 8 Pro (TLV0A1B2C3D4)\nG700-U20 (TLV20A7F3C91)\n"_qs;
        QTest::newRow("a phone on the cable and over Wi-Fi, listed once")
            << u"usbandwifi"_qs << QStringList{csv} << 3 << u"Pixel 8 Pro (TLV0A1B2C3D4)\nG700-U20 (TLV20A7F3C91)\n"_qs;
        QTest::newRow("serial of no phone")
            << u"twophones"_qs << QStringList{u"--serial"_qs, u"X1"_qs, csv} << 3 << u"has the serial X1"_qs;
        QTest::newRow("the phone named") << u"twophones"_qs
                                         << QStringList{u"--serial"_qs, u"TLV20A7F3C91"_qs, u"raw-dump"_qs} << 0
                                         << QString();
        QTest::newRow("the phone named leaves, another stays: lost")
            << u"leavingphone"_qs << QStringList{u"--serial"_qs, u"TLV6A0000001"_qs, u"connect"_qs, u"raw-dump"_qs} << 1
            << u"Phone lost: adb no longer lists TLV6A0000001 as a usable phone\n"_qs;
        QTest::newRow("one of two phones of one serial, by transport id")
            << u"sameserial"_qs << QStringList{u"--serial"_qs, u"0123456789ABCDEF@t2"_qs, u"raw-dump"_qs} << 0
            << QString();
        QTest::newRow("no adb anywhere") << u"no adb"_qs << QStringList{u"connect"_qs} << 3
                                         << u"adb was not found, neither in Telvane's folder"_qs;
        QTest::newRow("standard output cannot be written")
            << u"modern"_qs << QStringList{u">/dev/full"_qs, u"df"_qs} << 1
            << u"telvane-cli: cannot write to standard output: No space left on the device\n"_qs;
        const QString pair = u"wifi-pair"_qs, connect = u"wifi-connect"_qs, at = u"192.168.1.20:37099"_qs;
        QTest::newRow("Wi-Fi: connect, then read")
            << u"wireless-away"_qs << QStringList{connect, u"192.168.1.20"_qs, u"raw-dump"_qs} << 0 << QString();
        QTest::newRow("Wi-Fi: pair with the code, then disconnect")
            << u"wireless"_qs << QStringList{pair, at, u"482916"_qs, u"wifi-disconnect"_qs} << 0 << QString();
        QTest::newRow("Wi-Fi: the USB phone switched")
            << u"wireless"_qs << QStringList{u"wifi-on"_qs} << 0 << QString();
        QTest::newRow("Wi-Fi: a wrong code") << u"wireless"_qs << QStringList{pair, at, u"111111"_qs} << 1
                                             << u"Pairing failed: Failed: Wrong password"_qs;
        QTest::newRow("Wi-Fi: pair first") << u"wireless"_qs << QStringList{connect, u"192.168.1.6"_qs} << 1
                                           << u"failed: failed to authenticate to 192.168.1.6:5555\n"_qs;
        QTest::newRow("Wi-Fi: no such phone")
            << u"wireless"_qs << QStringList{u"wifi-disconnect"_qs, u"192.168.1.99"_qs} << 1
            << u"no such device '192.168.1.99:5555'"_qs;
        QTest::newRow("Wi-Fi: pairing without its port")
            << u"wireless"_qs << QStringList{pair, u"192.168.1.20"_qs, u"482916"_qs} << 2 << u"Not an address"_qs;
        QTest::newRow("Wi-Fi: five digits")
            << u"wireless"_qs << QStringList{pair, at, u"48291"_qs, u"raw-dump"_qs} << 2 << u"Not a pairing code"_qs;
    }
    void exitStatuses() {
        QFETCH(QString, profile);
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, error);
        testsupport::FreshHome home;
        testsupport::useProfile(profile);
        qputenv("TELVANE_SIM_STATE", home.path().toUtf8());
        QFile(home.path() + u"/file"_qs).open(QIODevice::WriteOnly);
        arguments.replaceInStrings(u"file/"_qs, home.path() + u"/file/"_qs);
        const QString full = arguments.removeAll(u">/dev/full"_qs) ? u"/dev/full"_qs : QString();
        const Run run =
            cli(QStringList{u"--out"_qs, home.path() + u"/out"_qs} + arguments, {}, profile != u"no adb", full);
        QCOMPARE(run.status, status);
        QVERIFY2(error.isEmpty() ? run.err.isEmpty() : run.err.contains(error), qPrintable(run.err));
        // Bad input writes nothing, a failure no RAW dump.
        if (status == 2 || status == 3)
            QVERIFY(!QFileInfo::exists(home.path() + u"/out"_qs));
        if (status != 0)
            QVERIFY(!QFileInfo::exists(home.path() + u"/out/DeviceInfoHW_Complete_Raw.txt"_qs));
    }

    void everyPhoneAtOnce_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<int>("status");
        QTest::newRow("two phones") << u"twophones"_qs
                                    << QStringList{u"G700-U20_TLV20A7F3C91"_qs, u"Pixel_8_Pro_TLV0A1B2C3D4"_qs} << 0;
        QTest::newRow("four phones") << u"fourphones"_qs
                                     << QStringList{u"G700-U20_TLV4A0000002"_qs, u"G700-U20_TLV4A0000004"_qs,
                                                    u"Pixel_8_Pro_TLV4A0000001"_qs, u"Pixel_8_Pro_TLV4A0000003"_qs}
                                     << 0;
        QTest::newRow("one unplugged: the other finishes")
            << u"gonephone"_qs << QStringList{u"Pixel_8_Pro_TLV0A1B2C3D4"_qs} << 1;
        QTest::newRow("one gone from the list, another stays: it is lost")
            << u"leavingphone"_qs << QStringList{u"G700-U20_TLV6A0000002"_qs} << 1;
        QTest::newRow("a phone on the cable and twice over Wi-Fi: read once")
            << u"usbandwifi"_qs << QStringList{u"G700-U20_TLV20A7F3C91"_qs, u"Pixel_8_Pro_TLV0A1B2C3D4"_qs} << 0;
        QTest::newRow("two of one serial, adb naming no transport ids: only they stop")
            << u"sameserial-oldadb-beside"_qs << QStringList{u"G700-U20_TLV20A7F3C91"_qs} << 1;
    }
    void everyPhoneAtOnce() {
        QFETCH(QString, profile);
        QFETCH(QStringList, folders);
        QFETCH(int, status);
        testsupport::FreshHome home;
        testsupport::useProfile(profile);
        qputenv("TELVANE_SIM_STATE", home.path().toUtf8());
        const Run run =
            cli({u"--all-phones"_qs, u"--out"_qs, home.path() + u"/out"_qs, u"raw-dump"_qs, u"csv-excel"_qs});
        QCOMPARE(run.status, status);
        // The phones read to the end: the RAW dump and six CSV files each, in a folder of their own, each
        // holding that phone's own serial.
        const QDir dir(home.path() + u"/out"_qs);
        QStringList complete;
        for (const QString& folder : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            if (QDir(dir.filePath(folder)).entryList(QDir::Files).size() == 7)
                complete.append(folder);
            const QByteArray dump = bytesOf(dir.filePath(folder + u"/DeviceInfoHW_Complete_Raw.txt"_qs));
            QVERIFY2(dump.isEmpty() || dump.contains("[ro.serialno]: [" + folder.section(u'_', -1).toUtf8() + ']'),
                     qPrintable(folder));
        }
        QCOMPARE(complete, folders);
        // Every line says whose it is; a lost phone's line goes to standard error.
        for (const QString& line : run.out.split(u'\n', Qt::SkipEmptyParts))
            QVERIFY2(line.startsWith(u'['), qPrintable(line));
        QCOMPARE(run.err.isEmpty(), status == 0);
    }

    // The phone scans the terminal's QR code, read light on dark and dark on light; the pairing gets its password.
    void qrPairingInTheTerminal() {
#ifdef Q_OS_WIN
        QSKIP("zbarimg does not run under Wine");
#endif
        testsupport::FreshHome home;
        const testsupport::SimLog log;
        testsupport::useProfile(u"wireless-away"_qs);
        QString scanned;
        const Run run = cli({u"wifi-qr"_qs}, [&](QProcess& process) {
            QByteArray out;
            QTRY_VERIFY((out += process.readAllStandardOutput()).contains("Waiting for the phone"));
            const QStringList code = QString::fromUtf8(out).split(u'\n').filter(QRegularExpression(u"^[█▀▄ ]+$"_qs));
            scanned = testsupport::decodeQr(testsupport::halfBlockImage(code, true));
            QCOMPARE(testsupport::decodeQr(testsupport::halfBlockImage(code, false)), scanned);
            log.put(u"scanned"_qs, scanned);
        });
        QCOMPARE(run.status, 0);
        QVERIFY(log.commands().contains(u"pair 192.168.1.20:37099 "_qs + scanned.section(u";P:"_qs, 1).chopped(2)));
        QVERIFY(
            run.out.contains(u"Connected over Wi-Fi: Pixel 8 Pro (adb-TLV0A1B2C3D4-Xa3bQz._adb-tls-connect._tcp)"_qs));
    }

    // A drawer of phones in one command: a JSON line each on standard output, and the inventory, which
    // LibreOffice reads back, one row per phone whose report it names.
    void reportOfEveryPhone() {
        testsupport::FreshHome home;
        testsupport::useProfile(u"fourphones"_qs);
        const QString out = home.path() + u"/out"_qs;
        const Run run = cli({u"--all-phones"_qs, u"--json"_qs, u"--out"_qs, out, u"report"_qs});
        QCOMPARE(run.status, 0);
        QStringList models;
        for (const QString& line : run.out.split(u'\n', Qt::SkipEmptyParts)) {
            const QJsonObject json = QJsonDocument::fromJson(line.toUtf8()).object();
            QCOMPARE(json.value(u"schema"_qs).toInt(), 1);
            models.append(json.value(u"phone"_qs).toObject().value(u"model"_qs).toString());
        }
        models.sort();
        QCOMPARE(models, (QStringList{u"G700-U20"_qs, u"G700-U20"_qs, u"Pixel 8 Pro"_qs, u"Pixel 8 Pro"_qs}));
        QVERIFY(run.err.contains(u"] Phone report written: "_qs));

        const QString index = QString::fromUtf8(bytesOf(out + u"/index.html"_qs));
        static const QRegularExpression link(u"href=\"([^\"]+)\""_qs);
        int links = 0;
        for (const auto& match : link.globalMatch(index))
            links += QFileInfo(out + u'/' + match.captured(1)).isFile();
        QCOMPARE(links, 4);
#ifndef Q_OS_WIN
        const QString soffice = QStandardPaths::findExecutable(u"soffice"_qs);
        if (soffice.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QProcess lo;
        lo.start(soffice,
                 {u"-env:UserInstallation=file://"_qs + home.path() + u"/lo"_qs, u"--headless"_qs,
                  u"--infilter=CSV:44,34,76,1"_qs, u"--convert-to"_qs, u"txt:Text - txt - csv (StarCalc):9,34,76"_qs,
                  u"--outdir"_qs, home.path(), out + u"/phones.csv"_qs});
        QVERIFY(lo.waitForFinished(120000));
        const QStringList rows =
            QString::fromUtf8(bytesOf(home.path() + u"/phones.txt"_qs)).split(u"\n"_qs, Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 5);
        QVERIFY2(rows[0].startsWith(u"Model\tSerial number\tAndroid\tSecurity patch\tBattery health %"_qs),
                 qPrintable(rows[0]));
        for (const QString& row : rows.mid(1)) {
            const QStringList fields = row.trimmed().split(u'\t');
            QCOMPARE(fields.size(), 12);
            QVERIFY2(QFileInfo(out + u'/' + fields[11]).isFile(), qPrintable(row));
        }
        QVERIFY(rows.mid(1).filter(u"\t100\tlearned capacity in batterystats\t"_qs).size() == 2);
#endif
    }

#ifndef Q_OS_WIN
    // An operation stopped by a full disk or a signal leaves every earlier file as it was; one that ends replaces
    // them all.
    void earlierFilesStayWhole_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("disk");      // kB of a small disk for the output folder, 0 for none
        QTest::addColumn<double>("signal"); // when SIGTERM comes, in parts of the export's own time
        QTest::newRow("full disk during the dump") << u"raw-dump"_qs << 32 << 0.0;
        QTest::newRow("full disk during the export") << u"csv-excel"_qs << 116 << 0.0;
        for (const double at : {0.1, 0.5, 0.9})
            QTest::newRow(qPrintable(u"SIGTERM at %1 %"_qs.arg(at * 100))) << u"csv-excel"_qs << 0 << at;
    }
    void earlierFilesStayWhole() {
        QFETCH(QString, operation);
        QFETCH(int, disk);
        QFETCH(double, signal);
        testsupport::FreshHome home;
        testsupport::useProfile(u"modern"_qs);
        const QString out = home.path() + u"/out"_qs;
        QCOMPARE(cli({u"--out"_qs, out, u"raw-dump"_qs}).status, 0);
        const QString dump = u"DeviceInfoHW_Complete_Raw.txt"_qs;
        const QByteArray dumped = bytesOf(out + u'/' + dump).repeated(signal > 0 ? 170 : 1); // 10 MB to export
        QVERIFY(QDir(out).removeRecursively() && QDir().mkpath(out));
        if (disk > 0 && QProcess::execute(u"mount"_qs, {u"-t"_qs, u"tmpfs"_qs, u"-o"_qs, u"size=%1k"_qs.arg(disk),
                                                        u"tmpfs"_qs, out}) != 0)
            QSKIP("mounting a small disk needs root");
        const auto unmount = qScopeGuard([&] { disk > 0 && QProcess::execute(u"umount"_qs, {out}); });
        const QByteArray earlier = operation == u"raw-dump" ? "old" : dumped;
        const QString props = out + u"/DeviceInfoHW_SYSTEM_Props_Excel.csv"_qs;
        const auto writeEarlier = [&] {
            files::writeWholeFile(out + u'/' + dump, earlier);
            files::writeWholeFile(props, "old");
        };
        writeEarlier();
        QElapsedTimer clock; // the export's own time, on the same files
        clock.start();
        if (signal > 0) {
            cli({u"--out"_qs, out, operation});
            writeEarlier();
        }
        const qint64 whole = clock.elapsed();
        const QStringList before = testsupport::filesBelow(out);
        const Run run = cli({u"--out"_qs, out, operation}, [&](QProcess& process) {
            if (signal > 0 && !process.waitForFinished(int(double(whole) * signal)))
                ::kill(pid_t(process.processId()), SIGTERM);
        });
        QCOMPARE(run.err.contains(u"Operation cancelled."_qs), run.status == 130);
        QVERIFY2(disk > 0 ? run.status == 1 && run.err.endsWith(u": No space left on the device.\n"_qs)
                          : run.status == 0 || run.status == 130,
                 qPrintable(run.err));
        QCOMPARE(bytesOf(props) == "old", run.status != 0);
        if (run.status != 0)
            QVERIFY(testsupport::filesBelow(out) == before && bytesOf(out + u'/' + dump) == earlier);
    }

    void interruptEndsTheChildren_data() {
        QTest::addColumn<int>("signal");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("commands");
        QTest::newRow("Ctrl+C during the dump") << SIGINT << QStringList{u"raw-dump"_qs} << 6;
        QTest::newRow("SIGTERM during the dump") << SIGTERM << QStringList{u"raw-dump"_qs} << 6;
        QTest::newRow("SIGTERM while 70 phones run a command each")
            << SIGTERM << QStringList{u"--all-phones"_qs, u"df"_qs} << 70;
    }
    void interruptEndsTheChildren() {
        QFETCH(int, signal);
        QFETCH(QStringList, arguments);
        QFETCH(int, commands);
        testsupport::FreshHome home;
        testsupport::useProfile(commands == 70 ? u"seventyphones"_qs : u"stuck"_qs);
        const QByteArray mark = "TELVANE_CLI_TEST=" + QByteArray::number(QCoreApplication::applicationPid());
        qputenv("TELVANE_CLI_TEST", mark.mid(mark.indexOf('=') + 1));
        // The simulated phones this test started that still run.
        const auto running = [&mark] {
            int found = 0;
            for (const QString& pid : QDir(u"/proc"_qs).entryList({u"[0-9]*"_qs}, QDir::Dirs)) {
                QFile environment(u"/proc/"_qs + pid + u"/environ"_qs);
                found += environment.open(QIODevice::ReadOnly) && environment.readAll().split('\0').contains(mark) &&
                         QFileInfo(u"/proc/"_qs + pid + u"/exe"_qs).symLinkTarget().endsWith(u"/adb"_qs);
            }
            return found;
        };
        const QString out = home.path() + u"/out"_qs;
        files::writeWholeFile(files::ensureFolder(out) + u"/DeviceInfoHW_Complete_Raw.txt"_qs, "--- BATTERY ---\r\n");
        const Run run = cli(QStringList{u"--out"_qs, out} + arguments, [&](QProcess& process) {
            QTRY_VERIFY_WITH_TIMEOUT(running() == commands, 30000);
            ::kill(pid_t(process.processId()), signal);
        });
        QCOMPARE(run.status, 130);
        QCOMPARE(run.err.count(u"Operation cancelled.\n"_qs), commands == 70 ? 70 : 1);
        QCOMPARE(testsupport::filesBelow(out), QStringList{u"DeviceInfoHW_Complete_Raw.txt"_qs});
        QCOMPARE(bytesOf(out + u"/DeviceInfoHW_Complete_Raw.txt"_qs), QByteArray("--- BATTERY ---\r\n"));
        QCOMPARE(running(), 0);
    }
#endif
};

QTEST_MAIN(TestCli)
#include "tst_cli.moc"
