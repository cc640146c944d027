#include "panedriver.h"
#include "testsupport.h"
#include "ui/textpane.h"

#include <QTest>

using testsupport::lineLook;

namespace {

const QString Mark = u"✔ "_qs;

void fillLog(TForm13& form, const QStringList& lines) {
    form.RichEdit1->clearPane();
    // The apps list leaves its names blue, 10 pt, bold: the toggle must replace that look.
    AddFormattedLine(u"--- header ---"_qs, QColor(0x0000FF), 10, true, form.RichEdit1);
    form.RichEdit1->appendLines(lines);
}

} // namespace

class TestCheckMarks : public QObject {
    Q_OBJECT

    testsupport::DialogRecorder dialogs;

private Q_SLOTS:
    void doubleClickToggles_data() {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("ticked");
        QTest::newRow("name ticked") << u"whatsapp"_qs << Mark + u"whatsapp"_qs << true;
        QTest::newRow("ticked name unticked") << Mark + u"whatsapp"_qs << u"whatsapp"_qs << false;
        QTest::newRow("empty line ticked") << QString() << Mark << true;
        QTest::newRow("blanks before a mark: second mark") << u"  ✔ waze"_qs << Mark + u"  ✔ waze"_qs << true;
        QTest::newRow("double mark loses the first only") << Mark + Mark + u"x"_qs << Mark + u"x"_qs << true;
        QTest::newRow("mark without its blank") << u"✔waze"_qs << Mark + u"✔waze"_qs << true;
        QTest::newRow("emoji kept") << u"😀 fun"_qs << Mark + u"😀 fun"_qs << true;
    }
    void doubleClickToggles() {
        QFETCH(QString, line);
        QFETCH(QString, after);
        QFETCH(bool, ticked);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        fillLog(form, {u"above"_qs, line, u"below"_qs});
        panedriver::doubleClickLine(form.RichEdit1, 2);

        QCOMPARE(form.RichEdit1->lines(), (QStringList{u"--- header ---"_qs, u"above"_qs, after, u"below"_qs}));
        const auto look = lineLook(form.RichEdit1, 2);
        QCOMPARE(look.color, ticked ? QColor(0x008000) : QColor(Qt::black));
        QCOMPARE(look.bold, ticked);
        QCOMPARE(look.size, form.RichEdit1->defaultSize());
        // The neighbours keep their look and the caret waits at the start of the next line.
        QCOMPARE(lineLook(form.RichEdit1, 3).color, QColor(0x0000FF));
        QCOMPARE(lineLook(form.RichEdit1, 1).color, QColor(0x0000FF));
        QCOMPARE(form.RichEdit1->selectionStart(), form.RichEdit1->lineStart(3));
        QCOMPARE(form.RichEdit1->selectionLength(), 0);
    }

    void tickingTwiceGivesTheTextBackInBlack() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        fillLog(form, {u"netflix.mediaclient"_qs});
        panedriver::doubleClickLine(form.RichEdit1, 1);
        panedriver::doubleClickLine(form.RichEdit1, 1);
        QCOMPARE(form.RichEdit1->lines().last(), u"netflix.mediaclient"_qs);
        const auto look = lineLook(form.RichEdit1, 1);
        QCOMPARE(look.color, QColor(Qt::black));
        QVERIFY(!look.bold);
        QCOMPARE(look.size, 8);
    }

    void belowTheLastLineNothingHappens() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        fillLog(form, {u"waze"_qs});
        const QPoint lastLine = panedriver::pointOfLine(form.RichEdit1, 1);
        panedriver::doubleClickAt(form.RichEdit1, lastLine + QPoint(0, 60));
        QCOMPARE(form.RichEdit1->lines(), (QStringList{u"--- header ---"_qs, u"waze"_qs}));
    }

    void wrappedLineTogglesWhole() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.RichEdit1->resize(160, form.RichEdit1->height());
        const QString longLine = u"com.example.averyveryverylongname "_qs.repeated(12).trimmed();
        fillLog(form, {longLine, u"next.line"_qs});
        QVERIFY(form.RichEdit1->document()->findBlockByNumber(1).layout()->lineCount() > 3);

        panedriver::doubleClickLine(form.RichEdit1, 1, 2);
        QCOMPARE(form.RichEdit1->lines(), (QStringList{u"--- header ---"_qs, Mark + longLine, u"next.line"_qs}));
        QCOMPARE(lineLook(form.RichEdit1, 2).color, QColor(0x0000FF));

        panedriver::doubleClickLine(form.RichEdit1, 1, 3);
        QCOMPARE(form.RichEdit1->lines(), (QStringList{u"--- header ---"_qs, longLine, u"next.line"_qs}));
    }

    void onlyTheOutputLogToggles() {
        TForm13 form(testsupport::quietUpdateServer());
        fillLog(form, {u"waze"_qs});
        form.RichEdit1->setSelection(form.RichEdit1->lineStart(1), 0);
        form.RichEdit1DblClick(form.RichEdit2);
        QCOMPARE(form.RichEdit1->lines().last(), u"waze"_qs);
        form.RichEdit1DblClick(form.RichEdit1);
        QCOMPARE(form.RichEdit1->lines().last(), Mark + u"waze"_qs);
    }
};

QTEST_MAIN(TestCheckMarks)
#include "tst_checkmarks.moc"
