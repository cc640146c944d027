#include "testsupport.h"
#include "ui/panel.h"
#include "ui/textpane.h"
#include "update/update.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

using testsupport::click;
using testsupport::HttpStub;
using testsupport::lineLook;

namespace {

const QColor Fuchsia(0xFF00FF);
const QColor Green(0x008000);

bool noticeShown(const TForm13& form) {
    return !form.PanelUpdate->isHidden() && form.TimerUpdate->isActive();
}

bool noticeCleared(const TForm13& form) {
    return form.PanelUpdate->isHidden() && !form.TimerUpdate->isActive();
}

} // namespace

class TestUpdateNotice : public QObject {
    Q_OBJECT

    testsupport::DialogRecorder dialogs;
    QStringList instructions;

private Q_SLOTS:
    void initTestCase() {
        TForm13 form(testsupport::quietUpdateServer());
        instructions = form.RichEdit1->lines();
        QCOMPARE(instructions.size(), 6);
    }

    void init() {
        dialogs.clear();
        ServerVersion.clear();
    }

    void serverVersionDecidesTheNotice_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("notice");
        QTest::addColumn<QString>("shownVersion");
        QTest::newRow("2.0.16") << QByteArray("2.0.16") << true << u"2.0.16"_qs;
        QTest::newRow("2.0.15") << QByteArray("2.0.15") << false << QString();
        QTest::newRow("2.0.15 CR LF") << QByteArray("2.0.15\r\n") << false << QString();
        QTest::newRow("2.0.100") << QByteArray("2.0.100") << true << u"2.0.100"_qs;
        QTest::newRow("2.0.9") << QByteArray("2.0.9") << false << QString();
        QTest::newRow("empty") << QByteArray() << false << QString();
        QTest::newRow("2.0.16 with blanks and CR LF") << QByteArray(" 2.0.16\r\n") << true << u"2.0.16"_qs;
        QTest::newRow("html page") << QByteArray("<html><body>3.0</body></html>") << false << QString();
    }
    void serverVersionDecidesTheNotice() {
        QFETCH(QByteArray, body);
        QFETCH(bool, notice);
        QFETCH(QString, shownVersion);
        HttpStub stub;
        stub.setBody(body);
        TForm13 form(stub.server());

        QVERIFY(dialogs.shown().isEmpty());
        QCOMPARE(stub.requests().join().left(44), QByteArray("GET /Softwares/Telvane/Version.txt HTTP/1.1\r"));
        QCOMPARE(CurrentVersion, u"2.0.15"_qs);
        QCOMPARE(ServerVersion, QString::fromLatin1(body));
        QStringList log = instructions;
        if (notice)
            log << u"Version disponible sur le serveur : "_qs + shownVersion
                << u"Cliquez sur !!UPDATE!! pour effacer la notification."_qs;
        QCOMPARE(form.RichEdit1->lines(), log);
        QCOMPARE(noticeShown(form), notice);
        QCOMPARE(noticeCleared(form), !notice);
        if (!notice)
            return;
        const auto first = lineLook(form.RichEdit1, 6);
        QCOMPARE(first.color, QColor(0x800000));
        QCOMPARE(first.size, 10);
        QVERIFY(first.bold);
        const auto second = lineLook(form.RichEdit1, 7);
        QCOMPARE(second.color, QColor(0x808080));
        QCOMPARE(second.size, 9);
        QVERIFY(!second.bold);
        QCOMPARE(form.PanelUpdate->caption(), u"!!UPDATE!!"_qs);
        QCOMPARE(form.PanelUpdate->color(), Fuchsia);
        QCOMPARE(form.TimerUpdate->interval(), 2000);
    }

    void noticeBlinksUntilClicked() {
        HttpStub stub;
        stub.setBody("2.0.16");
        TForm13 form(stub.server());
        form.show();
        QVERIFY(form.PanelUpdate->isVisible());
        QSignalSpy ticks(form.TimerUpdate, &QTimer::timeout);
        QVERIFY(ticks.wait(3000));
        QCOMPARE(form.PanelUpdate->color(), Green);
        form.TimerUpdateTimer();
        QCOMPARE(form.PanelUpdate->color(), Fuchsia);
        form.TimerUpdateTimer();
        QCOMPARE(form.PanelUpdate->color(), Green);

        click(form.PanelUpdate);
        QVERIFY(noticeCleared(form));
        QVERIFY(!form.PanelUpdate->isVisible());
        QCOMPARE(form.RichEdit1->lineCount(), 8);
        ticks.clear();
        QTest::qWait(2300);
        QCOMPARE(ticks.size(), 0);
        QVERIFY(form.PanelUpdate->isHidden());
        QCOMPARE(form.PanelUpdate->color(), Green);
        QVERIFY(dialogs.shown().isEmpty());
    }

    void languageAndClearedLogLeaveTheNotice() {
        HttpStub stub;
        stub.setBody("2.0.16");
        TForm13 form(stub.server());
        form.show();
        click(form.RadioButtonFR);
        QVERIFY(form.LangFR);
        QVERIFY(noticeShown(form));
        click(form.PanelClearEdit);
        QCOMPARE(form.RichEdit1->lineCount(), 0);
        QVERIFY(noticeShown(form));
        click(form.RadioButtonEN);
        QVERIFY(noticeShown(form));
        QCOMPARE(form.PanelUpdate->color(), Fuchsia);
        QCOMPARE(form.PanelUpdate->caption(), u"!!UPDATE!!"_qs);
        QCOMPARE(stub.requests().join().count("GET "), 1);
    }

    void failedFetchIsReportedAndTheWindowOpens_data() {
        QTest::addColumn<QByteArray>("response");
        QTest::addColumn<QString>("error");
        QTest::newRow("404") << QByteArray("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
                             << u"Update check: %1 answered HTTP 404 Not Found."_qs;
        QTest::newRow("301") << QByteArray("HTTP/1.1 301 Moved Permanently\r\nLocation: http://elsewhere.example/\r\n"
                                           "Content-Length: 0\r\nConnection: close\r\n\r\n")
                             << u"Update check: %1 answered HTTP 301 Moved Permanently, a redirection to "
                                "\"http://elsewhere.example/\" that is not followed."_qs;
        QTest::newRow("1 MB body") << QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1048576\r\n\r\n") +
                                          QByteArray(1 << 20, '9')
                                   << u"Update check: the answer of %1 is longer than 65536 bytes."_qs;
    }
    void failedFetchIsReportedAndTheWindowOpens() {
        QFETCH(QByteArray, response);
        QFETCH(QString, error);
        HttpStub stub;
        stub.setResponse(response);
        TForm13 form(stub.server());
        expectFailedStart(form, error.arg(u"http://127.0.0.1:%1/Softwares/Telvane/Version.txt"_qs.arg(stub.port())));
    }

    void refusedConnectionIsReported() {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const UpdateServer server{u"127.0.0.1"_qs, closed.serverPort()};
        closed.close();
        TForm13 form(server);
        expectFailedStart(form, u"Update check: cannot get http://127.0.0.1:%1/Softwares/Telvane/Version.txt: "
                                "Connection refused."_qs.arg(server.port));
    }

    void serverTextInTheErrorBoxIsPlainAndCapped() {
        HttpStub stub;
        stub.setResponse("HTTP/1.1 302 " + QByteArray(2048, 'r') +
                         "\r\nLocation: <a href=\"http://example.invalid/x\">Download</a>\r\n"
                         "Content-Length: 0\r\nConnection: close\r\n\r\n");
        Qt::TextFormat format = Qt::RichText;
        QString text;
        testsupport::onNextModal([&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            QVERIFY(box);
            format = box->textFormat();
            text = box->text();
            box->done(QMessageBox::Ok);
        });
        dialogs.setEnabled(false);
        TForm13 form(stub.server());
        dialogs.setEnabled(true);
        QCOMPARE(format, Qt::PlainText);
        QVERIFY2(text.contains(u"<a href=\"http://example.invalid/x\">Download</a>"_qs), qPrintable(text));
        QVERIFY2(text.contains(QString(300, u'r') + u"…"_qs) && !text.contains(QString(301, u'r')), qPrintable(text));
    }

    void silentServerHoldsStartUpTenSeconds() {
        HttpStub stub;
        stub.setResponse({});
        QElapsedTimer clock;
        clock.start();
        TForm13 form(stub.server());
        const qint64 waited = clock.elapsed();
        QVERIFY2(waited >= 9800 && waited < 12500, QByteArray::number(waited).constData());
        expectFailedStart(form, u"Update check: no complete answer from http://127.0.0.1:%1/Softwares/Telvane/"
                                "Version.txt within 10 seconds."_qs.arg(stub.port()));
    }

private:
    void expectFailedStart(TForm13& form, const QString& error) {
        QCOMPARE(dialogs.errors(), QStringList{error});
        QCOMPARE(dialogs.shown().first().title, u"Telvane"_qs);
        QCOMPARE(form.RichEdit1->lines(), instructions);
        QVERIFY(noticeCleared(form));
        QVERIFY(ServerVersion.isEmpty());
        QCOMPARE(form.PanelConnect->caption(), u"Connect Device (ADB)"_qs);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QVERIFY(!form.PanelUpdate->isVisible());
    }
};

QTEST_MAIN(TestUpdateNotice)
#include "tst_updatenotice.moc"
