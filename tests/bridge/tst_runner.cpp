#include "base/strlist.h"
#include "bridge/runner.h"
#include "testsupport.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using bridge::runCommandLine;

#ifdef Q_OS_WIN
const QString Adb = u"adb.exe"_qs;
#else
const QString Adb = u"adb"_qs;
#endif

class TestRunner : public QObject {
    Q_OBJECT

    QTemporaryDir phone_;

    // Windows has no /bin/sh: the simulated phone prints the bytes instead.
    QString phonePrints(const char* name, const QByteArray& bytes) {
        QFile answer(phone_.filePath(u"shell-"_qs + QString::fromLatin1(name) + u".out"_qs));
        if (!answer.open(QIODevice::WriteOnly) || answer.write(bytes) != bytes.size())
            qFatal("cannot write the simulated answer");
        qputenv("TELVANE_SIM_PROFILE", phone_.path().toUtf8());
        return u"\""_qs + ADBPath() + u"\" shell "_qs + QString::fromLatin1(name);
    }

private Q_SLOTS:
    void outputComesBackLineForLine_data() {
        QTest::addColumn<QString>("cmd");
        QTest::addColumn<QStringList>("lines");
#ifdef Q_OS_WIN
        QTest::newRow("UTF-8 from the phone")
            << phonePrints("utf8", "T\xC3\xA9l\xC3\xA9phone de Zo\xC3\xA9\r\n") << QStringList{u"Téléphone de Zoé"_qs};
        QTest::newRow("Windows-1252 in the system code page")
            << phonePrints("ansi", "caf\xE9 \x80\r\n") << QStringList{u"café €"_qs};
        return;
#endif
        QTest::newRow("nothing written gives no line") << u"true"_qs << QStringList();
        QTest::newRow("header, device, empty line")
            << uR"(printf 'List of devices attached\r\nTLV1\tdevice\r\n\r\n')"_qs
            << QStringList{u"List of devices attached"_qs, u"TLV1\tdevice"_qs, u""_qs};
        QTest::newRow("standard error in the order written")
            << u"echo one; echo two 1>&2; echo three"_qs << QStringList{u"one"_qs, u"two"_qs, u"three"_qs};
        QTest::newRow("a line written in two bursts stays one line")
            << u"printf 'dev'; sleep 0.1; printf 'ice\\n'"_qs << QStringList{u"device"_qs};
        QTest::newRow("CR and LF written apart make one break")
            << u"printf 'a\\r'; sleep 0.1; printf '\\nb\\n'"_qs << QStringList{u"a"_qs, u"b"_qs};
        QTest::newRow("UTF-8 from the phone")
            << uR"(printf 'T\303\251l\303\251phone de Zo\303\251\n')"_qs << QStringList{u"Téléphone de Zoé"_qs};
        QTest::newRow("8-bit text that is not UTF-8") << uR"(printf 'caf\351\n')"_qs << QStringList{u"café"_qs};
        QTest::newRow("output ending inside a UTF-8 sequence is 8-bit")
            << uR"(printf 'T\303\251\nh\303')"_qs << QStringList{u"TÃ©"_qs, u"hÃ"_qs};
        QTest::newRow("zero bytes are dropped, not cutting the rest")
            << uR"(printf 'ab\000cd\nnext\n')"_qs << QStringList{u"abcd"_qs, u"next"_qs};
        QTest::newRow("the command line reaches the interpreter unchanged")
            << uR"(echo "a  b" 'c|d')"_qs << QStringList{u"a  b c|d"_qs};
        QTest::newRow("no standard input") << u"cat; echo done"_qs << QStringList{u"done"_qs};
    }
    void outputComesBackLineForLine() {
        QFETCH(QString, cmd);
        QFETCH(QStringList, lines);
        QCOMPARE(runCommandLine(cmd), lines);
    }

