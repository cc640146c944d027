#include "app/windowhost.h"
#include "base/strlist.h"
#include "logcheck.h"
#include "storage/dftable.h"
#include "storage/parsing.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QRadioButton>
#include <QTest>

using testsupport::click;

namespace {

const QString Hint = u"Look for the line ending with /storage/emulated/0 (Internal Storage)"_qs;
const QString RawNote = u"Note: Raw format was used (Legacy OS Compatibility Mode). Sizes are in **kilobytes (KB)** or "
                        u"blocks by default."_qs;

const QStringList WorkedExample{
    u"Filesystem               Size     Used     Free   Blksize"_qs,
    u"/dev                   915.9M   128.0K   915.8M   4096"_qs,
    u"/system                  1.5G     1.1G   346.4M   4096"_qs,
    u"/mnt/secure: Permission denied"_qs,
    u"/storage/emulated/0     25.0G     3.2G    21.8G   4096"_qs,
};
const QStringList WorkedTable{
    u"Filesystem           |  Size|  Used|  Free|Blksize"_qs, u"---------------------+------+------+------+-------"_qs,
    u"Filesystem           |  Size|  Used|  Free|Blksize"_qs, u"/dev                 |915.9M|128.0K|915.8M|   4096"_qs,
    u"/system              |  1.5G|  1.1G|346.4M|   4096"_qs, u"/storage/emulated/0  | 25.0G|  3.2G| 21.8G|   4096"_qs,
};
const QStringList EmptyTable{u"Filesystem  |Size|Used|Free|Blksize"_qs, u"------------+----+----+----+-------"_qs};

QList<Look> tableLooks(const TextPane* pane, const QStringList& table) {
    QList<Look> looks;
    for (const QString& line : table)
        looks.append({line, pane->defaultColor().rgb(), 10, false});
    return looks;
}

} // namespace

class TestDfTable : public QObject {
    Q_OBJECT

    testsupport::DialogRecorder dialogs;

private Q_SLOTS:
    void normalizeSpaces_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("normalized");
        QTest::newRow("runs of blanks") << u"  a   b    c  "_qs << u"a b c"_qs;
        QTest::newRow("control characters at the ends") << u"\t\r a b\r\n"_qs << u"a b"_qs;
        QTest::newRow("tabs inside stay") << u"a\t\tb  c"_qs << u"a\t\tb c"_qs;
        QTest::newRow("blanks around a tab") << u"a  \t  b"_qs << u"a \t b"_qs;
        QTest::newRow("blanks only") << u"     "_qs << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void normalizeSpaces() {
        QFETCH(QString, text);
        QFETCH(QString, normalized);
        NormalizeSpaces(text);
        QCOMPARE(text, normalized);
    }

