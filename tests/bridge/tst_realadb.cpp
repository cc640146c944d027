#include "app/panel.h"
#include "app/textpane.h"
#include "app/tform13.h"
#include "bridge/runner.h"
#include "testsupport.h"

#include <QProcess>
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

    void adbIsTakenFromTheSearchPath() { QCOMPARE(ADBPath(), u"adb"_qs); }

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
};

QTEST_MAIN(TestRealAdb)
#include "tst_realadb.moc"
