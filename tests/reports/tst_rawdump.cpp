#include "base/files.h"
#include "base/strlist.h"
#include "reports/essentials.h"
#include "reports/rawdump.h"
#include "testsupport.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <algorithm>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using testsupport::click;

namespace {

const QString Small = testsupport::dataPath(u"reports/profiles/small"_qs);

QByteArray rawDumpBytes(const testsupport::FreshHome& home) {
    QFile file(QDir(home.outputFolder()).filePath(u"DeviceInfoHW_Complete_Raw.txt"_qs));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList recordedOutput(const QString& slug) {
    return strlist::fromText(QString::fromUtf8(testsupport::dataBytes(u"profiles/modern/"_qs + slug + u".out"_qs)));
}

} // namespace

class TestRawDump : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void assembly_data() {
        QTest::addColumn<QList<QStringList>>("outputs");
        QTest::addColumn<QList<bool>>("essentials"); // asked once per line, in order; cycles when shorter
        QTest::addColumn<QStringList>("lines");
        const QStringList headers{u"--- BATTERY ---"_qs, u"--- THERMAL ---"_qs,           u"--- SENSORS ---"_qs,
                                  u"--- CPU/GPU ---"_qs, u"--- SYSTEM PROPERTIES ---"_qs, u"--- WIFI ---"_qs};
        QTest::newRow("six empty outputs") << QList<QStringList>(6) << QList<bool>{false}
                                           << QStringList{headers[0], u""_qs, headers[1], u""_qs, headers[2], u""_qs,
                                                          headers[3], u""_qs, headers[4], u""_qs, headers[5]};
        QTest::newRow("lines kept as they came, blanks included")
            << QList<QStringList>{{u"  level: 80"_qs, u""_qs}, {}, {}, {}, {}, {u"\tx "_qs, u""_qs}}
            << QList<bool>{false}
            << QStringList{headers[0], u"  level: 80"_qs, u""_qs, u""_qs,     headers[1], u""_qs,     headers[2],
                           u""_qs,     headers[3],        u""_qs, headers[4], u""_qs,     headers[5], u"\tx "_qs,
                           u""_qs};
        QTest::newRow("Essentials drops empty lines and bookkeeping, never headers")
            << QList<QStringList>{{u"  level: 80"_qs, u"  "_qs, u"mLastX=1"_qs}, {}, {}, {}, {}, {u""_qs}}
            << QList<bool>{true} << QStringList{headers[0], u"  level: 80"_qs, u""_qs, headers[1], u""_qs, headers[2],
                                                u""_qs,     headers[3],        u""_qs, headers[4], u""_qs, headers[5]};
        QTest::newRow("the check box is read anew for every line")
            << QList<QStringList>{{u""_qs, u""_qs, u""_qs, u""_qs}, {}, {}, {}, {}, {}} << QList<bool>{true, false}
            << QStringList{headers[0], u""_qs,     u""_qs, u""_qs,     headers[1], u""_qs,    headers[2],
                           u""_qs,     headers[3], u""_qs, headers[4], u""_qs,     headers[5]};
    }
    void assembly() {
        QFETCH(QList<QStringList>, outputs);
        QFETCH(QList<bool>, essentials);
        QFETCH(QStringList, lines);
        reports::RawOutputs raw;
        std::copy(outputs.begin(), outputs.end(), raw.begin());
        qsizetype asked = 0;
        QCOMPARE(reports::AssembleRawDump(raw, [&] { return essentials[asked++ % essentials.size()]; }), lines);
    }

