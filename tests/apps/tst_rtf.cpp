#include "app/textpane.h"
#include "apps/rtf.h"

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
};

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
