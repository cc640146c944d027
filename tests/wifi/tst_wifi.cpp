#include "app/windowhost.h"
#include "base/strlist.h"
#include "testsupport.h"
#include "ui/panel.h"
#include "ui/textpane.h"
#include "wifi/wireless.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

// What a reader made of an answer, in one line: the file's first word names the reader.
QString readWith(const QString& reader, const QStringList& lines) {
    if (reader == u"route")
        return wifi::wlanAddress(lines);
    if (reader != u"services") {
        const wifi::Answer answer = reader == u"connect" ? wifi::readConnect(lines)
                                    : reader == u"pair"  ? wifi::readPair(lines)
                                                         : wifi::readMdnsCheck(lines);
        return (answer.ok ? u"ok: "_qs : u"no: "_qs) + answer.line + u" guid="_qs + wifi::pairedGuid(answer.line);
    }
    QString read = wifi::readServices(lines).complaint;
    for (const wifi::Service& service : wifi::readServices(lines).services)
        read += u';' + service.name + u'|' + service.type + u'|' + service.address;
    return read;
}

} // namespace

class TestWifi : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readingAdbsAnswers_data() {
        QTest::addColumn<QString>("read"); // from the file the row is named after
        QTest::newRow("connect-10061-chinese.txt")
            << u"no: cannot connect to 192.168.8.135:38909: 由于目标计算 机积极拒绝，无法连接。 (10061) guid="_qs;
        QTest::newRow("pair-success-prompt.txt")
            << u"ok: Successfully paired to 192.168.8.135:38909 [guid=adb-TLV5CR41HF0-yuBSAR] guid=adb-TLV5CR41HF0-yuBSAR"_qs;
        QTest::newRow("pair-protocol-fault.txt")
            << u"no: error: protocol fault (couldn't read status message) guid="_qs;
        QTest::newRow("check-unavailable.txt") << u"no: ERROR: mdns daemon unavailable guid="_qs;
        QTest::newRow("route-wlan.txt") << u"192.168.1.20"_qs;
        QTest::newRow("route-addr.txt") << u"192.168.1.20"_qs;
        QTest::newRow("services-hand-aligned.txt")
            << u";adb-TLV14141FDF60|_adb._tcp|192.168.86.38:5555;adb-TLV14141FDF60-QXjCrW|_adb-tls-pairing._tcp|192.168"
               ".86.38:33861;adb-TLV14141FDF60-TnSdi9|_adb-tls-connect._tcp|192.168.86.38:33015;studio-g@<xeYnap/|_adb-"
               "tls-pairing._tcp|192.168.86.39:55861"_qs;
        QTest::newRow("services-suffix-tab.txt")
            << u";adb-TLVc253b76-pgzbCA (2)|_adb-tls-connect._tcp|192.168.127.151:37977;adb-"
               "TLVc253b76-pgzbCA|_adb-tls-connect._tcp|192.168.127.151:39311"_qs;
        QTest::newRow("services-no-server.txt") << u"error: cannot connect to daemon"_qs;
        QTest::newRow("services-odd.txt") << u";telvane-abc123|_adb-tls-pairing._tcp|192.168.1.20:37099"_qs;
    }
    void readingAdbsAnswers() {
        QFETCH(QString, read);
        const QString file = QString::fromLatin1(QTest::currentDataTag());
        const QStringList lines = strlist::fromText(QString::fromUtf8(testsupport::dataBytes(u"wifi/"_qs + file)));
        QCOMPARE(readWith(file.section(u'-', 0, 0), lines), read);
    }

    // The real dialog: the phone scans the QR code on the screen, and the pairing gets that name and password;
    // then Esc stops a wait and leaves the dialog usable.
    void qrPairingInTheWindow() {
#ifdef Q_OS_WIN
        QSKIP("zbarimg does not run under Wine");
#endif
        testsupport::DialogRecorder dialogs;
        const testsupport::SimLog log;
        testsupport::useProfile(u"wireless"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QString scanned;
        testsupport::onNextModal([&](QWidget* dialog) {
            auto* start = dialog->findChild<QPushButton*>(u"WifiQrStart"_qs);
            QTimer phone;
            QObject::connect(&phone, &QTimer::timeout, [&] {
                if (scanned.isEmpty() && !dialog->findChild<QLabel*>(u"WifiQrImage"_qs)->pixmap().isNull())
                    log.put(u"scanned"_qs, scanned = testsupport::decodeQr(dialog->grab().toImage()));
            });
            phone.start(100);
            testsupport::click(start);
            QTimer::singleShot(1500, dialog, [dialog] { QTest::keyClick(dialog, Qt::Key_Escape); });
            testsupport::click(start);
            QVERIFY(start->isEnabled() && dialog->isVisible());
            dialog->close();
        });
        testsupport::click(form.PanelWifi);
        const QString password = scanned.section(u";P:"_qs, 1).section(u';', 0, 0);
        QVERIFY2(scanned.startsWith(u"WIFI:T:ADB;S:telvane-"_qs) && password.size() == 16, qPrintable(scanned));
        QVERIFY(log.commands().contains(u"pair 192.168.1.20:37099 "_qs + password));
        const QStringList lines = form.RichEdit1->lines();
        QVERIFY(lines.contains(u"Connected over Wi-Fi: Pixel 8 Pro (192.168.1.20:41235) ✔"_qs));
        QCOMPARE(lines.last(), u"Operation cancelled."_qs);
    }

    void phoneThatNeverOffersPairing() {
        const testsupport::SimLog log;
        testsupport::useProfile(u"wireless"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        WindowHost host(form);
        QVERIFY(!wifi::PairWithQrCode(
            host, wifi::newQrPairing(), [] {}, std::chrono::seconds(2)));
        QVERIFY(form.RichEdit1->lines().last().startsWith(u"The phone did not offer pairing within 2 minutes"_qs));
    }
};

QTEST_MAIN(TestWifi)
#include "tst_wifi.moc"