    void exactFileBytes_data() {
        QTest::addColumn<bool>("essentials");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("everything") << false
                                    << QByteArray("\xEF\xBB\xBF"
                                                  "--- BATTERY ---\r\n"
                                                  "Current Battery Service state:\r\n"
                                                  "  AC powered: true\r\n"
                                                  "\r\n"
                                                  "  temperature: 287\r\n"
                                                  "  voltage: 3850\r\n"
                                                  "\r\n"
                                                  "--- THERMAL ---\r\n"
                                                  "IsStatusOverride: false\r\n"
                                                  "ThermalEventListeners:\r\n"
                                                  "\tcallbacks: 2\r\n"
                                                  "Cached temperatures:\r\n"
                                                  "\tTemperature{mValue=35.0, mType=0, mName=CPU0, mStatus=0}\r\n"
                                                  "\r\n"
                                                  "--- SENSORS ---\r\n"
                                                  "\r\n"
                                                  "--- CPU/GPU ---\r\n"
                                                  "Load: 2.5 / 2.1 / 1.9\r\n"
                                                  "  mUserCount 3\r\n"
                                                  "\r\n"
                                                  "--- SYSTEM PROPERTIES ---\r\n"
                                                  "[ro.product.model]: [Model 7]\r\n"
                                                  "[ro.serialno]: [ABC123]\r\n"
                                                  "[ro.product.cpu.abilist]: [arm64-v8a,armeabi-v7a]\r\n"
                                                  "[x.y]: []\r\n"
                                                  "\r\n"
                                                  "--- WIFI ---\r\n"
                                                  "Wi-Fi is enabled\r\n"
                                                  "mState: ConnectedState\r\n"
                                                  "\r\n");
        QTest::newRow("Essentials") << true
                                    << QByteArray("\xEF\xBB\xBF"
                                                  "--- BATTERY ---\r\n"
                                                  "Current Battery Service state:\r\n"
                                                  "  AC powered: true\r\n"
                                                  "  temperature: 287\r\n"
                                                  "  voltage: 3850\r\n"
                                                  "\r\n"
                                                  "--- THERMAL ---\r\n"
                                                  "IsStatusOverride: false\r\n"
                                                  "Cached temperatures:\r\n"
                                                  "\tTemperature{mValue=35.0, mType=0, mName=CPU0, mStatus=0}\r\n"
                                                  "\r\n"
                                                  "--- SENSORS ---\r\n"
                                                  "\r\n"
                                                  "--- CPU/GPU ---\r\n"
                                                  "Load: 2.5 / 2.1 / 1.9\r\n"
                                                  "\r\n"
                                                  "--- SYSTEM PROPERTIES ---\r\n"
                                                  "[ro.product.model]: [Model 7]\r\n"
                                                  "[ro.serialno]: [ABC123]\r\n"
                                                  "[ro.product.cpu.abilist]: [arm64-v8a,armeabi-v7a]\r\n"
                                                  "[x.y]: []\r\n"
                                                  "\r\n"
                                                  "--- WIFI ---\r\n"
                                                  "Wi-Fi is enabled\r\n"
                                                  "mState: ConnectedState\r\n");
    }
    void exactFileBytes() {
        QFETCH(bool, essentials);
        QFETCH(QByteArray, bytes);
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(Small);
        const QString log = QDir(home.path()).filePath(u"adb.log"_qs);
        qputenv("TELVANE_SIM_LOG", log.toUtf8());
        TForm13 form(testsupport::quietUpdateServer());
        form.CheckBoxEssentials->setChecked(essentials);
        click(form.PanelRawDump);
        qunsetenv("TELVANE_SIM_LOG");
        QCOMPARE(rawDumpBytes(home), bytes);
        QCOMPARE(dialogs.shown().size(), 0);
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadOnly));
        // The six reports are asked for at once, in no fixed order.
        QList<QByteArray> commands = file.readAll().split('\n');
        std::sort(commands.begin() + 1, commands.end());
        QCOMPARE(commands.join('\n'), QByteArray("devices\n\n"
                                                 "-s TLV0A1B2C3D4 shell dumpsys battery\n"
                                                 "-s TLV0A1B2C3D4 shell dumpsys cpuinfo\n"
                                                 "-s TLV0A1B2C3D4 shell dumpsys sensorservice\n"
                                                 "-s TLV0A1B2C3D4 shell dumpsys thermalservice\n"
                                                 "-s TLV0A1B2C3D4 shell dumpsys wifi\n"
                                                 "-s TLV0A1B2C3D4 shell getprop"));
    }

    void fullRecordedDump_data() {
        QTest::addColumn<bool>("essentials");
        QTest::newRow("Essentials off") << false;
        QTest::newRow("Essentials on") << true;
    }
    void fullRecordedDump() {
        QFETCH(bool, essentials);
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(u"modern"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        form.CheckBoxEssentials->setChecked(essentials);
        click(form.PanelRawDump);
        const QByteArray bytes = rawDumpBytes(home);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(bytes.endsWith("\r\n"));
        QVERIFY(!bytes.mid(3).replace("\r\n", "").contains('\n'));
        const QStringList lines = strlist::fromFileBytes(bytes);

        const char* const slugs[] = {"shell-dumpsys-battery",
                                     "shell-dumpsys-thermalservice",
                                     "shell-dumpsys-sensorservice",
                                     "shell-dumpsys-cpuinfo",
                                     "shell-getprop",
                                     "shell-dumpsys-wifi"};
        const QStringList headers{u"--- BATTERY ---"_qs, u"--- THERMAL ---"_qs,           u"--- SENSORS ---"_qs,
                                  u"--- CPU/GPU ---"_qs, u"--- SYSTEM PROPERTIES ---"_qs, u"--- WIFI ---"_qs};
        QStringList expected;
        for (int i = 0; i < 6; ++i) {
            expected.append(headers[i]);
            for (const QString& line : recordedOutput(QString::fromLatin1(slugs[i])))
                if (!essentials || reports::IsEssential(line))
                    expected.append(line);
            if (i < 5)
                expected.append(QString());
        }
        QCOMPARE(lines, expected);
        // Spot checks that the filter really bit on the recorded text.
        QCOMPARE(lines.contains(u"\tcallbacks: 2"_qs), !essentials);
        QCOMPARE(lines.contains(u"mLastSignalLevel 4"_qs), !essentials);
        QVERIFY(lines.contains(u"  temperature: 180"_qs));
        QVERIFY(lines.contains(u"[persist.sys.device_name]: [Téléphone de Zoé]"_qs));
        QCOMPARE(lines.count(QString()) == 5, essentials);
    }

    void logMessages_data() {
        QTest::addColumn<bool>("french");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("written");
        QTest::newRow("English") << false << u"--- Generating RAW Dump... ---"_qs
                                 << u"Complete RAW dump written in folder: "_qs;
        QTest::newRow("French") << true << u"--- Génération du RAW Dump en cours... ---"_qs
                                << u"RAW dump complet ecrit dans le dossier : "_qs;
    }
    void logMessages() {
        QFETCH(bool, french);
        QFETCH(QString, heading);
        QFETCH(QString, written);
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(Small);
        TForm13 form(testsupport::quietUpdateServer());
        if (french)
            click(form.RadioButtonFR);
        click(form.PanelRawDump);
        const QList<testsupport::LineLook> looks = testsupport::lineLooks(form.RichEdit1);
        QCOMPARE(looks.size(), 5); // connection heading and its empty line, then ours
        QCOMPARE(looks[2].text, heading);
        QCOMPARE(looks[2].color, QColor(0x800000));
        QCOMPARE(looks[2].size, 10);
        QVERIFY(looks[2].bold);
        QCOMPARE(looks[3].text, QString());
        QCOMPARE(looks[4].text, written + QDir::toNativeSeparators(home.outputFolder()));
        QCOMPARE(looks[4].color, QColor(0x008000));
        QCOMPARE(looks[4].size, 10);
        QVERIFY(!looks[4].bold);
    }

    void noUsableDevice_data() {
        QTest::addColumn<QString>("profile");
        QTest::newRow("no phone") << u"nophone"_qs;
        QTest::newRow("unauthorised") << u"unauthorized"_qs;
        QTest::newRow("offline") << u"offline"_qs;
    }
    void noUsableDevice() {
        QFETCH(QString, profile);
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(profile);
        TForm13 form(testsupport::quietUpdateServer());
        click(form.PanelRawDump);
        QVERIFY(!QDir(QDir(home.path()).filePath(u"Desktop"_qs)).exists());
        QVERIFY(!form.RichEdit1->lines().contains(u"--- Generating RAW Dump... ---"_qs));
        QCOMPARE(dialogs.shown().size(), 0);
    }

    void runningTwiceReplacesTheFile() {
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        testsupport::useProfile(Small);
        TForm13 form(testsupport::quietUpdateServer());
        click(form.PanelRawDump);
        const QByteArray once = rawDumpBytes(home);
        click(form.PanelRawDump);
        QCOMPARE(rawDumpBytes(home), once);
        QCOMPARE(form.RichEdit1->lineCount(), 5); // the click cleared the log first
    }

    void unwritableReachesTheErrorReport_data() {
        QTest::addColumn<QString>("blocker"); // made a folder (ending in "/") or a file
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("commands"); // the folder is made before any phone command but the connection test
        QTest::newRow("the dump's name is a folder")
            << u"Desktop/Telvane/DeviceInfoHW_Complete_Raw.txt/"_qs << u"Cannot write file"_qs << 1;
        QTest::newRow("the output folder is a file") << u"Desktop/Telvane"_qs << u"Cannot create folder"_qs << 1;
        QTest::newRow("the dump's name becomes a folder while the phone answers")
            << u"later:Desktop/Telvane/DeviceInfoHW_Complete_Raw.txt/"_qs << u"Cannot write file"_qs << 7;
    }
    void unwritableReachesTheErrorReport() {
        QFETCH(QString, blocker);
        QFETCH(QString, error);
        QFETCH(int, commands);
        const testsupport::SimLog log;
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        // Made while the slow phone answers: the final step of the save is the one that fails.
        const bool later = blocker.startsWith(u"later:"_qs);
        blocker.remove(u"later:"_qs);
        testsupport::useProfile(later ? u"slowphone"_qs : Small);
        const QDir root(home.path());
        if (later) {
            QTimer::singleShot(500, [&root, &blocker] { root.mkpath(blocker); });
        } else if (blocker.endsWith(u'/')) {
            QVERIFY(root.mkpath(blocker));
        } else {
            QVERIFY(root.mkpath(u"Desktop"_qs));
            QFile file(root.filePath(blocker));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("keep me");
        }
        const QStringList before = testsupport::filesBelow(home.path());
        TForm13 form(testsupport::quietUpdateServer());
        click(form.PanelRawDump);
        QCOMPARE(dialogs.errors().size(), 1);
        QVERIFY2(dialogs.errors()[0].startsWith(error), qPrintable(dialogs.errors()[0]));
        QCOMPARE(testsupport::filesBelow(home.path()), before);
        QVERIFY(!form.RichEdit1->lines().last().startsWith(u"Complete RAW dump"_qs));
        QCOMPARE(log.commands().size(), commands);
        if (!blocker.endsWith(u'/')) {
            QFile file(root.filePath(blocker));
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("keep me"));
        }
    }
};

QTEST_MAIN(TestRawDump)
#include "tst_rawdump.moc"
