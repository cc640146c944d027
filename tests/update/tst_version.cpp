#include "update/httpclient.h"
#include "update/update.h"

#include <QTest>

class TestVersion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void comparesPartsAsNumbers_data() {
        QTest::addColumn<QString>("latest");
        QTest::addColumn<QString>("current");
        QTest::addColumn<bool>("newer");
        QTest::newRow("same version") << u"2.0.15"_qs << u"2.0.15"_qs << false;
        QTest::newRow("next patch") << u"2.0.16"_qs << u"2.0.15"_qs << true;
        QTest::newRow("older patch") << u"2.0.14"_qs << u"2.0.15"_qs << false;
        QTest::newRow("9 is below 15") << u"2.0.9"_qs << u"2.0.15"_qs << false;
        QTest::newRow("100 is above 15") << u"2.0.100"_qs << u"2.0.15"_qs << true;
        QTest::newRow("minor beats patch") << u"2.1.0"_qs << u"2.0.99"_qs << true;
        QTest::newRow("major beats all") << u"10.0"_qs << u"9.99.99"_qs << true;
        QTest::newRow("CR LF after the number") << u"2.0.15\r\n"_qs << u"2.0.15"_qs << false;
        QTest::newRow("blanks and tabs around") << u" \t2.0.16 \n"_qs << u"2.0.15"_qs << true;
        QTest::newRow("missing part is 0") << u"2.0"_qs << u"2.0.0"_qs << false;
        QTest::newRow("extra zero part") << u"2.0.15.0"_qs << u"2.0.15"_qs << false;
        QTest::newRow("extra part") << u"2.0.15.1"_qs << u"2.0.15"_qs << true;
        QTest::newRow("leading zeros") << u"2.0.015"_qs << u"2.0.15"_qs << false;
        QTest::newRow("longer than 64 bits") << u"2.0.123456789012345678901234567890"_qs << u"2.0.15"_qs << true;
        QTest::newRow("text part after the same number") << u"2.0.15b"_qs << u"2.0.15"_qs << true;
        QTest::newRow("text part compares as text") << u"2.0.9b"_qs << u"2.0.15"_qs << true;
        QTest::newRow("empty") << QString() << u"2.0.15"_qs << false;
        QTest::newRow("html page") << u"<html><body>9.9.9</body></html>"_qs << u"2.0.15"_qs << false;
        QTest::newRow("words before the number") << u"Version 3.0"_qs << u"2.0.15"_qs << false;
        QTest::newRow("empty part") << u"3..0"_qs << u"2.0.15"_qs << false;
        QTest::newRow("non-ASCII digits") << u"٣.0"_qs << u"2.0.15"_qs << false;
    }
    void comparesPartsAsNumbers() {
        QFETCH(QString, latest);
        QFETCH(QString, current);
        QFETCH(bool, newer);
        QCOMPARE(update::isNewerVersion(latest, current), newer);
    }

    void decodesByDeclaredCharset_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("contentType");
        QTest::addColumn<QString>("text");
        QTest::newRow("ISO-8859-1 declared")
            << QByteArray("2.0.16 \xE9t\xE9") << QByteArray("text/plain; charset=ISO-8859-1") << u"2.0.16 été"_qs;
        QTest::newRow("UTF-8 declared") << QByteArray("2.0.16 \xC3\xA9t\xC3\xA9")
                                        << QByteArray("text/plain; charset=utf-8") << u"2.0.16 été"_qs;
        QTest::newRow("quoted, upper case, blanks")
            << QByteArray("\xC3\xA9") << QByteArray("text/plain; format=flowed;  CHARSET = \"UTF-8\" ") << u"é"_qs;
        QTest::newRow("text without charset is ISO-8859-1")
            << QByteArray("\xC3\xA9") << QByteArray("text/plain") << u"Ã©"_qs;
        QTest::newRow("unknown charset is ISO-8859-1")
            << QByteArray("\xE9") << QByteArray("text/plain; charset=x-no-such-set") << u"é"_qs;
        QTest::newRow("UTF-8 byte-order mark is skipped") << QByteArray("\xEF\xBB\xBF"
                                                                        "2.0.16")
                                                          << QByteArray("text/plain; charset=utf-8") << u"2.0.16"_qs;
        QTest::newRow("invalid UTF-8 becomes a replacement character")
            << QByteArray("2.0\xFF") << QByteArray("text/plain; charset=utf-8") << u"2.0\uFFFD"_qs;
    }
    void decodesByDeclaredCharset() {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, contentType);
        QFETCH(QString, text);
        QCOMPARE(update::decodeBody(body, contentType), text);
    }
};

QTEST_APPLESS_MAIN(TestVersion)
#include "tst_version.moc"
