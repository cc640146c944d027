#include "app/groupspane.h"
#include "apps/groups.h"
#include "panedriver.h"
#include "testsupport.h"
#include "ui/textpane.h"

#include <QCheckBox>
#include <QInputDialog>
#include <QLabel>
#include <QRadioButton>
#include <QTest>

using testsupport::lineLook;

namespace {

const QString Mark = u"✔ "_qs;

void fill(TextPane* pane, const QStringList& lines) {
    pane->clearPane();
    pane->appendLines(lines);
}

// A pane of the window filled line by line, each in its own colour, to see lines keep their look.
void fillColoured(TextPane* pane, const QList<QPair<QString, QRgb>>& lines) {
    pane->clearPane();
    for (const auto& [text, rgb] : lines)
        AddFormattedLine(text, QColor(rgb), 8, false, pane);
}

} // namespace

class TestGroups : public QObject {
    Q_OBJECT

    testsupport::DialogRecorder dialogs;

private Q_SLOTS:
    void init() { dialogs.clear(); }

    // --- New group ---

    void newGroup_data() {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("after");
        const QString cancel; // a null answer is Cancel
        QTest::newRow("cancel on an empty pane: default name, no blank line")
            << QStringList() << cancel << QStringList{u"--- NEW GROUP ---"_qs};
        QTest::newRow("second group: a blank line first")
            << QStringList{u"--- A ---"_qs, u"x"_qs} << u"games"_qs
            << QStringList{u"--- A ---"_qs, u"x"_qs, QString(), u"--- GAMES ---"_qs};
        QTest::newRow("only a to z upper-cased, blanks trimmed")
            << QStringList() << u"  jeux vidéo\t"_qs << QStringList{u"--- JEUX VIDéO ---"_qs};
        QTest::newRow("empty name: nothing") << QStringList{u"x"_qs} << u""_qs << QStringList{u"x"_qs};
        QTest::newRow("blank name: nothing") << QStringList{u"x"_qs} << u" \t "_qs << QStringList{u"x"_qs};
        QTest::newRow("braces and emoji kept")
            << QStringList() << u"{fun} 😀\\"_qs << QStringList{u"--- {FUN} 😀\\ ---"_qs};
    }
    void newGroup() {
        QFETCH(QStringList, before);
        QFETCH(QString, answer);
        QFETCH(QStringList, after);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        fill(form.RichEdit2, before);
        dialogs.queueAnswer(answer);
        panedriver::doubleClickAt(form.RichEdit2, QPoint(200, 300));

        QCOMPARE(dialogs.shown().size(), 1);
        const dialogs::Request request = dialogs.shown().first();
        QCOMPARE(request.kind, dialogs::Kind::TextInput);
        QCOMPARE(request.title, u"Group Name"_qs);
        QCOMPARE(request.text, u"Enter the name for the new group (e.g., GAMES, UTILITIES, VIDEOS):"_qs);
        QCOMPARE(request.defaultText, u"NEW GROUP"_qs);
        QCOMPARE(form.RichEdit2->lines(), after);
        if (after != before) {
            const auto look = lineLook(form.RichEdit2, int(after.size()) - 1);
            QCOMPARE(look.color, QColor(0xFF0000));
            QCOMPARE(look.size, 14);
            QVERIFY(look.bold);
            QCOMPARE(form.RichEdit2->selectionStart(), form.RichEdit2->textLength());
        }
    }

