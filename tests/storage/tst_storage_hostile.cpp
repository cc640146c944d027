#include "app/windowhost.h"
#include "base/strlist.h"
#include "storage/dftable.h"
#include "storage/duspace.h"
#include "storage/mediacount.h"
#include "storage/parsing.h"
#include "storage/sizes.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTest>

#include <limits>

// Whatever a phone prints goes through every parser without a crash, a hang or undefined behaviour
// (this test is meant for the sanitizer build too), and the results keep their shape.
class TestHostile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyParserCopes_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("100000 nines") << QString(100000, u'9');
        QTest::newRow("100000 nines and a unit") << QString(100000, u'9') + u'T';
        QTest::newRow("100000 digits of fraction") << u"0."_qs + QString(100000, u'0') + u"1P"_qs;
        QTest::newRow("nan") << u"nan"_qs;
        QTest::newRow("NaN K") << u"NaN K"_qs;
        QTest::newRow("inf") << u"-inf"_qs;
        QTest::newRow("1e400") << u"1e400"_qs;
        QTest::newRow("1e-400G") << u"1e-400G"_qs;
        QTest::newRow("hex float") << u"0x1p1023"_qs;
        QTest::newRow("smallest with a unit") << u"-9223372036854775808K"_qs;
        QTest::newRow("2^64") << u"18446744073709551616"_qs;
        QTest::newRow("signs and points only") << u"- + . , -. +,"_qs;
        QTest::newRow("lone quote") << u"\""_qs;
        QTest::newRow("three quotes") << u"\"\"\""_qs;
        QTest::newRow("open quote over the fields") << u"a \"b c d e f /g"_qs;
        QTest::newRow("100000 quotes") << QString(100000, u'"');
        QTest::newRow("tabs only") << u"\t\t\t"_qs;
        QTest::newRow("tab separated") << u"1\t2\t3\t4\t5 /x"_qs;
        QTest::newRow("control characters") << u"\x01\x02 \x1f/\x7f 1 2 3 4"_qs;
        QTest::newRow("lone surrogates") << QString(QChar(0xD800)) + u" 1 2 3 "_qs + QChar(0xDC00) + u" /"_qs;
        QTest::newRow("emoji fields") << u"\U0001F600 \U0001F600 \U0001F600 \U0001F600 \U0001F600"_qs;
        QTest::newRow("mixed line breaks") << u"a\rb\r\nc\n\n1 2 3 4 5\r"_qs;
        QTest::newRow("a million characters without a blank") << QString(1000000, u'x');
        QTest::newRow("a million blanks") << QString(1000000, u' ');
        QString manyRows;
        for (int i = 0; i < 100000; ++i)
            manyRows += u"/dev/block/loop"_qs + QString::number(i) + u" 1.5G 0 1.5G 4096\n"_qs;
        QTest::newRow("100000 df rows") << manyRows;
        QString manyComplaints;
        for (int i = 0; i < 100000; ++i)
            manyComplaints += u"du: /data/app/"_qs + QString::number(i) + u": Permission denied\r\n"_qs;
        QTest::newRow("100000 du complaints") << manyComplaints;
        QTest::newRow("100000 empty lines") << QString(100000, u'\n');
    }
    void everyParserCopes() {
        QFETCH(QString, text);
        const QStringList lines = strlist::fromText(text);
        static const QRegularExpression formatted(u"^(0 o|-?[0-9]+\\.[0-9] (o|Ko|Mo|Go|To|Po))$"_qs);

        const qint64 bytes = ConvertSizeToBytes(text);
        QVERIFY(formatted.match(FormatBytes(bytes, false)).hasMatch());
        for (const QString& line : lines)
            QVERIFY(formatted.match(FormatBytes(ConvertSizeToBytes(line), false)).hasMatch());

        QString normalized = text;
        NormalizeSpaces(normalized);
        QVERIFY(!normalized.contains(u"  "_qs));
        QVERIFY(!storage::splitTokens(text, storage::Separators::Blank).contains(u" "_qs));
        storage::splitTokens(text, storage::Separators::BlankOrControl);

        const QStringList table = storage::dfTableLines(lines);
        QVERIFY(table.size() >= 2);
        for (const QString& line : table)
            QCOMPARE(line.size(), table.first().size());

        QString sizeStr;
        if (storage::findDuSize(lines, sizeStr))
            QVERIFY(!sizeStr.contains(u'/'));

        const storage::CountReading reading = storage::readCount(lines);
        if (reading.kind == storage::CountReading::Kind::ParseError)
            QVERIFY(reading.count >= 0);
    }

    void showDFOutputTakesAHundredThousandRows() {
        QStringList lines;
        for (int i = 0; i < 100000; ++i)
            lines.append(u"/dev/block/dm-"_qs + QString::number(i) + u"  5.7G 5.6G 67M 99% /mnt/"_qs +
                         QString::number(i));
        TextPane pane;
        ShowDFOutput(lines, &pane);
        QCOMPARE(pane.lineCount(), 100002);
    }

    void formatBytesOverTheWholeRange() {
        static const QRegularExpression formatted(u"^-?[0-9]+[.,][0-9] (o|Ko|Mo|Go|To|Po)$"_qs);
        for (int bit = 0; bit < 63; ++bit) {
            const qint64 power = qint64(1) << bit;
            for (const qint64 bytes : {power - 1, power, power + 1, -power, -power - 1}) {
                if (bytes == 0)
                    continue;
                QVERIFY2(formatted.match(FormatBytes(bytes, bit % 2 == 0)).hasMatch(),
                         qPrintable(QString::number(bytes)));
            }
        }
        QCOMPARE(FormatBytes(std::numeric_limits<qint64>::max(), false), u"8192.0 Po"_qs);
    }
};

QTEST_MAIN(TestHostile)
#include "tst_storage_hostile.moc"
