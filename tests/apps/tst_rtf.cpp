#include "apps/rtf.h"
#include "apps/rtfreader.h"
#include "testsupport.h"
#include "ui/textpane.h"

#include <QRegularExpression>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>

namespace {

// Checks what a reader relies on first: 7-bit text and groups that close, escapes aside.
void verifyWellFormed(const QByteArray& rtf) {
    QVERIFY(rtf.startsWith("{\\rtf1\\ansi"));
    int depth = 0;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        QVERIFY2(static_cast<unsigned char>(c) < 0x80, "a byte outside 7-bit ASCII");
        if (c == '\\') {
            ++i;
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            --depth;
            QVERIFY(depth >= 0);
            if (depth == 0)
                QCOMPARE(rtf.mid(i + 1).trimmed(), QByteArray());
        }
    }
    QCOMPARE(depth, 0);
}

QByteArray oneLine(const QString& text) {
    QTextDocument doc;
    QTextCursor(&doc).insertText(text);
    return rtf::fromDocument(doc);
}

} // namespace

class TestRtf : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void escapes_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("plain ASCII") << u"waze 1.2"_qs << QByteArray(" waze 1.2");
        QTest::newRow("backslash") << u"a\\b"_qs << QByteArray("a\\\\b");
        QTest::newRow("braces") << u"{x}"_qs << QByteArray("\\{x\\}");
        QTest::newRow("accent") << u"é"_qs << QByteArray("\\u233?");
        QTest::newRow("check mark") << u"✔"_qs << QByteArray("\\u10004?");
        QTest::newRow("euro sign") << u"€"_qs << QByteArray("\\u8364?");
        QTest::newRow("replacement char is negative") << u"\uFFFD"_qs << QByteArray("\\u-3?");
        QTest::newRow("emoji: two negative units") << u"😀"_qs << QByteArray("\\u-10179?\\u-8704?");
        QTest::newRow("tab") << u"a\tb"_qs << QByteArray("a\\tab b");
        QTest::newRow("other control characters dropped") << u"a\u0001\u001Fb\u007F"_qs << QByteArray(" ab");
        QTest::newRow("line separator") << u"a\u2028b"_qs << QByteArray("a\\line b");
    }
    void escapes() {
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        const QByteArray rtf = oneLine(text);
        verifyWellFormed(rtf);
        QVERIFY2(rtf.contains(written), rtf.constData());
    }

    void formattingAndParagraphs() {
        TextPane pane;
        AddFormattedLine(u"--- GAMES ---"_qs, QColor(0xFF0000), 14, true, &pane);
        AddFormattedLine(u"chess"_qs, QColor(0x0000FF), 9, false, &pane);
        pane.appendLine(QString());
        AddFormattedLine(u"go"_qs, QColor(0xFF0000), 10, false, &pane);
        const QByteArray rtf = rtf::fromDocument(*pane.document());
        verifyWellFormed(rtf);
        QVERIFY(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 " + pane.paneFont().family().toLatin1() + ";}"));
        // One entry per colour, however often it is used.
        QVERIFY(rtf.contains("{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"));
        QVERIFY(rtf.contains("\\fs28\\cf1\\b --- GAMES ---"));
        QVERIFY(rtf.contains("\\fs18\\cf2 chess"));
        QVERIFY(rtf.contains("\\fs20\\cf1 go"));
        QCOMPARE(rtf.count("\\par\r\n"), 4);
        // The empty line keeps the look it was written in.
        QVERIFY(rtf.contains("\\pard\\plain\\f0\\fs18\\cf2 \\par\r\n"));
    }

    void lastLineWithoutBreakIsStillAParagraph() {
        QTextDocument doc;
        QTextCursor(&doc).insertText(u"a\nb"_qs);
        const QByteArray rtf = rtf::fromDocument(doc);
        QCOMPARE(rtf.count("\\par\r\n"), 1);
        QVERIFY(rtf.contains(" b}"));
    }

    void emptyDocumentHasNoText() {
        QTextDocument doc;
        const QByteArray rtf = rtf::fromDocument(doc);
        verifyWellFormed(rtf);
        QVERIFY(rtf.contains("{\\fonttbl"));
        QVERIFY(rtf.contains("{\\colortbl ;}"));
        QVERIFY(!rtf.contains("\\par\r\n"));
        const qsizetype body = rtf.indexOf("\\pard");
        QVERIFY(body > 0);
        // Control words only: no text.
        static const QRegularExpression noText(uR"(^\\pard(\\[a-z]+-?\d* ?)*\}\r\n$)"_qs);
        QVERIFY2(noText.match(QString::fromLatin1(rtf.mid(body))).hasMatch(), rtf.constData());
    }

    void thousandsOfLinesStayWellFormed() {
        QTextDocument doc;
        QTextCursor cursor(&doc);
        for (int i = 0; i < 3000; ++i)
            cursor.insertText(u"{name}\\ 😀 é %1\n"_qs.arg(i));
        const QByteArray rtf = rtf::fromDocument(doc);
        verifyWellFormed(rtf);
        QCOMPARE(rtf.count("\\par\r\n"), 3000);
    }

    // What the reader makes of every kind of text. An empty list in "lines" with balanced false: an error.
    void reads_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<bool>("balanced");
        QTest::addColumn<QStringList>("lines");
        const auto row = [](const char* what, const char* rtf, const QStringList& lines, bool balanced = true) {
            QTest::newRow(what) << QByteArray(rtf) << balanced << lines;
        };
        row("\\par and \\line end lines", R"({\rtf1 a\par b\line c\par })", {u"a"_qs, u"b"_qs, u"c"_qs});
        row("last paragraph without \\par", R"({\rtf1 a\par\pard b})", {u"a"_qs, u"b"_qs});
        row("empty middle line kept", R"({\rtf1 a\par\par b})", {u"a"_qs, QString(), u"b"_qs});
        row("no text: no line", R"({\rtf1\pard\plain\f0\fs16\cf0 })", {});
        row("escaped characters and symbols", R"({\rtf1 \{x\}\\\tab y\~z\emdash\lquote})", {u"{x}\\\ty\u00A0z—‘"_qs});
        row("\\'hh in the default 1252", R"({\rtf1\ansi \'e9\'80\'93})", {u"é€“"_qs});
        row("\\'hh in \\ansicpg1251", R"({\rtf1\ansi\ansicpg1251 \'c0})", {u"А"_qs});
        row("two-byte code page read whole", R"({\rtf1\ansi\ansicpg932 \'82\'a0})", {u"あ"_qs});
        row("unknown code page reads 1252", R"({\rtf1\ansi\ansicpg99999 \'e9})", {u"é"_qs});
        row("raw 8-bit byte in the code page", "{\\rtf1 caf\xe9}", {u"café"_qs});
        row("\\u negative, ? fallback skipped", R"({\rtf1 Zo\u233?\u-10179?\u-8704? x})", {u"Zoé😀 x"_qs});
        row("\\uc2: \\'hh counts one", R"({\rtf1\uc2 \u233\'65\'65x})", {u"éx"_qs});
        row("\\uc0 in its group only", R"({\rtf1{\uc0 \u233 x}\u233?y})", {u"éxéy"_qs});
        row("a brace ends the fallback", R"({\rtf1\uc3 {\u233}x})", {u"éx"_qs});
        row("unsigned \\u with \\uc0 (LibreOffice)", R"({\rtf1\uc0 \u55357\uc1 \u56832\'3f})", {u"😀"_qs});
        row("tables, info and LibreOffice destinations skipped",
            R"({\rtf1{\fonttbl{\f0 Arial;}}{\colortbl;\red1;}{\stylesheet{\s0 Normal;}}{\info{\title t}})"
            R"({\*\generator LO;}{\*\pgdsctbl{\pgdsc0 P;}}{\listtable{\list L}}{\*\rsidtbl\rsid1}{\*\unknown u}a})",
            {u"a"_qs});
        row("field result kept, instruction skipped", R"({\rtf1{\field{\*\fldinst HYPERLINK "x"}{\fldrslt link}}})",
            {u"link"_qs});
        row("\\bin data may hold braces", R"({\rtf1{\pict\bin3 }{x}a})", {u"a"_qs});
        row("control characters dropped, file's line breaks ignored", "{\\rtf1 a\r\nb\\'0d\\u10?c\\'0a}", {u"abc"_qs});
        row("backslash before a line break is \\par", "{\\rtf1 a\\\nb}", {u"a"_qs, u"b"_qs});
        row("huge parameter", R"({\rtf1\fs-99999999999999 a\u99999999999?})", {u"a\uFFFF"_qs});
        row("text after the document ignored", "{\\rtf1 a}\r\nb", {u"a"_qs});
        const QStringList groups{u"--- JEUX VIDéO ---"_qs, u"Müller 日本"_qs, u"{x} \\ a\tb"_qs, QString(),
                                 u"--- OUTILS ---"_qs,     u"über"_qs};
        for (const char* file : {"apps/our-groups.rtf", "apps/libreoffice-groups.rtf"})
            QTest::newRow(file) << testsupport::dataBytes(QString::fromLatin1(file)) << true << groups;
        row("a group left open", R"({\rtf1{ a})", {}, false);
        row("one brace too many", R"({\rtf1 a}})", {}, false);
    }
    void reads() {
        QFETCH(QByteArray, rtf);
        QFETCH(bool, balanced);
        QFETCH(QStringList, lines);
        const std::optional<QStringList> read = rtf::textLines(rtf);
        QCOMPARE(read.has_value(), balanced);
        QCOMPARE(read.value_or(QStringList()), lines);
    }
};

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
