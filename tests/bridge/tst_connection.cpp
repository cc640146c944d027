#include "base/strlist.h"
#include "bridge/catalogue.h"
#include "bridge/connection.h"
#include "bridge/runner.h"
#include "testsupport.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRadioButton>
#include <QTest>

#include <algorithm>

using bridge::DeviceState;
using testsupport::click;

Q_DECLARE_METATYPE(bridge::DeviceState)

class TestConnection : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void judgingTheDeviceList_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<DeviceState>("state");
        QTest::addColumn<QString>("phones"); // usable serials joined by "|", then "/" and the phones attached
        const QString header = u"List of devices attached"_qs;
        QTest::newRow("one phone") << QStringList{header, u"TLV0A1B2C3D4\tdevice"_qs, u""_qs} << DeviceState::Usable
                                   << u"TLV0A1B2C3D4/1"_qs;
        QTest::newRow("unauthorised first, usable second")
            << QStringList{header, u"AAA\tunauthorized"_qs, u"BBB\tdevice"_qs} << DeviceState::Usable << u"BBB/2"_qs;
        QTest::newRow("state in capitals")
            << QStringList{header, u"TLV1\tDEVICE"_qs} << DeviceState::Usable << u"TLV1/1"_qs;
        QTest::newRow("blanks instead of a tab, -l details")
            << QStringList{header, u"emulator-5554          device product:sdk model:x transport_id:1"_qs}
            << DeviceState::Usable << u"emulator-5554/1"_qs;
        QTest::newRow("daemon lines around the list")
            << QStringList{u"* daemon not running; starting now at tcp:5037"_qs, header,
                           u"* daemon started successfully"_qs, u"TLV1\tdevice"_qs}
            << DeviceState::Usable << u"TLV1/1"_qs;
        QTest::newRow("serials holding blanks (redacted)")
            << QStringList{header, u"<ID removed>\tdevice"_qs, u"<ID removed>\tdevice"_qs} << DeviceState::Usable
            << u"<ID removed>|<ID removed>/2"_qs;
        QTest::newRow("phone, emulator and Wi-Fi phone")
            << QStringList{header, u"cf264b8f\tdevice"_qs, u"emulator-5554\tdevice"_qs, u"10.129.164.6:5555\tdevice"_qs}
            << DeviceState::Usable << u"cf264b8f|emulator-5554|10.129.164.6:5555/3"_qs;
        QTest::newRow("serial holding a blank, offline")
            << QStringList{header, u"a device\toffline"_qs} << DeviceState::NoDevice << u"/1"_qs;
        QTest::newRow("a state without a serial")
            << QStringList{header, u"\tdevice"_qs} << DeviceState::NoDevice << u"/1"_qs;
        QTest::newRow("header alone") << QStringList{header, u""_qs} << DeviceState::NoDevice << u"/0"_qs;
        QTest::newRow("header with a trailing blank")
            << QStringList{header + u' '} << DeviceState::NoDevice << u"/0"_qs;
        QTest::newRow("unauthorised only")
            << QStringList{header, u"TLV1\tunauthorized"_qs} << DeviceState::Unauthorized << u"/1"_qs;
        QTest::newRow("offline") << QStringList{header, u"TLV1\toffline"_qs} << DeviceState::NoDevice << u"/1"_qs;
        QTest::newRow("no permissions line names device.html")
            << QStringList{header, u"????????????\tno permissions (user in plugdev group; are your udev rules "
                                   "wrong?); see [http://developer.android.com/tools/device.html]"_qs}
            << DeviceState::NoDevice << u"/1"_qs;
        QTest::newRow("error about no devices")
            << QStringList{u"adb: no devices/emulators found"_qs} << DeviceState::NoDevice << u"/0"_qs;
        QTest::newRow("interpreter cannot find adb")
            << QStringList{u"sh: 1: adb: not found"_qs} << DeviceState::NoDevice << u"/0"_qs;
        QTest::newRow("runner could not start")
            << QStringList{u"ERROR: CreateProcess failed for: \"adb\" devices"_qs} << DeviceState::NoDevice << u"/0"_qs;
    }
    void judgingTheDeviceList() {
        QFETCH(QStringList, lines);
        QFETCH(DeviceState, state);
        QFETCH(QString, phones);
        const bridge::DeviceList list = bridge::readDevices(lines);
        QCOMPARE(list.state, state);
        QCOMPARE(list.usable.join(u'|') + u'/' + QString::number(list.attached), phones);
    }

    void adbComplaints_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("exitCode");
        for (const char* adbSays :
             {"adb: device 'TLV0A1B2C3D4' not found", "adb: more than one device/emulator",
              "adb: no devices/emulators found", "error: device offline", "error: device unauthorized.",
              "error: closed", "error: device not found", "error: more than one device and emulator",
              "error: no devices/emulators found", "adb: no device with transport id '7'"})
            QTest::newRow(adbSays) << QString::fromUtf8(adbSays) << 1;
        QTest::newRow("the same words from a command that succeeded") << u"error: closed"_qs << 0;
    }
    // What adb printed, recorded from real phones: each of lost/ is a complaint, nothing of other/ is.
    void recordedComplaints_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("lost");
        for (const QString& kind : {u"lost"_qs, u"other"_qs}) {
            const QDir dir(testsupport::dataPath(u"bridge/complaints/"_qs + kind));
            for (const QString& name : dir.entryList(QDir::Files))
                QTest::newRow(qPrintable(name))
                    << strlist::fromText(
                           QString::fromUtf8(testsupport::dataBytes(u"bridge/complaints/"_qs + kind + u'/' + name)))
                    << (kind == u"lost");
        }
    }
    void recordedComplaints() {
        QFETCH(QStringList, lines);
        QFETCH(bool, lost);
        const QString first =
            *std::find_if(lines.begin(), lines.end(), [](const QString& l) { return !l.startsWith(u'*'); });
        QCOMPARE(bridge::adbComplaint(lines, 1), lost ? first : QString());
    }
    void adbComplaints() {
        QFETCH(QString, line);
        QFETCH(int, exitCode);
        QCOMPARE(bridge::adbComplaint({line, u"more"_qs}, exitCode), exitCode == 0 ? QString() : line);
    }

    void phoneLabels_data() {
        QTest::addColumn<QString>("serial");
        QTest::addColumn<QString>("label");
        QTest::newRow("model, underscores as blanks") << u"UYT5T18414003349"_qs << u"ALP AL00 (UYT5T18414003349)"_qs;
        QTest::newRow("no model: the serial alone") << u"emulator-5554"_qs << u"emulator-5554"_qs;
        QTest::newRow("serial with blanks") << u"RZ8 01"_qs << u"Pixel 8 (RZ8 01)"_qs;
        QTest::newRow("a serial that only starts another") << u"RZ8"_qs << u"RZ8"_qs;
        QTest::newRow("not listed") << u"nowhere"_qs << u"nowhere"_qs;
    }
    void phoneLabels() {
        QFETCH(QString, serial);
        QFETCH(QString, label);
        const QStringList details{
            u"List of devices attached"_qs,
            u"UYT5T18414003349       device usb:1114112X product:ALP-AL00 model:ALP_AL00 device:HWALP transport_id:23"_qs,
            u"emulator-5554          device product:sdk_gphone64 transport_id:1"_qs,
            u"RZ8 01                 device model:Pixel_8 transport_id:2"_qs};
        QCOMPARE(bridge::phoneLabel(details, serial), label);
    }

    void connectClick_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<bool>("french");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QColor>("color");
        QTest::newRow("modern phone") << u"modern"_qs << false
                                      << u"ADB CONNECTION: Success! Device found and authorized. ✔"_qs
                                      << QColor(0x008000);
        QTest::newRow("modern phone, French")
            << u"modern"_qs << true << u"CONNEXION ADB : Succès ! Appareil trouvé et autorisé. ✔"_qs
            << QColor(0x008000);
        QTest::newRow("adb starting its daemon first")
            << u"coldstart"_qs << false << u"ADB CONNECTION: Success! Device found and authorized. ✔"_qs
            << QColor(0x008000);
        QTest::newRow("unauthorised phone")
            << u"unauthorized"_qs << false << u"Connection failed: Device unauthorized (check phone screen)."_qs
            << QColor(0xFF0000);
        QTest::newRow("unauthorised phone, French")
            << u"unauthorized"_qs << true
            << u"Échec de connexion : Appareil non autorisé (vérifiez l'écran du téléphone)."_qs << QColor(0xFF0000);
        QTest::newRow("no phone") << u"nophone"_qs << false
                                  << u"Connection failed: No device found. Check ADB instructions."_qs
                                  << QColor(0xFF0000);
        QTest::newRow("no phone, French")
            << u"nophone"_qs << true << u"Échec de connexion : Aucun appareil trouvé. Vérifiez les instructions ADB."_qs
            << QColor(0xFF0000);
        QTest::newRow("offline phone") << u"offline"_qs << false
                                       << u"Connection failed: No device found. Check ADB instructions."_qs
                                       << QColor(0xFF0000);
        QTest::newRow("two phones of one serial, adb naming no transport ids")
            << u"sameserial-oldadb"_qs << false
            << u"Connection failed: two phones report the same serial (0123456789ABCDEF)."_qs << QColor(0xFF0000);
        QTest::newRow("no permission to the USB device")
            << u"noperm"_qs << false << u"Connection failed: No device found. Check ADB instructions."_qs
            << QColor(0xFF0000);
    }
    void connectClick() {
        QFETCH(QString, profile);
        QFETCH(bool, french);
        QFETCH(QString, result);
        QFETCH(QColor, color);
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(profile);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        if (french)
            click(form.RadioButtonFR);
        form.RichEdit1->clearPane();
        click(form.PanelConnect);

        const auto looks = testsupport::lineLooks(form.RichEdit1);
        QCOMPARE(looks.size(), 4);
        QCOMPARE(looks[0].text, QString());
        QCOMPARE(looks[1].text,
                 french ? u"--- Test de connexion ADB... ---"_qs : u"--- Testing ADB connection... ---"_qs);
        QCOMPARE(looks[1].color, QColor(0x800000));
        QCOMPARE(looks[1].size, 10);
        QVERIFY(!looks[1].bold);
        QCOMPARE(looks[2].text, QString());
        QCOMPARE(looks[3].text, result);
        QCOMPARE(looks[3].color, color);
        QCOMPARE(looks[3].size, 10);
        QVERIFY(looks[3].bold);

        const bool connected = color == QColor(0x008000);
        QCOMPARE(form.CurrentDirectory, connected ? home.outputFolder() : QString());
        QCOMPARE(QDir(home.outputFolder()).exists(), connected);
        QVERIFY(dialogs.shown().isEmpty());
    }

    void connectAddsToTheLogAndSendsOneCommand() {
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(u"modern"_qs);
        const QString log = QDir(home.path()).filePath(u"adb.log"_qs);
        qputenv("TELVANE_SIM_LOG", log.toUtf8());
        TForm13 form(testsupport::quietUpdateServer());
        const int before = form.RichEdit1->lineCount();
        QVERIFY(form.IsDeviceConnected());
        qunsetenv("TELVANE_SIM_LOG");
        QCOMPARE(form.RichEdit1->lineCount(), before + 2); // heading and empty line, no result line
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("devices\n"));
        QVERIFY2(form.CurrentDirectory.isEmpty(), "only a click on Connect sets the working path");
    }

    void failedConnectKeepsTheWorkingPath() {
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        TForm13 form(testsupport::quietUpdateServer());
        testsupport::useProfile(u"modern"_qs);
        form.PanelConnectClick();
        QCOMPARE(form.CurrentDirectory, home.outputFolder());
        testsupport::useProfile(u"nophone"_qs);
        form.PanelConnectClick();
        QCOMPARE(form.CurrentDirectory, home.outputFolder());
    }

    void silentAdbGivesFalseWithoutAMessage() {
        testsupport::DialogRecorder dialogs;
        QTemporaryDir silent;
        QFile devices(QDir(silent.path()).filePath(u"devices.out"_qs));
        QVERIFY(devices.open(QIODevice::WriteOnly));
        devices.close();
        testsupport::useProfile(silent.path());
        TForm13 form(testsupport::quietUpdateServer());
        form.RichEdit1->clearPane();
        QVERIFY(!form.IsDeviceConnected());
        QCOMPARE(form.RichEdit1->lines(), (QStringList{u"--- Testing ADB connection... ---"_qs, u""_qs}));
    }

    // The app in a folder whose name the shell would expand or cut, unless the adb path is quoted well.
    void unusualProgramFolder() {
#ifdef Q_OS_WIN
        // cmd.exe would expand %PATH% even inside quotes, and take ^ & ! ( ) for its own.
        const QString odd = u"Tel vane (test) a%PATH%b ^&! Zoé"_qs;
        const QString adb = u"adb.exe"_qs;
#else
        const QString odd = u"a $HOME `b` \"c\""_qs;
        const QString adb = u"adb"_qs;
#endif
        const QDir here(QCoreApplication::applicationDirPath());
        if (here.dirName() == odd) {
            testsupport::FreshHome home;
            testsupport::DialogRecorder dialogs;
            testsupport::useProfile(u"modern"_qs);
            TForm13 form(testsupport::quietUpdateServer());
            click(form.PanelConnect);
            QCOMPARE(form.RichEdit1->lines().last(), u"ADB CONNECTION: Success! Device found and authorized. ✔"_qs);
            click(form.PanelRawDump);
            QCOMPARE(form.RichEdit1->lines().last(),
                     u"Complete RAW dump written in folder: "_qs + QDir::toNativeSeparators(home.outputFolder()));
            QVERIFY(QFile::exists(QDir(home.outputFolder()).filePath(u"DeviceInfoHW_Complete_Raw.txt"_qs)));
            return;
        }
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(odd));
        const QDir copy(QDir(dir.path()).filePath(odd));
        const QString self = QCoreApplication::applicationFilePath();
        QVERIFY(QFile::copy(self, copy.filePath(QFileInfo(self).fileName())));
        QVERIFY(QFile::copy(here.filePath(adb), copy.filePath(adb)));
        QProcess run;
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(copy.filePath(QFileInfo(self).fileName()), {u"unusualProgramFolder"_qs});
        QVERIFY(run.waitForFinished(120000));
        QVERIFY2(run.exitCode() == 0, run.readAll().constData());
    }

    // Each command line, read back as the command interpreter (on Windows adb.exe's C runtime) splits it, gives
    // adb the arguments meant, whatever the serial holds.
    void commandLinesForTheInterpreter_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("arguments");
        const QString adb = ADBPath();
        const QString odd = u"RZ8 $HOME `x` \"q\" \\d %PATH% 01"_qs;
        QTest::newRow("a Wi-Fi phone") << catalogue::dumpsys({adb, u"192.168.1.20:5555"_qs}, u"battery"_qs)
                                       << u"-s 192.168.1.20:5555 shell dumpsys battery"_qs.split(u' ');
        QTest::newRow("a serial of blanks, quotes and shell characters")
            << catalogue::getprop({adb, odd}) << QStringList{u"-s"_qs, odd, u"shell"_qs, u"getprop"_qs};
        QTest::newRow("the phone's own shell line, by transport id")
            << catalogue::countVideos({adb, u"0123456789ABCDEF"_qs, u"2"_qs})
            << u"-t 2 shell su -c"_qs.split(u' ') +
                   QStringList{
                       u"find /storage/emulated/0 -type f -iregex '.*.\\(mp4\\|mov\\|avi\\|webm\\|3gp\\|mkv\\)' | wc -l"_qs};
    }
    void commandLinesForTheInterpreter() {
        QFETCH(QString, line);
        QFETCH(QStringList, arguments);
        QTemporaryDir dir;
        const QString file = dir.filePath(u"args"_qs);
        qputenv("TELVANE_SIM_ARGS", QDir::toNativeSeparators(file).toUtf8());
        bridge::runCommandLine(line);
        qunsetenv("TELVANE_SIM_ARGS");
        QFile args(file);
        QVERIFY(args.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(args.readAll()).split(u'\n', Qt::SkipEmptyParts), arguments);
    }
};

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
