#include "testsupport.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QAbstractTextDocumentLayout>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <csignal>

#ifdef Q_OS_WIN
#include <windows.h>

#include <tlhelp32.h>
#endif

using testsupport::click;

namespace {

#ifdef Q_OS_WIN
// Simulated phones of this test's folder still running; adb.exe starts nothing else here.
int simulatorsRunning() {
    const QString ours = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + u"/adb.exe"_qs);
    int running = 0;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (bool more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        wchar_t image[MAX_PATH];
        DWORD size = MAX_PATH;
        if (process && QueryFullProcessImageNameW(process, 0, image, &size) &&
            QString::fromWCharArray(image, int(size)).compare(ours, Qt::CaseInsensitive) == 0)
            ++running;
        if (process)
            CloseHandle(process);
    }
    CloseHandle(snapshot);
    return running;
}
#else
// Simulated phones this test started still running, orphans too: they inherit its mark (a program this test
// starts keeps it too). Others may run beside.
int simulatorsRunning() {
    const QByteArray ours = "TELVANE_STARTED_BY=" + qgetenv("TELVANE_STARTED_BY");
    const QString simulator = QCoreApplication::applicationDirPath() + u"/adb"_qs;
    int running = 0;
    for (const QString& pid : QDir(u"/proc"_qs).entryList({u"[0-9]*"_qs}, QDir::Dirs)) {
        QFile environment(u"/proc/"_qs + pid + u"/environ"_qs);
        if (QFileInfo(u"/proc/"_qs + pid + u"/exe"_qs).symLinkTarget() == simulator &&
            environment.open(QIODevice::ReadOnly) && environment.readAll().split('\0').contains(ours))
            ++running;
    }
    return running;
}
#endif

// Sends Esc once the operation has waited a while on its command, and says how long the rest took.
void escAfter(TForm13& form, int ms, QElapsedTimer& sinceEsc) {
    QTimer::singleShot(ms, &form, [&form, &sinceEsc] {
        sinceEsc.start();
        QTest::keyClick(form.RichEdit1, Qt::Key_Escape);
    });
}

// The output log on the screen, as last painted, is the log as it stands, drawn anew.
bool logShownAsItStands(TForm13& form) {
    QWidget* log = form.RichEdit1->viewport();
    const QPoint at = log->mapTo(&form, QPoint());
    const QPixmap shown = form.screen()->grabWindow(form.winId(), at.x(), at.y(), log->width(), log->height());
    return shown.toImage().convertToFormat(QImage::Format_RGB32) ==
           log->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void verifyCancelled(TForm13& form) {
    const auto last = testsupport::lineLook(form.RichEdit1, form.RichEdit1->lineCount() - 1);
    QCOMPARE(last.text, form.LangFR ? u"Opération annulée."_qs : u"Operation cancelled."_qs);
    QCOMPARE(last.color, QColor(0xFF0000));
    QCOMPARE(last.size, 10);
    QVERIFY(last.bold);
    QVERIFY(!form.findChild<QWidget*>(u"BusyBar"_qs));
    QTRY_COMPARE(simulatorsRunning(), 0); // a killed process may take a moment to leave the process table
}

} // namespace

class TestCancel : public QObject {
    Q_OBJECT

    testsupport::DialogRecorder dialogs;

private Q_SLOTS:
    void initTestCase() {
        if (!qEnvironmentVariableIsSet("TELVANE_STARTED_BY"))
            qputenv("TELVANE_STARTED_BY", QByteArray::number(QCoreApplication::applicationPid()));
    }

    void escCancelsEveryPanel_data() {
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("profile");
        QTest::newRow("connect") << u"PanelConnect"_qs << u"stuckconnect"_qs;
        QTest::newRow("CSV export, in its connection test") << u"PanelCSVExcel"_qs << u"stuckconnect"_qs;
        QTest::newRow("RAW dump") << u"PanelRawDump"_qs << u"stuck"_qs;
        QTest::newRow("df") << u"PanelDiskSpaceGlobal"_qs << u"stuck"_qs;
        QTest::newRow("du") << u"PanelDiskSpaceAppsMedia"_qs << u"stuck"_qs;
        QTest::newRow("photo and video counts") << u"PanelPhotoVideoNumber"_qs << u"stuck"_qs;
        QTest::newRow("apps list") << u"PanelGenerateAppsList"_qs << u"stuck"_qs;
    }
    void escCancelsEveryPanel() {
        QFETCH(QString, panel);
        QFETCH(QString, profile);
        testsupport::FreshHome home;
        // Files written before stay as they were.
        QVERIFY(QDir().mkpath(home.outputFolder()));
        QFile earlier(QDir(home.outputFolder()).filePath(u"DeviceInfoHW_Complete_Raw.txt"_qs));
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("--- BATTERY ---\r\n");
        earlier.close();
        testsupport::useProfile(profile);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QElapsedTimer sinceEsc;
        escAfter(form, 400, sinceEsc);
        click(form.findChild<Panel*>(panel));
        QVERIFY2(sinceEsc.elapsed() < 1000, QByteArray::number(sinceEsc.elapsed()).constData());
        verifyCancelled(form);
        QVERIFY(!form.RichEdit1->toPlainText().contains(u"No device found"_qs));
        QCOMPARE(testsupport::filesBelow(home.path()),
                 QStringList{u"Desktop/Telvane/DeviceInfoHW_Complete_Raw.txt"_qs});
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("--- BATTERY ---\r\n"));
        QVERIFY(dialogs.errors().isEmpty());
    }

    void commandsEndWithTheProgram_data() {
        QTest::addColumn<int>("signal");
#ifdef Q_OS_WIN
        QTest::newRow("ended as the task manager ends it") << 0;
#else
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGKILL})
            QTest::newRow(sigabbrev_np(signal)) << signal;