    // Output read in pieces gives the lines of the whole output read at once, wherever the pieces end.
    void piecesGiveTheLinesOfTheWhole_data() {
        QTest::addColumn<QByteArray>("output");
        QTest::newRow("CR LF, lone CR, final break") << QByteArray("ab\r\ncd\re\n\r\n");
        QTest::newRow("UTF-8 letters") << QByteArray("T\xC3\xA9l\xC3\xA9phone\n\xF0\x9F\x98\x80\r\n");
        QTest::newRow("not UTF-8 after a UTF-8 line") << QByteArray("\xC3\xA9\ncaf\xE9\r\nx");
        QTest::newRow("ends inside a character") << QByteArray("ok\nh\xC3");
        QTest::newRow("a byte-order mark alone") << QByteArray("\xEF\xBB\xBF");
        QTest::newRow("zero bytes and a byte-order mark") << QByteArray("\xEF\xBB\xBF"
                                                                        "a\0b\r\0\nc",
                                                                        10);
    }
    void piecesGiveTheLinesOfTheWhole() {
        QFETCH(QByteArray, output);
        const QStringList whole = strlist::fromText(bridge::decodeOutput(output));
        for (qsizetype cut = 0; cut <= output.size(); ++cut) {
            bridge::OutputLines twoPieces;
            twoPieces.add(output.first(cut));
            twoPieces.add(output.sliced(cut));
            QCOMPARE(twoPieces.finish(), whole);
        }
        bridge::OutputLines bytes;
        for (const char c : output)
            bytes.add(QByteArray(1, c));
        QCOMPARE(bytes.received(), output.size());
        QCOMPARE(bytes.finish(), whole);
    }

    void missingProgramSaysSoInItsOutput() {
        const QStringList lines = runCommandLine(u"no_such_program_telvane"_qs);
        QCOMPARE(lines.size(), 1);
        QVERIFY2(lines[0].contains(u"not found"_qs) || lines[0].startsWith(u"ERROR: CreateProcess failed for: "_qs),
                 qPrintable(lines[0]));
    }

    void megabyteInBurstsWithLinesStraddlingEveryRead() {
#ifdef Q_OS_WIN
        QSKIP("written by /bin/sh");
#endif
        // 20,000 lines, each written in three pieces, most of them crossing the pipe's buffer boundaries.
        const QStringList lines =
            runCommandLine(u"i=0; while [ $i -lt 20000 ]; do printf 'line %05d ' $i; printf '%s' "
                           "'abcdefghijklmnopqrstuvwxyz'; printf ' end\\r\\n'; i=$((i+1)); done"_qs);
        QCOMPARE(lines.size(), 20000);
        for (int i = 0; i < lines.size(); ++i)
            if (lines[i] != u"line %1 abcdefghijklmnopqrstuvwxyz end"_qs.arg(i, 5, 10, QLatin1Char('0')))
                QFAIL(qPrintable(u"line %1 came back as \"%2\""_qs.arg(i).arg(lines[i])));
    }

    void adbIsFoundBesideTheExecutable() {
        QCOMPARE(ADBPath(), QDir(QCoreApplication::applicationDirPath()).filePath(Adb));
    }

    void verboseOutputEchoesCommandAndOutput() {
#ifdef Q_OS_WIN
        QSKIP("written by /bin/sh");
#endif
        testsupport::DialogRecorder dialogs;
        TForm13 form(testsupport::quietUpdateServer());
        form.RichEdit1->clearPane();
        form.CheckBoxVerbose->setChecked(true);
        QStringList output;
        form.ExecuteADBCommand(u"printf 'x\\ny\\n'"_qs, output);
        QCOMPARE(output, (QStringList{u"x"_qs, u"y"_qs}));
        QCOMPARE(form.RichEdit1->lines(),
                 (QStringList{u"> printf 'x\\ny\\n'"_qs, u"Output:"_qs, u"x"_qs, u"y"_qs, u""_qs}));
        for (const auto& look : testsupport::lineLooks(form.RichEdit1)) {
            QCOMPARE(look.color, QColor(0x808080));
            QCOMPARE(look.size, 9);
            QVERIFY(!look.bold);
        }
        QVERIFY2(!QApplication::overrideCursor(), "the busy cursor is gone once the command has ended");

        form.CheckBoxVerbose->setChecked(false);
        form.RichEdit1->clearPane();
        form.ExecuteADBCommand(u"echo quiet"_qs, output);
        QCOMPARE(output, QStringList{u"quiet"_qs});
        QCOMPARE(form.RichEdit1->lineCount(), 0);
    }
};

QTEST_MAIN(TestRunner)
#include "tst_runner.moc"