    void adjust_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("right");
        QTest::newRow("padded") << u"ab"_qs << 5 << u"ab   "_qs << u"   ab"_qs;
        QTest::newRow("exact width") << u"abc"_qs << 3 << u"abc"_qs << u"abc"_qs;
        QTest::newRow("cut") << u"abcdef"_qs << 4 << u"abcd"_qs << u"cdef"_qs;
        QTest::newRow("empty text") << QString() << 2 << u"  "_qs << u"  "_qs;
        QTest::newRow("zero width") << u"abc"_qs << 0 << QString() << QString();
    }
    void adjust() {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, left);
        QFETCH(QString, right);
        QCOMPARE(AdjustLeft(text, width), left);
        QCOMPARE(AdjustRight(text, width), right);
    }

    void splitTokens_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("blankOnly");
        QTest::addColumn<QStringList>("tokens");
        QTest::newRow("tab is no separator in df") << u"a\tb c"_qs << true << QStringList{u"a\tb"_qs, u"c"_qs};
        QTest::newRow("tab separates in du")
            << u"4.0K\t/data/app"_qs << false << QStringList{u"4.0K"_qs, u"/data/app"_qs};
        QTest::newRow("runs of control characters") << u" x \r\t y\r"_qs << false << QStringList{u"x"_qs, u"y"_qs};
        QTest::newRow("quoted token keeps blanks")
            << u"\"My Disk\" 1 2"_qs << true << QStringList{u"My Disk"_qs, u"1"_qs, u"2"_qs};
        QTest::newRow("doubled quote stands for one") << u"\"a\"\"b\" c"_qs << true << QStringList{u"a\"b"_qs, u"c"_qs};
        QTest::newRow("empty quoted token") << u"\"\" a"_qs << true << QStringList{QString(), u"a"_qs};
        QTest::newRow("lone quote runs to the end") << u"a \"b c"_qs << true << QStringList{u"a"_qs, u"b c"_qs};
        QTest::newRow("lone quote at the end") << u"a \""_qs << true << QStringList{u"a"_qs, QString()};
        QTest::newRow("text after the closing quote")
            << u"\"a\"b c"_qs << true << QStringList{u"a"_qs, u"b"_qs, u"c"_qs};
        QTest::newRow("quote inside a token is kept") << u"ab\"cd e"_qs << true << QStringList{u"ab\"cd"_qs, u"e"_qs};
        QTest::newRow("nothing") << u"   "_qs << true << QStringList();
    }
    void splitTokens() {
        QFETCH(QString, line);
        QFETCH(bool, blankOnly);
        QFETCH(QStringList, tokens);
        QCOMPARE(
            storage::splitTokens(line, blankOnly ? storage::Separators::Blank : storage::Separators::BlankOrControl),
            tokens);
    }

    void dfRow_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("row"); // empty: no row
        QTest::newRow("old-style line") << u"/dev                   915.9M   128.0K   915.8M   4096"_qs
                                        << QStringList{u"/dev"_qs, u"915.9M"_qs, u"128.0K"_qs, u"915.8M"_qs,
                                                       u"4096"_qs};
        QTest::newRow("six fields") << u"/dev/block/dm-5 5.7G 5.6G 67M 99% /"_qs
                                    << QStringList{u"/dev/block/dm-5 5.7G"_qs, u"5.6G"_qs, u"67M"_qs, u"99%"_qs,
                                                   u"/"_qs};
        QTest::newRow("toybox heading") << u"Filesystem        Size Used Avail Use% Mounted on"_qs
                                        << QStringList{u"Filesystem Size Used"_qs, u"Avail"_qs, u"Use%"_qs,
                                                       u"Mounted"_qs, u"on"_qs};
        QTest::newRow("name with blanks stays whole")
            << u"My   Big  Disk  1  2  3  4"_qs << QStringList{u"My Big Disk"_qs, u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs};
        QTest::newRow("quoted name") << u"\"My Disk\" 1 2 3 4"_qs
                                     << QStringList{u"My Disk"_qs, u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs};
        QTest::newRow("tab inside a name")
            << u"a\tb 1 2 3 4"_qs << QStringList{u"a\tb"_qs, u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs};
        QTest::newRow("CR LF leftovers") << u"\t/dev 1 2 3 4\r"_qs
                                         << QStringList{u"/dev"_qs, u"1"_qs, u"2"_qs, u"3"_qs, u"4"_qs};
        QTest::newRow("shell complaint is a row")
            << u"/bin/sh: 1: adb: not found"_qs
            << QStringList{u"/bin/sh:"_qs, u"1:"_qs, u"adb:"_qs, u"not"_qs, u"found"_qs};
        QTest::newRow("permission denied") << u"/mnt/secure: Permission denied"_qs << QStringList();
        QTest::newRow("permission denied, five fields") << u"df: /mnt/a b: Permission denied"_qs << QStringList();
        QTest::newRow("PERMISSION DENIED") << u"df: /mnt/a b c: PERMISSION DENIED"_qs << QStringList();
        QTest::newRow("permission DeNiEd, blanks after")
            << u"df: /mnt/a b c: permission DeNiEd  \r"_qs << QStringList();
        QTest::newRow("permission denied not at the end")
            << u"Permission denied for 1 2 3"_qs
            << QStringList{u"Permission denied"_qs, u"for"_qs, u"1"_qs, u"2"_qs, u"3"_qs};
        QTest::newRow("four fields") << u"/dev 1 2 3"_qs << QStringList();
        QTest::newRow("runner error") << u"ERROR: CreatePipe failed"_qs << QStringList();
        QTest::newRow("blank line") << u"   \t "_qs << QStringList();
        QTest::newRow("empty line") << QString() << QStringList();
    }
    void dfRow() {
        QFETCH(QString, line);
        QFETCH(QStringList, row);
        const std::optional<storage::DfRow> got = storage::dfRow(line);
        if (row.isEmpty()) {
            QVERIFY(!got);
            return;
        }
        QVERIFY(got);
        QCOMPARE(QStringList(got->begin(), got->end()), row);
    }

    void workedExampleLineForLine() { QCOMPARE(storage::dfTableLines(WorkedExample), WorkedTable); }

    void emptyOutputGivesHeadingAndRule() {
        QCOMPARE(storage::dfTableLines({}), EmptyTable);
        QCOMPARE(storage::dfTableLines({u"ERROR: CreatePipe failed"_qs, QString(), u"a b c d"_qs}), EmptyTable);
    }

    void columnsGrowToTheLongestText() {
        const QStringList table =
            storage::dfTableLines({u"/a/very/long/mount/name 123456789K 1 2 32768"_qs, u"/x 1 2 3 4"_qs});
        QCOMPARE(table, (QStringList{
                            u"Filesystem               |      Size|Used|Free|Blksize"_qs,
                            u"-------------------------+----------+----+----+-------"_qs,
                            u"/a/very/long/mount/name  |123456789K|   1|   2|  32768"_qs,
                            u"/x                       |         1|   2|   3|      4"_qs,
                        }));
    }

    void showDFOutputReplacesThePaneAndSwitchesItsFont() {
        TForm13 form(testsupport::quietUpdateServer());
        TextPane* pane = form.RichEdit1;
        pane->appendLine(u"earlier text"_qs);
        ShowDFOutput(WorkedExample, pane);
        compareLog(pane, tableLooks(pane, WorkedTable));

        const QString family = QFontDatabase::hasFamily(u"Consolas"_qs)
                                   ? u"Consolas"_qs
                                   : QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
        QCOMPARE(pane->paneFont().family(), family);
        QCOMPARE(pane->paneFont().pointSize(), 10);
        // Columns line up when every character of the table is as wide as any other.
        const QFontMetricsF metrics(pane->paneFont());
        for (const QChar c : u"|+-.%/ 0Wi"_qs)
            QCOMPARE(metrics.horizontalAdvance(c), metrics.horizontalAdvance(u'M'));
        QCOMPARE(pane->lineWrapMode(), QTextEdit::NoWrap);

        // The font stays for the rest of the run: clearing returns to it.
        click(form.PanelClearEdit);
        QCOMPARE(pane->lineCount(), 0);
        QCOMPARE(pane->paneFont().family(), family);
        pane->appendLine(u"after clearing"_qs);
        QCOMPARE(testsupport::lineLook(pane, 0).size, 10);
        QCOMPARE(pane->lineWrapMode(), QTextEdit::NoWrap);
    }

    void panelShowsTheTable_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<bool>("legacy");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("table");
        QTest::newRow("worked example, legacy mode")
            << testsupport::dataPath(u"storage/profiles/df-worked"_qs) << true << u"shell df"_qs << WorkedTable;
        QTest::newRow("empty output") << testsupport::dataPath(u"storage/profiles/df-empty"_qs) << false
                                      << u"shell df -h"_qs << EmptyTable;
        QTest::newRow("old OS, legacy mode")
            << u"oldos"_qs << true << u"shell df"_qs << QStringList{u"Filesystem   |   Size|  Used|  Free|Blksize"_qs,
                                                                    u"-------------+-------+------+------+-------"_qs,
                                                                    u"Filesystem   |   Size|  Used|  Free|Blksize"_qs,
                                                                    u"/dev         | 338.7M| 64.0K|338.7M|   4096"_qs,
                                                                    u"/mnt/asec    | 338.7M|  0.0K|338.7M|   4096"_qs,
                                                                    u"/mnt/obb     | 338.7M|  0.0K|338.7M|   4096"_qs,
                                                                    u"/system      |1007.9M|550.9M|457.0M|   4096"_qs,
                                                                    u"/data        |   4.0G|172.8M|  3.8G|   4096"_qs,
                                                                    u"/cache       | 246.1M|  4.1M|241.9M|   4096"_qs,
                                                                    u"/mnt/sdcard  |  21.2G|912.8M| 20.3G|  32768"_qs};
        // The old shell takes -h for a file name; its complaint is long enough to be a row.
        QTest::newRow("old OS asked for df -h")
            << u"oldos"_qs << false << u"shell df -h"_qs
            << QStringList{u"Filesystem  |Size|Used|Free|  Blksize"_qs, u"------------+----+----+----+---------"_qs,
                           u"Filesystem  |Size|Used|Free|  Blksize"_qs, u"-h: No      |such|file|  or|directory"_qs};
    }
    void panelShowsTheTable() {
        QFETCH(QString, profile);
        QFETCH(bool, legacy);
        QFETCH(QString, command);
        QFETCH(QStringList, table);
        testsupport::useProfile(profile);
        SimLog sim;
        TForm13 form(testsupport::quietUpdateServer());
        form.CheckBoxOldAndroid->setChecked(legacy);
        click(form.PanelDiskSpaceGlobal);
        QCOMPARE(sim.commands().size(), 2);
        QVERIFY(sim.commands()[0] == u"devices" && sim.commands()[1].startsWith(u"-s TLV"_qs));
        QCOMPARE(sim.commands()[1].section(u' ', 2), command); // after the phone in use
        QList<Look> expected = tableLooks(form.RichEdit1, table);
        expected.append(empty());
        if (legacy)
            expected.append({RawNote, logcolor::Red, 9, true});
        expected.append({Hint, logcolor::Grey, 9, false});
        compareLog(form.RichEdit1, expected);
        QVERIFY(dialogs.errors().isEmpty());
    }

    void modernPhoneTableLinesUp() {
        testsupport::useProfile(u"modern"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        click(form.PanelDiskSpaceGlobal);
        const QStringList raw = strlist::fromFileBytes(testsupport::dataBytes(u"profiles/modern/shell-df-h.out"_qs));
        const QStringList lines = form.RichEdit1->lines();
        QCOMPARE(lines.size(), raw.size() + 2 + 2);
        // The longest mount point has 51 characters.
        QCOMPARE(lines[2], u"Filesystem Size Used    |Avail|Use%|Mounted|"_qs + QString(49, u' ') + u"on"_qs);
        QCOMPARE(lines[16], u"/dev/block/dm-59 457G   |  25G|432G|     6%|"_qs + QString(46, u' ') + u"/data"_qs);
        // Every table line has its "|" in the same places.
        for (qsizetype i = 0; i < raw.size() + 2; ++i) {
            QCOMPARE(lines[i].size(), lines[0].size());
            for (qsizetype c = 0; c < lines[0].size(); ++c)
                QCOMPARE(lines[i][c] == u'|' || lines[i][c] == u'+', lines[0][c] == u'|');
        }
        QCOMPARE(lines.last(), Hint);
    }

    void frenchNoteAndHint() {
        testsupport::useProfile(u"oldos"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        click(form.RadioButtonFR);
        form.CheckBoxOldAndroid->setChecked(true);
        click(form.PanelDiskSpaceGlobal);
        const QList<testsupport::LineLook> looks = testsupport::lineLooks(form.RichEdit1);
        QCOMPARE(looks.size(), 13);
        QCOMPARE(looks[11].text,
                 u"Note : Le format brut a été utilisé (Mode Compatibilité Anciens OS). Les tailles sont en "
                 u"**kilooctets (KB)** ou en blocs par défaut."_qs);
        QCOMPARE(looks[12].text, u"Cherchez la ligne se terminant par /storage/emulated/0 (Stockage interne)"_qs);
    }

    // The title is written before the table wipes it: a failing command leaves it for nobody to see,
    // but a stopped connection test leaves the log as it was, apart from the test's own lines.
    void noPhoneLeavesTheLogAndItsFont_data() {
        QTest::addColumn<QString>("profile");
        QTest::addColumn<QString>("message");
        QTest::newRow("no phone") << u"nophone"_qs << u"Connection failed: No device found. Check ADB instructions."_qs;
        QTest::newRow("unauthorized") << u"unauthorized"_qs
                                      << u"Connection failed: Device unauthorized (check phone screen)."_qs;
    }
    void noPhoneLeavesTheLogAndItsFont() {
        QFETCH(QString, profile);
        QFETCH(QString, message);
        testsupport::useProfile(profile);
        SimLog sim;
        TForm13 form(testsupport::quietUpdateServer());
        const QStringList before = form.RichEdit1->lines();
        const QFont font = form.RichEdit1->paneFont();
        click(form.PanelDiskSpaceGlobal);
        QCOMPARE(sim.commands(), QStringList{u"devices"_qs});
        const QStringList after = form.RichEdit1->lines();
        QCOMPARE(after.mid(0, before.size()), before);
        QCOMPARE(after.mid(before.size()), (QStringList{u"--- Testing ADB connection... ---"_qs, QString(), message}));
        QCOMPARE(form.RichEdit1->paneFont(), font);
        QCOMPARE(form.RichEdit1->lineWrapMode(), QTextEdit::WidgetWidth);
    }
};

QTEST_MAIN(TestDfTable)
#include "tst_storage_dftable.moc"
