#include "base/errors.h"
#include "base/strlist.h"
#include "testsupport.h"
#include "ui/textpane.h"

#include <QFontDatabase>
#include <QTest>

using testsupport::lineLook;
using testsupport::lineLooks;

class TestTextPane : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void formattedLineThenPlainAppendShareAttributes() {
        TextPane pane;
        pane.clearPane();
        AddFormattedLine(u"first"_qs, QColor(0x0000FF), 12, true, &pane);
        pane.appendLine(u"second"_qs);
        QCOMPARE(pane.lineCount(), 2);
        for (int i = 0; i < 2; ++i) {
            const auto look = lineLook(&pane, i);
            QCOMPARE(look.color, QColor(0x0000FF));
            QCOMPARE(look.size, 12);
            QVERIFY2(look.bold, "a plain append takes the insertion attributes the formatted line set");
        }
    }

    void formattedLineKeepsTheSelectionAndPlainAppendGoesToEnd() {
        TextPane pane;
        pane.appendLines({u"alpha"_qs, u"beta"_qs, u"gamma"_qs});
        pane.setSelection(pane.lineStart(1), 4); // "beta"
        AddFormattedLine(u"NEW"_qs, QColor(0xFF0000), 10, false, &pane);
        pane.appendLine(u"tail"_qs);
        QCOMPARE(pane.lines(), (QStringList{u"alpha"_qs, u"betaNEW"_qs, u""_qs, u"gamma"_qs, u"tail"_qs}));
        QCOMPARE(pane.selectionStart(), pane.textLength());
    }

    void formattedTextWithBreaksBecomesSeveralLines() {
        TextPane pane;
        AddFormattedLine(u"one\r\ntwo\r\nthree"_qs, QColor(0x008000), 9, false, &pane);
        QCOMPARE(pane.lines(), (QStringList{u"one"_qs, u"two"_qs, u"three"_qs}));
        for (const auto& look : lineLooks(&pane)) {
            QCOMPARE(look.color, QColor(0x008000));
            QCOMPARE(look.size, 9);
            QVERIFY(!look.bold);
        }
    }

    void emptyPlainAppendLeavesEmptyLine() {
        TextPane pane;
        AddFormattedLine(u"heading"_qs, QColor(0x800000), 10, true, &pane);
        pane.appendLine(QString());
        AddFormattedLine(u"next"_qs, QColor(0x800000), 10, true, &pane);
        QCOMPARE(pane.lines(), (QStringList{u"heading"_qs, u""_qs, u"next"_qs}));
    }

    void lineList() {
        TextPane pane;
        QCOMPARE(pane.lineCount(), 0);
        pane.appendLines({u"ab"_qs, u""_qs, u"cde"_qs});
        QCOMPARE(pane.lineCount(), 3); // the empty place after the last break is not a line
        QCOMPARE(pane.lineStart(2), 4);
        QCOMPARE(pane.lineOfPosition(0), 0);
        QCOMPARE(pane.lineOfPosition(2), 0); // the line break belongs to its line
        QCOMPARE(pane.lineOfPosition(3), 1);
        QCOMPARE(pane.lineOfPosition(4), 2);
        QCOMPARE(pane.lineOfPosition(1000), -1);
        pane.insertLine(1, u"x"_qs);
        QCOMPARE(pane.lines(), (QStringList{u"ab"_qs, u"x"_qs, u""_qs, u"cde"_qs}));
        pane.insertLine(pane.lineCount(), u"end"_qs);
        QCOMPARE(pane.lines(), (QStringList{u"ab"_qs, u"x"_qs, u""_qs, u"cde"_qs, u"end"_qs}));
        pane.deleteLine(0);
        pane.deleteLine(1);
        QCOMPARE(pane.lines(), (QStringList{u"x"_qs, u"cde"_qs, u"end"_qs}));
    }

    void wrappedParagraphIsOneLine() {
        TextPane pane;
        pane.resize(120, 200);
        const QString longName = QString(u"verylongname."_qs).repeated(30);
        pane.appendLines({longName, u"next"_qs});
        pane.show();
        QCOMPARE(pane.lineCount(), 2);
        QCOMPARE(pane.line(0), longName);
        QCOMPARE(pane.lineStart(1), longName.size() + 1);
    }

    void clearingReturnsToThePaneFont() {
        TextPane pane;
        QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        mono.setPointSize(10);
        pane.setPaneFont(mono);
        AddFormattedLine(u"red"_qs, QColor(0xFF0000), 14, true, &pane);
        pane.clearPane();
        QCOMPARE(pane.lineCount(), 0);
        QCOMPARE(pane.selectionStart(), 0);
        pane.appendLine(u"plain"_qs);
        const auto look = lineLook(&pane, 0);
        QCOMPARE(look.size, 10);
        QVERIFY(!look.bold);
        QCOMPARE(pane.defaultSize(), 10);
    }

    void plainAppendEndsAnUnfinishedLastLine() {
        TextPane pane;
        pane.setSelection(0, 0);
        pane.replaceSelection(u"typed"_qs);
        pane.appendLine(u"added"_qs);
        QCOMPARE(pane.lines(), (QStringList{u"typed"_qs, u"added"_qs}));
        QCOMPARE(pane.toPlainText(), u"typed\nadded"_qs);
        pane.appendLine(QString()); // an empty append only ends the last line
        QCOMPARE(pane.toPlainText(), u"typed\nadded\n"_qs);
        pane.appendLines({u"x"_qs, u"y"_qs});
        QCOMPARE(pane.toPlainText(), u"typed\nadded\nx\ny\n"_qs);
    }

    void splitting_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty text gives no line") << u""_qs << QStringList();
        QTest::newRow("no break") << u"a"_qs << QStringList{u"a"_qs};
        QTest::newRow("one final break adds no line") << u"a\r\n"_qs << QStringList{u"a"_qs};
        QTest::newRow("header, device, empty line")
            << u"List\r\ndev\tdevice\r\n\r\n"_qs << QStringList{u"List"_qs, u"dev\tdevice"_qs, u""_qs};
        QTest::newRow("lone CR and LF") << u"a\rb\nc"_qs << QStringList{u"a"_qs, u"b"_qs, u"c"_qs};
        QTest::newRow("LF CR is two breaks") << u"a\n\rb"_qs << QStringList{u"a"_qs, u""_qs, u"b"_qs};
        QTest::newRow("break alone") << u"\r\n"_qs << QStringList{u""_qs};
    }
    void splitting() {
        QFETCH(QString, text);
        QFETCH(QStringList, lines);
        QCOMPARE(strlist::fromText(text), lines);
    }

    void fileBytesHaveBomAndCrLf() {
        QCOMPARE(strlist::fileBytes({u"é"_qs, u""_qs}), QByteArray("\xEF\xBB\xBF\xC3\xA9\r\n\r\n"));
        QCOMPARE(strlist::fileBytes({}), QByteArray("\xEF\xBB\xBF"));
        const QStringList lone{u"x"_qs + QChar(0xD800), QChar(0xDC00) + u"y"_qs + QChar(0xD800)};
        QCOMPARE(strlist::fileBytes(lone), QByteArray("\xEF\xBB\xBFx\xEF\xBF\xBD\r\n\xEF\xBF\xBDy\xEF\xBF\xBD\r\n"));
        QCOMPARE(strlist::fromFileBytes("\xEF\xBB\xBFx\r\ny"), (QStringList{u"x"_qs, u"y"_qs}));
        QCOMPARE(strlist::fromFileBytes("\xEF\xBB\xBF\xEF\xBB\xBFx"), QStringList{u"\uFEFFx"_qs});
    }

    void trimming() {
        QCOMPARE(strlist::trim(u"\t\x01 a b \r\n"_qs), u"a b"_qs);
        QCOMPARE(strlist::trim(u"\u00A0a"_qs), u"\u00A0a"_qs); // only codes up to U+0020 go
        QCOMPARE(strlist::trim(u"   "_qs), QString());
    }

    void sortingIgnoresCaseEvenInTheCLocale() {
        QStringList names{u"Zoom"_qs, u"apple"_qs, u"Banana"_qs};
        strlist::sortNoCase(names);
        QCOMPARE(names, (QStringList{u"apple"_qs, u"Banana"_qs, u"Zoom"_qs}));
    }

    void errorReportFullStop_data() {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain message gets a full stop") << u"Disk full"_qs << u"Disk full."_qs;
        QTest::newRow("ends with a full stop") << u"Done."_qs << u"Done."_qs;
        QTest::newRow("ends with a blank") << u"x "_qs << u"x "_qs;
        QTest::newRow("ends with a comma") << u"x,"_qs << u"x,"_qs;
        QTest::newRow("ends with a slash") << u"x/"_qs << u"x/."_qs;
        QTest::newRow("ends with an exclamation mark") << u"x!"_qs << u"x!"_qs;
        QTest::newRow("empty") << u""_qs << u"."_qs;
    }
    void errorReportFullStop() {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(errorReportText(message), shown);
    }

    void outsideTextIsCutAt300() {
        QCOMPARE(outsideText(QString(300, u'x')), QString(300, u'x'));
        QCOMPARE(outsideText(QString(301, u'x')), QString(300, u'x') + u"…"_qs);
        QCOMPARE(outsideText(QString(299, u'x') + u"😀😀"_qs), QString(299, u'x') + u"…"_qs);
    }
};

QTEST_MAIN(TestTextPane)
#include "tst_textpane.moc"