    void cancelInTheRealDialogGivesTheDefaultName() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        Qt::TextFormat format = Qt::RichText;
        testsupport::onNextModal([&](QWidget* modal) {
            auto* input = qobject_cast<QInputDialog*>(modal);
            QVERIFY(input);
            format = input->findChild<QLabel*>()->textFormat();
            input->setTextValue(u"typed then cancelled"_qs);
            input->reject();
        });
        dialogs.setEnabled(false);
        panedriver::doubleClickAt(form.RichEdit2, QPoint(100, 100));
        dialogs.setEnabled(true);
        QCOMPARE(format, Qt::PlainText);
        QCOMPARE(form.RichEdit2->lines(), QStringList{u"--- NEW GROUP ---"_qs});
    }

    void newGroupInFrench() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        testsupport::click(form.RadioButtonFR);
        panedriver::doubleClickAt(form.RichEdit2, QPoint(100, 100));
        const dialogs::Request request = dialogs.shown().last();
        QCOMPARE(request.title, u"Nom du Groupe"_qs);
        QCOMPARE(request.text, u"Entrez le nom du nouveau groupe (ex: JEUX, UTILITAIRES, VIDEOS):"_qs);
        QCOMPARE(request.defaultText, u"NOUVEAU GROUPE"_qs);
        QCOMPARE(form.RichEdit2->lines(), QStringList{u"--- NOUVEAU GROUPE ---"_qs});
    }

    void headerAfterALineTypedWithoutBreakFollowsIt() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.RichEdit2->setFocus();
        QTest::keyClicks(form.RichEdit2, u"my notes"_qs);
        dialogs.queueAnswer(u"tools"_qs);
        panedriver::doubleClickLine(form.RichEdit2, 0);
        QCOMPARE(form.RichEdit2->lines(), (QStringList{u"my notes"_qs, u"--- TOOLS ---"_qs}));
    }

    void textTypedAfterAHeaderIsOrdinary() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.RichEdit2->setFocus();
        panedriver::doubleClickAt(form.RichEdit2, QPoint(100, 100));
        QTest::keyClicks(form.RichEdit2, u"chess"_qs);
        QCOMPARE(form.RichEdit2->lines(), (QStringList{u"--- NEW GROUP ---"_qs, u"chess"_qs}));
        const auto look = lineLook(form.RichEdit2, 1);
        QCOMPARE(look.color, form.RichEdit2->defaultColor());
        QCOMPARE(look.size, form.RichEdit2->defaultSize());
        QVERIFY(!look.bold);
    }

    // --- Transfer ---

    void transfer_data() {
        QTest::addColumn<QStringList>("log");
        QTest::addColumn<QStringList>("groups");
        QTest::addColumn<int>("selLine"); // -1: caret at the end, no selection
        QTest::addColumn<int>("selLength");
        QTest::addColumn<bool>("move");
        QTest::addColumn<QStringList>("groupsAfter");
        QTest::addColumn<QStringList>("logAfter");

        QTest::newRow("copy without a target: appended, unticked, unsorted")
            << QStringList{u"--- names ---"_qs, Mark + u"whatsapp"_qs, u"waze"_qs, Mark + u"facebook.katana"_qs}
            << QStringList{u"--- GAMES ---"_qs, u"chess"_qs} << -1 << 0 << false
            << QStringList{u"--- GAMES ---"_qs, u"chess"_qs, u"whatsapp"_qs, u"facebook.katana"_qs}
            << QStringList{u"--- names ---"_qs, u"whatsapp"_qs, u"  ✅ 2 items added to the group."_qs, u"waze"_qs,
                           u"facebook.katana"_qs};
        QTest::newRow("move into the group of a member line: sorted, blank line first, an empty tick stays")
            << QStringList{u"a"_qs, Mark + u"zoom"_qs, u"b"_qs, Mark + u"Apple"_qs, Mark}
            << QStringList{u"intro"_qs, u"--- SOCIAL ---"_qs, u"twitter"_qs,
                           QString(),   u"--- GAMES ---"_qs,  u"chess"_qs}
            << 2 << 3 << true << QStringList{u"intro"_qs,   u"--- SOCIAL ---"_qs, QString(),           u"Apple"_qs,
                                             u"twitter"_qs, u"zoom"_qs,           u"--- GAMES ---"_qs, u"chess"_qs}
            << QStringList{u"a"_qs, u"  ✅ 2 items moved to the group."_qs, u"b"_qs, QString()};
        QTest::newRow("a ticked heading is unticked in place, not made a group")
            << QStringList{Mark + u"--- Third-Party Apps ---"_qs, Mark + u"waze"_qs} << QStringList() << -1 << 0 << true
            << QStringList{u"waze"_qs}
            << QStringList{u"--- Third-Party Apps ---"_qs, u"  ✅ 1 items moved to the group."_qs};
        QTest::newRow("selection starting on a header targets its group")
            << QStringList{Mark + u"m.n"_qs} << QStringList{u"--- A ---"_qs, u"x"_qs, u"--- B ---"_qs, u"y"_qs} << 2
            << 30 << false << QStringList{u"--- A ---"_qs, u"x"_qs, u"--- B ---"_qs, u"m.n"_qs, u"y"_qs}
            << QStringList{u"m.n"_qs, u"  ✅ 1 items added to the group."_qs};
        QTest::newRow("selection above the first header: no target")
            << QStringList{Mark + u"b.c"_qs} << QStringList{u"notes"_qs, u"--- A ---"_qs, u"z"_qs} << 0 << 2 << true
            << QStringList{u"notes"_qs, u"--- A ---"_qs, u"z"_qs, u"b.c"_qs}
            << QStringList{u"  ✅ 1 items moved to the group."_qs};
        QTest::newRow("caret without a selection: no target")
            << QStringList{Mark + u"b.c"_qs} << QStringList{u"--- A ---"_qs, u"z"_qs} << 1 << 0 << true
            << QStringList{u"--- A ---"_qs, u"z"_qs, u"b.c"_qs} << QStringList{u"  ✅ 1 items moved to the group."_qs};
        QTest::newRow("header typed with leading blanks")
            << QStringList{Mark + u"b.c"_qs} << QStringList{u"  --- A ---"_qs, u"z"_qs} << 1 << 1 << true
            << QStringList{u"  --- A ---"_qs, u"b.c"_qs, u"z"_qs} << QStringList{u"  ✅ 1 items moved to the group."_qs};
        QTest::newRow("name between ] and (")
            << QStringList{Mark + u"[3] com.foo.bar (12 MB)"_qs, u"end"_qs} << QStringList() << -1 << 0 << false
            << QStringList{u"com.foo.bar"_qs}
            << QStringList{u"[3] com.foo.bar (12 MB)"_qs, u"  ✅ 1 items added to the group."_qs, u"end"_qs};
        QTest::newRow("names without a dot reach the group")
            << QStringList{Mark + u"whatsapp"_qs, Mark + u"waze"_qs, u"kept"_qs} << QStringList() << -1 << 0 << true
            << QStringList{u"whatsapp"_qs, u"waze"_qs}
            << QStringList{u"  ✅ 2 items moved to the group."_qs, u"kept"_qs};
        QTest::newRow("last group of a pane without a final line break")
            << QStringList{Mark + u"alpha"_qs} << QStringList{u"--- A ---"_qs, u"zulu"_qs} << 0 << 1 << true
            << QStringList{u"--- A ---"_qs, u"alpha"_qs, u"zulu"_qs}
            << QStringList{u"  ✅ 1 items moved to the group."_qs};
    }
    void transfer() {
        QFETCH(QStringList, log);
        QFETCH(QStringList, groups);
        QFETCH(int, selLine);
        QFETCH(int, selLength);
        QFETCH(bool, move);
        QFETCH(QStringList, groupsAfter);
        QFETCH(QStringList, logAfter);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.CheckBoxMove->setChecked(move);
        fill(form.RichEdit1, log);
        fill(form.RichEdit2, groups);
        if (QByteArray(QTest::currentDataTag()).contains("without a final line break"))
            form.RichEdit2->document()->setPlainText(groups.join(u'\n'));
        if (selLine >= 0)
            form.RichEdit2->setSelection(form.RichEdit2->lineStart(selLine), selLength);
        else
            form.RichEdit2->setSelection(form.RichEdit2->textLength(), 0);
        panedriver::rightClick(form.RichEdit2);

        QCOMPARE(form.RichEdit2->lines(), groupsAfter);
        QCOMPARE(form.RichEdit1->lines(), logAfter);
        int message = 0;
        while (!logAfter[message].contains(u"✅"_qs))
            ++message;
        const auto look = lineLook(form.RichEdit1, message);
        QCOMPARE(look.color, QColor(0x008000));
        QCOMPARE(look.size, 9);
        QVERIFY(!look.bold);
        for (int i = 0; i < form.RichEdit1->lineCount(); ++i) {
            if (i == message || logAfter[i].isEmpty() || log.contains(logAfter[i]))
                continue;
            // Unticked lines are black, regular, the log's own size.
            QCOMPARE(lineLook(form.RichEdit1, i).color, QColor(Qt::black));
            QCOMPARE(lineLook(form.RichEdit1, i).size, form.RichEdit1->defaultSize());
            QVERIFY(!lineLook(form.RichEdit1, i).bold);
        }
        for (int i = 0; i < form.RichEdit2->lineCount(); ++i)
            QVERIFY(!lineLook(form.RichEdit2, i).bold);
        QVERIFY(dialogs.shown().isEmpty());
    }

    void nothingToTransfer_data() {
        QTest::addColumn<QStringList>("log");
        QTest::newRow("no ticked line") << QStringList{u"whatsapp"_qs, u" ✔ waze"_qs};
        QTest::newRow("ticked lines without a name")
            << QStringList{Mark, Mark + u"[x]"_qs, Mark + u"  (a)"_qs, Mark + u"--- Apps ---"_qs};
    }
    void nothingToTransfer() {
        QFETCH(QStringList, log);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        form.CheckBoxMove->setChecked(true);
        fill(form.RichEdit1, log);
        fill(form.RichEdit2, {u"--- A ---"_qs, u"x"_qs});
        form.RichEdit2->setSelection(0, 3);
        panedriver::rightClick(form.RichEdit2);
        QCOMPARE(form.RichEdit1->lines(), log + QStringList{u"  ❗ No checked items to transfer."_qs});
        QCOMPARE(form.RichEdit2->lines(), (QStringList{u"--- A ---"_qs, u"x"_qs}));
        const auto look = lineLook(form.RichEdit1, int(log.size()));
        QCOMPARE(look.color, QColor(0xFF0000));
        QCOMPARE(look.size, 9);
        QVERIFY(!look.bold);
    }

    void transferMessagesInFrench() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        testsupport::click(form.RadioButtonFR);
        fill(form.RichEdit1, {Mark + u"waze"_qs});
        panedriver::rightClick(form.RichEdit2);
        QCOMPARE(form.RichEdit1->lines().last(), u"  ✅ 1 éléments ajoutés au groupe."_qs);
        form.CheckBoxMove->setChecked(true);
        fill(form.RichEdit1, {Mark + u"waze"_qs});
        panedriver::rightClick(form.RichEdit2);
        QCOMPARE(form.RichEdit1->lines().last(), u"  ✅ 1 éléments déplacés au groupe."_qs);
        panedriver::rightClick(form.RichEdit2);
        QCOMPARE(form.RichEdit1->lines().last(), u"  ❗ Aucun élément coché à transférer."_qs);
    }

    void tickAndTransferWithTheMouse() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        fill(form.RichEdit1, {u"waze"_qs, u"deezer"_qs, u"ligue1"_qs});
        dialogs.queueAnswer(u"fun"_qs);
        panedriver::doubleClickAt(form.RichEdit2, QPoint(100, 100));
        panedriver::doubleClickLine(form.RichEdit1, 0);
        panedriver::doubleClickLine(form.RichEdit1, 2);
        form.RichEdit2->setSelection(0, 5);
        panedriver::rightClick(form.RichEdit2);
        QCOMPARE(form.RichEdit2->lines(), (QStringList{u"--- FUN ---"_qs, u"ligue1"_qs, u"waze"_qs}));
        QCOMPARE(form.RichEdit1->lines(),
                 (QStringList{u"waze"_qs, u"  ✅ 2 items added to the group."_qs, u"deezer"_qs, u"ligue1"_qs}));
        // Names arrive as ordinary lines, the header keeps its look.
        QCOMPARE(lineLook(form.RichEdit2, 0).color, QColor(0xFF0000));
        QCOMPARE(lineLook(form.RichEdit2, 1).size, form.RichEdit2->defaultSize());
    }

    void contextRequestIsHandledOnlyForTheGroupsPane() {
        TForm13 form(testsupport::quietUpdateServer());
        bool handled = true;
        form.RichEdit2ContextPopup(form.RichEdit1, handled);
        QVERIFY(!handled);
        const int lines = form.RichEdit1->lineCount();
        form.RichEdit2ContextPopup(form.RichEdit2, handled);
        QVERIFY(handled);
        QCOMPARE(form.RichEdit1->lineCount(), lines + 1);
    }

    // --- Group sort ---

    void sortKeepsEveryLineItsLook() {
        TextPane pane;
        fillColoured(&pane, {{u"--- A ---"_qs, 0xFF0000},
                             {u"zulu"_qs, 0x0000FF},
                             {u"Bravo"_qs, 0x008000},
                             {u"alpha"_qs, 0x808080},
                             {u"bravo"_qs, 0x800000},
                             {u"--- B ---"_qs, 0xFF0000},
                             {u"y"_qs, 0x000001}});
        SortGroupInRichEdit(&pane, 0);
        const QStringList lines = pane.lines();
        QCOMPARE(lines[0], u"--- A ---"_qs);
        QCOMPARE(lines[1], u"alpha"_qs);
        QVERIFY(lines.mid(2, 2) == (QStringList{u"bravo"_qs, u"Bravo"_qs}) ||
                lines.mid(2, 2) == (QStringList{u"Bravo"_qs, u"bravo"_qs}));
        QCOMPARE(lines.mid(4), (QStringList{u"zulu"_qs, u"--- B ---"_qs, u"y"_qs}));
        const QHash<QString, QRgb> colours{{u"alpha"_qs, 0x808080},
                                           {u"Bravo"_qs, 0x008000},
                                           {u"bravo"_qs, 0x800000},
                                           {u"zulu"_qs, 0x0000FF},
                                           {u"--- B ---"_qs, 0xFF0000}};
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(lineLook(&pane, i).color, QColor(colours.value(lines[i])));
    }

    void sortEdges_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("header");
        QTest::addColumn<QString>("sorted");
        QTest::newRow("negative index") << u"--- A ---\nz\na\n"_qs << -1 << u"--- A ---\nz\na\n"_qs;
        QTest::newRow("index past the end") << u"--- A ---\nz\na\n"_qs << 3 << u"--- A ---\nz\na\n"_qs;
        QTest::newRow("empty group") << u"--- A ---\n--- B ---\nz\na\n"_qs << 0 << u"--- A ---\n--- B ---\nz\na\n"_qs;
        QTest::newRow("pane without a final line break") << u"--- A ---\nz\na"_qs << 0 << u"--- A ---\na\nz"_qs;
        QTest::newRow("duplicates and blank lines")
            << u"--- A ---\nb\n\na\nb\n   --- B ---\n"_qs << 0 << u"--- A ---\n\na\nb\nb\n   --- B ---\n"_qs;
        QTest::newRow("sorting a header-less line index sorts what follows")
            << u"z\nc\nb\n--- A ---\n"_qs << 0 << u"z\nb\nc\n--- A ---\n"_qs;
    }
    void sortEdges() {
        QFETCH(QString, text);
        QFETCH(int, header);
        QFETCH(QString, sorted);
        TextPane pane;
        pane.setPlainText(text);
        SortGroupInRichEdit(&pane, header);
        QCOMPARE(pane.toPlainText(), sorted);
    }

    // --- Delete ---

    void deleteKey_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("length");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("message");
        const QString text = u"--- A ---\nchess\nsudoku\n"_qs;
        QTest::newRow("selection over two lines deletes the first only")
            << 12 << 10 << Qt::KeyboardModifiers() << u"--- A ---\nsudoku\n"_qs
            << u"  🗑️ Line 2 deleted from the group list."_qs;
        QTest::newRow("selection on line 0 is reported as line 1")
            << 4 << 1 << Qt::KeyboardModifiers() << u"chess\nsudoku\n"_qs
            << u"  🗑️ Line 1 deleted from the group list."_qs;
        QTest::newRow("with shift held") << 17 << 2 << Qt::KeyboardModifiers(Qt::ShiftModifier)
                                         << u"--- A ---\nchess\n"_qs
                                         << u"  🗑️ Line 3 deleted from the group list."_qs;
        QTest::newRow("caret only: one character")
            << 10 << 0 << Qt::KeyboardModifiers() << u"--- A ---\nhess\nsudoku\n"_qs << QString();
    }
    void deleteKey() {
        QFETCH(int, start);
        QFETCH(int, length);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, after);
        QFETCH(QString, message);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.RichEdit2->setPlainText(u"--- A ---\nchess\nsudoku\n"_qs);
        form.RichEdit2->setFocus();
        form.RichEdit2->setSelection(start, length);
        const QStringList logBefore = form.RichEdit1->lines();
        QTest::keyClick(form.RichEdit2, Qt::Key_Delete, modifiers);
        QCOMPARE(form.RichEdit2->toPlainText(), after);
        if (message.isEmpty()) {
            QCOMPARE(form.RichEdit1->lines(), logBefore);
            return;
        }
        QCOMPARE(form.RichEdit1->lines(), logBefore + QStringList{message});
        const auto look = lineLook(form.RichEdit1, int(logBefore.size()));
        QCOMPARE(look.color, QColor(0xFF8000));
        QCOMPARE(look.size, 9);
        QVERIFY(!look.bold);
    }

    void otherKeysEditAsUsual() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.RichEdit2->setPlainText(u"abc\n"_qs);
        form.RichEdit2->setFocus();
        form.RichEdit2->setSelection(0, 2);
        QTest::keyClick(form.RichEdit2, Qt::Key_Backspace);
        QCOMPARE(form.RichEdit2->toPlainText(), u"c\n"_qs);
    }
};

QTEST_MAIN(TestGroups)
#include "tst_groups.moc"