#endif
    }
    // The program is this test again, in a stuck command until the signal ends it.
    void commandsEndWithTheProgram() {
        QFETCH(int, signal);
        if (qEnvironmentVariableIsSet("TELVANE_STUCK_PROGRAM")) {
#ifndef Q_OS_WIN
            // A test run in the background may ignore them; the program started from a terminal does not.
            ::signal(SIGINT, SIG_DFL);
            ::signal(SIGHUP, SIG_DFL);
#endif
            TForm13 form(testsupport::quietUpdateServer());
            QStringList output;
            form.ExecuteADBCommand(catalogue::df(form.adbTarget(), true), output);
            return;
        }
        testsupport::useProfile(u"stuck"_qs);
        qputenv("TELVANE_STUCK_PROGRAM", "1");
        QProcess program;
        program.start(QCoreApplication::applicationFilePath(),
                      {u"-nocrashhandler"_qs, QString::fromLatin1(QTest::currentTestFunction())});
        qunsetenv("TELVANE_STUCK_PROGRAM");
        QTRY_VERIFY(simulatorsRunning() > 0);
#ifdef Q_OS_WIN
        Q_UNUSED(signal)
        program.kill();
#else
        ::kill(static_cast<pid_t>(program.processId()), signal);
#endif
        QVERIFY(program.waitForFinished());
        QTRY_COMPARE_WITH_TIMEOUT(simulatorsRunning(), 0, 1000);
    }

    void logIsPaintedAndTheBarShowsWhileACommandRuns() {
        testsupport::useProfile(u"slowphone"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        bool shownWhileRunning = false;
        bool laidOut = false;
        QString barText;
        QRect barPlace;
        QTimer::singleShot(900, &form, [&] {
            const QTextBlock progress = form.RichEdit1->document()->findBlockByNumber(2);
            laidOut = progress.text().startsWith(u"  -> Searching for Photos"_qs) &&
                      form.RichEdit1->document()->documentLayout()->blockBoundingRect(progress).height() > 0;
            if (const auto* bar = form.findChild<QWidget*>(u"BusyBar"_qs); bar && bar->isVisible()) {
                barPlace = bar->geometry();
                barText = bar->accessibleName();
            }
            shownWhileRunning = logShownAsItStands(form);
        });
        click(form.PanelPhotoVideoNumber);
        QVERIFY2(laidOut, "the progress line is laid out while the search runs");
        QVERIFY2(shownWhileRunning, "the screen shows the log as it stands while the search runs");
        QVERIFY2(barText.endsWith(u" received · Esc: cancel"_qs), qPrintable(barText));
        for (const QWidget* control : form.findChildren<QWidget*>())
            if (control->parentWidget() == &form && control->objectName() != u"Image321"_qs &&
                control->objectName() != u"BusyBar"_qs)
                QVERIFY2(!control->geometry().intersects(barPlace), qPrintable(control->objectName()));
        QVERIFY(!form.findChild<QWidget*>(u"BusyBar"_qs));
        QVERIFY(!form.RichEdit1->toPlainText().contains(u"Esc"_qs));
        QVERIFY(form.RichEdit1->lines().contains(u"Total Photos: 1234"_qs));
    }

    void otherInputWaitsAndACancelledOperationLeavesTheWindowUsable() {
        testsupport::useProfile(u"stuck"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        click(form.RadioButtonFR);
        QTimer::singleShot(300, &form, [&form] {
            click(form.PanelInstructions);
            click(form.RadioButtonEN);
            form.PanelClearEdit->setFocus();
            QTest::keyClick(form.PanelClearEdit, Qt::Key_Space);
            QTest::mouseDClick(form.RichEdit1->viewport(), Qt::LeftButton);
        });
        // A dialog shown meanwhile is a window of its own: it takes clicks.
        bool answered = false;
        QTimer::singleShot(400, &form, [&form, &answered] {
            QMessageBox box(QMessageBox::Critical, u"Telvane"_qs, u"Meanwhile"_qs, QMessageBox::Ok, &form);
            box.open();
            click(box.button(QMessageBox::Ok));
            answered = box.isHidden();
        });
        QElapsedTimer sinceEsc;
        escAfter(form, 600, sinceEsc);
        click(form.PanelPhotoVideoNumber);
        QVERIFY(answered);
        QVERIFY(form.LangFR);
        QCOMPARE(form.RichEdit1->line(0), u"--- Calcul du Nombre de Photos et Vidéos (Mode ROOT) ---"_qs);
        verifyCancelled(form);

        const QStringList before = form.RichEdit1->lines();
        QTest::keyClick(form.RichEdit1, Qt::Key_Escape);
        QCOMPARE(form.RichEdit1->lines(), before);
        testsupport::useProfile(u"modern"_qs);
        click(form.PanelPhotoVideoNumber);
        QVERIFY(form.RichEdit1->lines().contains(u"Total Photos: 1234"_qs));
    }

    void closingTheWindowOrQuittingTheApplicationCancels() {
        testsupport::useProfile(u"stuck"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTimer::singleShot(400, &form, [&form] { form.close(); });
        click(form.PanelDiskSpaceAppsMedia);
        QVERIFY(!form.isVisible());
        verifyCancelled(form);
        QTimer::singleShot(0, &form, [&form] { click(form.PanelDiskSpaceAppsMedia); });
        QTimer::singleShot(400, &form, [] { QCoreApplication::exit(); });
        QCoreApplication::exec();
        verifyCancelled(form);
    }
};

QTEST_MAIN(TestCancel)
#include "tst_cancel.moc"
