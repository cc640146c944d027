#include "bridge/runner.h"
#include "testsupport.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTest>

// Debian's real adb, with no phone attached, through the real runner and shell.
class TestRealAdb : public QObject {
    Q_OBJECT

    QByteArray port_;

private Q_SLOTS:
    void initTestCase() {
        if (QStandardPaths::findExecutable(u"adb"_qs).isEmpty())
            QFAIL("adb is not installed: scripts/install-deps.sh test installs it");
        // An adb server of our own, on a free port, so a server the user runs is never touched.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        port_ = QByteArray::number(probe.serverPort());
        probe.close();
        qputenv("ANDROID_ADB_SERVER_PORT", port_);
    }

    void cleanupTestCase() { QProcess::execute(u"adb"_qs, {u"kill-server"_qs}); }

    void adbIsTakenFromTheSearchPath() {
        QCOMPARE(ADBPath(), u"adb"_qs);
        // Beside us, only an executable file counts: not a folder, not a plain file.
        const QDir here(QCoreApplication::applicationDirPath());
        QVERIFY(here.mkdir(u"adb"_qs));
        QCOMPARE(ADBPath(), u"adb"_qs);
        QVERIFY(here.rmdir(u"adb"_qs));
        QFile plain(here.filePath(u"adb"_qs));
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.close();
        QCOMPARE(ADBPath(), u"adb"_qs);
        QVERIFY(plain.remove());
    }

    void connectWithoutPhoneSaysNoDevice() {
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        form.RichEdit1->clearPane();
        testsupport::click(form.PanelConnect);
        const QStringList lines = form.RichEdit1->lines();
        QCOMPARE(lines.last(), u"Connection failed: No device found. Check ADB instructions."_qs);
        QVERIFY(form.CurrentDirectory.isEmpty());
    }

    // Debian's adb 29.0.6 has neither pair nor mdns: the pairing tabs say so and cannot start; Connect can.
    void wifiWithAnAdbTooOldToPair() {
        testsupport::FreshHome home;
        testsupport::DialogRecorder dialogs;
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        testsupport::onNextModal([](QWidget* dialog) {
            QVERIFY(
                dialog->findChild<QLabel*>(u"WifiCodeRefusal"_qs)
                    ->text()
                    .startsWith(
                        u"This adb (29.0.6-debian) cannot pair: pairing and finding phones over Wi-Fi need adb from "
                        "Android SDK Platform-Tools 30 or later."_qs));
            QVERIFY(!dialog->findChild<QPushButton*>(u"WifiQrStart"_qs)->isEnabled());
            QVERIFY(dialog->findChild<QPushButton*>(u"WifiConnect"_qs)->isEnabled());
            dialog->close();
        });
        testsupport::click(form.PanelWifi);
    }
};

QTEST_MAIN(TestRealAdb)
#include "tst_realadb.moc"
