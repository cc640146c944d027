#include "storage/sizes.h"

#include <QTest>

#include <limits>

namespace {

constexpr qint64 Largest = std::numeric_limits<qint64>::max();
constexpr qint64 Smallest = std::numeric_limits<qint64>::min();
constexpr qint64 KiB = 1024;
constexpr qint64 PiB = KiB * KiB * KiB * KiB * KiB;

} // namespace

class TestSizes : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void convertSizeToBytes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("bytes");
        // The worked examples.
        QTest::newRow("0") << u"0"_qs << qint64(0);
        QTest::newRow("512") << u"512"_qs << qint64(512);
        QTest::newRow("512B") << u"512B"_qs << qint64(512);
        QTest::newRow("4.0K") << u"4.0K"_qs << qint64(4096);
        QTest::newRow("512K") << u"512K"_qs << qint64(524288);
        QTest::newRow("16k with blanks around") << u" 16k "_qs << qint64(16384);
        QTest::newRow("12M") << u"12M"_qs << qint64(12582912);
        QTest::newRow("8.0M") << u"8.0M"_qs << qint64(8388608);
        QTest::newRow("1.5G") << u"1.5G"_qs << qint64(1610612736);
        QTest::newRow("comma as decimal point") << u"1,5G"_qs << qint64(1610612736);
        QTest::newRow("blank before the unit") << u"1.5 G"_qs << qint64(1610612736);
        QTest::newRow("2.3T truncated") << u"2.3T"_qs << qint64(2528876743884);
        QTest::newRow("0.5P") << u"0.5P"_qs << qint64(562949953421312);
        QTest::newRow("-1K") << u"-1K"_qs << qint64(-1024);
        QTest::newRow("empty") << QString() << qint64(0);
        QTest::newRow("blanks only") << u"   "_qs << qint64(0);
        QTest::newRow("K alone") << u"K"_qs << qint64(0);
        QTest::newRow("B alone") << u"B"_qs << qint64(0);
        QTest::newRow("du:") << u"du:"_qs << qint64(0);
        QTest::newRow("abc") << u"abc"_qs << qint64(0);
        QTest::newRow("12X leading digits") << u"12X"_qs << qint64(12);
        QTest::newRow("1.5KB leading digits") << u"1.5KB"_qs << qint64(1);
        // Further cases a device can print.
        QTest::newRow("lower-case b") << u"512b"_qs << qint64(512);
        QTest::newRow("tab and CR around") << u"\t4.0K\r"_qs << qint64(4096);
        QTest::newRow("plus sign") << u"+2K"_qs << qint64(2048);
        QTest::newRow("fraction of a byte truncated") << u"1.9"_qs << qint64(1);
        QTest::newRow("negative fraction toward zero") << u"-1.9"_qs << qint64(-1);
        QTest::newRow("negative leading digits") << u"-12X"_qs << qint64(-12);
        QTest::newRow("fraction without whole part") << u".5K"_qs << qint64(512);
        QTest::newRow("point without fraction") << u"2.K"_qs << qint64(2048);
        QTest::newRow("two points") << u"1.2.3K"_qs << qint64(0);
        QTest::newRow("path instead of a size") << u"/data/app"_qs << qint64(0);
        QTest::newRow("blank inside a byte count") << u"512 B"_qs << qint64(512);
        // Beyond 64 bits the count stops at the range's ends.
        QTest::newRow("largest byte count") << u"9223372036854775807"_qs << Largest;
        QTest::newRow("smallest byte count") << u"-9223372036854775808"_qs << Smallest;
        QTest::newRow("one past the largest") << u"9223372036854775808"_qs << Largest;
        QTest::newRow("one past the smallest") << u"-9223372036854775809"_qs << Smallest;
        QTest::newRow("8192P is 2^63") << u"8192P"_qs << Largest;
        QTest::newRow("-8192P is -2^63") << u"-8192P"_qs << Smallest;
        QTest::newRow("8191.5P fits") << u"8191.5P"_qs << 8191 * PiB + PiB / 2;
        QTest::newRow("huge K") << u"99999999999999999999K"_qs << Largest;
        QTest::newRow("huge negative K") << u"-99999999999999999999K"_qs << Smallest;
        QTest::newRow("huge leading digits") << u"99999999999999999999X"_qs << Largest;
        QTest::newRow("huge negative leading digits") << u"-99999999999999999999X"_qs << Smallest;
        QTest::newRow("400 digits") << QString(400, u'9') << Largest;
        QTest::newRow("400 digits G") << QString(400, u'9') + u'G' << Largest;
        QTest::newRow("tiny fraction") << u"0."_qs + QString(400, u'0') + u"1K"_qs << qint64(0);
        // No exponents, no nan or inf: only the leading digits count, or nothing.
        QTest::newRow("1e400") << u"1e400"_qs << qint64(1);
        QTest::newRow("1e400K") << u"1e400K"_qs << qint64(0);
        QTest::newRow("nan") << u"nan"_qs << qint64(0);
        QTest::newRow("inf") << u"inf"_qs << qint64(0);
        QTest::newRow("-infK") << u"-infK"_qs << qint64(0);
        QTest::newRow("Arabic-Indic digits") << u"\u0661\u0662K"_qs << qint64(0);
    }
    void convertSizeToBytes() {
        QFETCH(QString, text);
        QFETCH(qint64, bytes);
        QCOMPARE(ConvertSizeToBytes(text), bytes);
    }

    void formatBytes_data() {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("english");
        // The worked examples.
        QTest::newRow("0") << qint64(0) << u"0 o"_qs;
        QTest::newRow("1") << qint64(1) << u"1.0 o"_qs;
        QTest::newRow("1023") << qint64(1023) << u"1023.0 o"_qs;
        QTest::newRow("1024") << qint64(1024) << u"1.0 Ko"_qs;
        QTest::newRow("1280 rounds half up") << qint64(1280) << u"1.3 Ko"_qs;
        QTest::newRow("1536") << qint64(1536) << u"1.5 Ko"_qs;
        QTest::newRow("1048575 keeps Ko") << qint64(1048575) << u"1024.0 Ko"_qs;
        QTest::newRow("1048576") << qint64(1048576) << u"1.0 Mo"_qs;
        QTest::newRow("1000000000") << qint64(1000000000) << u"953.7 Mo"_qs;
        QTest::newRow("1610612736") << qint64(1610612736) << u"1.5 Go"_qs;
        QTest::newRow("1000000000000") << qint64(1000000000000) << u"931.3 Go"_qs;
        QTest::newRow("1024^5") << PiB << u"1.0 Po"_qs;
        QTest::newRow("1024^6 stays in Po") << PiB * KiB << u"1024.0 Po"_qs;
        QTest::newRow("2^63-1") << Largest << u"8192.0 Po"_qs;
        // Halves go away from zero, where rounding to even would not.
        QTest::newRow("2.25 Ko") << qint64(2304) << u"2.3 Ko"_qs;
        QTest::newRow("6.25 Ko") << qint64(6400) << u"6.3 Ko"_qs;
        QTest::newRow("just under a half") << qint64(1279) << u"1.2 Ko"_qs;
        QTest::newRow("carry into the whole part") << qint64(10208) << u"10.0 Ko"_qs;
        QTest::newRow("carry into a new digit") << qint64(1023 * 1024 + 1000) << u"1024.0 Ko"_qs;
        QTest::newRow("negative stays in bytes") << qint64(-1536) << u"-1536.0 o"_qs;
        QTest::newRow("smallest, to 18 significant digits") << Smallest << u"-9223372036854775810.0 o"_qs;
    }
    void formatBytes() {
        QFETCH(qint64, bytes);
        QFETCH(QString, english);
        QCOMPARE(FormatBytes(bytes, false), english);
        QString french = english;
        french.replace(u'.', u',');
        QCOMPARE(FormatBytes(bytes, true), french);
    }

    void suffixesAreTheOctetUnits() {
        QCOMPARE(Suffixes.size(), size_t(6));
        const QStringList expected{u"o"_qs, u"Ko"_qs, u"Mo"_qs, u"Go"_qs, u"To"_qs, u"Po"_qs};
        for (size_t i = 0; i < Suffixes.size(); ++i)
            QCOMPARE(Suffixes[i].toString(), expected[static_cast<qsizetype>(i)]);
    }

    void addSaturated_data() {
        QTest::addColumn<qint64>("a");
        QTest::addColumn<qint64>("b");
        QTest::addColumn<qint64>("sum");
        QTest::newRow("plain") << qint64(1610612736) << qint64(1086849024) << qint64(2697461760);
        QTest::newRow("up to the largest") << Largest - 1 << qint64(1) << Largest;
        QTest::newRow("past the largest") << Largest << qint64(1) << Largest;
        QTest::newRow("two halves past") << Largest / 2 + 1 << Largest / 2 + 1 << Largest;
        QTest::newRow("past the smallest") << Smallest << qint64(-1) << Smallest;
        QTest::newRow("mixed signs never overflow") << Largest << Smallest << qint64(-1);
    }
    void addSaturated() {
        QFETCH(qint64, a);
        QFETCH(qint64, b);
        QFETCH(qint64, sum);
        QCOMPARE(storage::addSaturated(a, b), sum);
    }
};

QTEST_GUILESS_MAIN(TestSizes)
#include "tst_storage_sizes.moc"
