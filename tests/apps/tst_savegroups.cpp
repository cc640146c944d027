#include "apps/groups.h"
#include "base/files.h"
#include "panedriver.h"
#include "testsupport.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using testsupport::click;
using testsupport::lineLook;

namespace {

const QStringList EnglishGuide{
    u"GUIDE: GROUPS FEATURE (RIGHT PANEL)"_qs,
    QString(),
    u"---"_qs,
    u"1. GROUP CREATION:"_qs,
    u"   -> Double-click anywhere in the right panel (RE2)."_qs,
    u"   -> Enter the name for your new group (e.g., GAMES, SYSTEM_TOOLS)."_qs,
    QString(),
    u"2. ADDING / MOVING APPLICATIONS:"_qs,
    u"   a) Double-click (✔) the applications to transfer in the left panel (RE1)."_qs,
    u"   b) Target the destination group in RE2 (click on the group header)."_qs,
    u"   c) Right-click (Context Popup) anywhere in RE2."_qs,
    u"   -> Result: The checked lines are inserted under the targeted group and sorted alphabetically."_qs,
    QString(),
    u"3. MOVE MODE:"_qs,
    u"   -> If the \"CheckBoxMove\" is checked: lines are MOVED (deleted from RE1 after transfer)."_qs,
    u"   -> If the checkbox is unchecked: lines are COPIED (they remain in RE1, unchecked)."_qs,
    QString(),
    u"4. DELETION:"_qs,
    u"   -> Select a line (app or group header) in RE2."_qs,
    u"   -> Press the DEL (Delete) key."_qs,
    QString(),
    u"5. SAVING:"_qs,
    u"   -> Click on the \"PanelSaveGroups\" button/panel."_qs,
    u"   -> RE2 content is saved to \"AppGroups.txt\"."_qs,
    u"   -> To open it again, drop AppGroups.txt on RE2 or press Ctrl+O in RE2."_qs,
    QString(),
    u"6. HOPE :"_qs,
    u"   -> Once exported to an Android phone, the text file could be used by a dedicated App to manage groups."_qs,
    u"---"_qs,
};

const QStringList FrenchGuide{
    u"GUIDE : FONCTIONNALITÉ GROUPES (PANNEAU DROIT)"_qs,
    QString(),
    u"---"_qs,
    u"1. CRÉATION DE GROUPE :"_qs,
    u"   -> Double-cliquez n'importe où dans le panneau de droite (RE2)."_qs,
    u"   -> Entrez le nom de votre nouveau groupe (ex: JEUX, SYSTÈME)."_qs,
    QString(),
    u"2. AJOUT / DÉPLACEMENT D'APPLICATIONS :"_qs,
    u"   a) Double-cliquez (✔) sur les applications à transférer dans le panneau de gauche (RE1)."_qs,
    u"   b) Ciblez le groupe de destination dans RE2 (cliquez sur l'en-tête du groupe)."_qs,
    u"   c) Effectuez un clic droit (Context Popup) n'importe où dans RE2."_qs,
    u"   -> Résultat : Les lignes cochées sont insérées sous le groupe ciblé et triées alphabétiquement."_qs,
    QString(),
    u"3. MODE DÉPLACEMENT (MOVE) :"_qs,
    u"   -> Si la case \"CheckBoxMove\" est cochée : les lignes sont DÉPLACÉES (supprimées de RE1 après transfert)."_qs,
    u"   -> Si la case est décochée : les lignes sont COPIÉES (elles restent dans RE1, décochées)."_qs,
    QString(),
    u"4. SUPPRESSION :"_qs,
    u"   -> Sélectionnez une ligne (app ou en-tête de groupe) dans RE2."_qs,
    u"   -> Appuyez sur la touche DEL (Supprimer)."_qs,
    QString(),
    u"5. SAUVEGARDE :"_qs,
    u"   -> Cliquez sur le panneau \"PanelSaveGroups\"."_qs,
    u"   -> Le contenu de RE2 est sauvegardé dans \"AppGroups.txt\"."_qs,
    u"   -> Pour le rouvrir, déposez AppGroups.txt sur RE2 ou appuyez sur Ctrl+O dans RE2."_qs,
    QString(),
    u"6. ESPOIR :"_qs,
    u"   -> Une fois exporté sur un smartphone le fichier texte pourrait être la base d'une petite App dédiée pour "
    "gérer des groupes."_qs,
    u"---"_qs,
};

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Each line of a pane with its look, so that whole panes compare.
QStringList described(const TextPane* pane) {
    QStringList lines;
    for (const auto& look : testsupport::lineLooks(pane))
        lines.append(u"%1|%2|%3|%4"_qs.arg(look.text, look.color.name()).arg(look.size).arg(look.bold ? 'b' : 'r'));
    return lines;
}

// Builds groups the way a person does: a header from the dialog, then ticked log lines brought in, into
// the selected header or appended at the end.
void buildGroups(TForm13& form, testsupport::DialogRecorder& dialogs, const QString& group, const QStringList& names,
                 bool intoSelectedHeader = true) {
    dialogs.queueAnswer(group);
    panedriver::doubleClickAt(form.RichEdit2, QPoint(100, 100));
    form.RichEdit1->clearPane();
    QStringList ticked;
    for (const QString& name : names)
        ticked.append(u"✔ "_qs + name);
    form.RichEdit1->appendLines(ticked);
    if (intoSelectedHeader)
        form.RichEdit2->setSelection(form.RichEdit2->lineStart(form.RichEdit2->lineCount() - 1), 1);
    panedriver::rightClick(form.RichEdit2);
}

} // namespace

class TestSaveGroups : public QObject {
    Q_OBJECT

    testsupport::DialogRecorder dialogs;

private Q_SLOTS:
    void init() {
        testsupport::useProfile(u"modern"_qs);
        dialogs.clear();
    }

    void withoutWorkingPathOnlyAMessageBox() {
        testsupport::FreshHome home;
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        form.RichEdit2->appendLine(u"--- A ---"_qs);
        const QStringList log = form.RichEdit1->lines();
        click(form.PanelSaveGroups);
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown().first().kind, dialogs::Kind::Message);
        QCOMPARE(dialogs.shown().first().text, u"Please connect first to initialize the working path."_qs);
        QCOMPARE(form.RichEdit1->lines(), log);
        QVERIFY(!QFile::exists(home.outputFolder()));

        click(form.RadioButtonFR);
        click(form.PanelSaveGroups);
        QCOMPARE(dialogs.shown().last().text,
                 u"Veuillez d'abord vous connecter pour initialiser le chemin de travail."_qs);
    }

    void savedWhereTheWorkingPathSays_data() {
        QTest::addColumn<bool>("trailingSeparator");
        QTest::addColumn<bool>("french");
        QTest::newRow("path without a separator") << false << false;
        QTest::newRow("path ending with a separator") << true << false;
        QTest::newRow("in French") << false << true;
    }
    void savedWhereTheWorkingPathSays() {
        QFETCH(bool, trailingSeparator);
        QFETCH(bool, french);
        QTemporaryDir dir;
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        if (french)
            click(form.RadioButtonFR);
        form.CurrentDirectory = dir.path() + (trailingSeparator ? u"/"_qs : QString());
        const QString expectedPath = dir.path() + u"/AppGroups.txt"_qs;
        QFile old(expectedPath);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("an earlier file, to be replaced");
        old.close();
        form.RichEdit2->appendLines({u"--- A ---"_qs, u"x"_qs});
        click(form.PanelSaveGroups);

        QCOMPARE(form.RichEdit1->lines().last(),
                 (french ? u"✅ Groupes d'applications sauvegardés dans: "_qs : u"✅ Application groups saved to: "_qs) +
                     QDir::toNativeSeparators(expectedPath));
        const auto look = lineLook(form.RichEdit1, form.RichEdit1->lineCount() - 1);
        QCOMPARE(look.color, QColor(0x008000));
        QCOMPARE(look.size, 9);
        QVERIFY(!look.bold);
        const QByteArray saved = readBytes(expectedPath);
        QVERIFY(saved.startsWith("{\\rtf1"));
        QVERIFY(saved.contains(" --- A ---\\par\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"AppGroups.txt"_qs});
        QCOMPARE(form.RichEdit2->lines(), (QStringList{u"--- A ---"_qs, u"x"_qs}));
        QVERIFY(dialogs.shown().isEmpty());
    }

    void missingFolderIsReportedInTheLog_data() {
        QTest::addColumn<bool>("french");
        QTest::newRow("English") << false;
        QTest::newRow("French") << true;
    }
    void missingFolderIsReportedInTheLog() {
        QFETCH(bool, french);
        QTemporaryDir dir;
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        if (french)
            click(form.RadioButtonFR);
        form.CurrentDirectory = dir.path() + u"/gone"_qs;
        form.RichEdit2->appendLine(u"--- A ---"_qs);
        click(form.PanelSaveGroups);
        const QString last = form.RichEdit1->lines().last();
        const QString prefix = french ? u"❌ Erreur lors de la sauvegarde: "_qs : u"❌ Error saving groups: "_qs;
        const QString shown = QDir::toNativeSeparators(dir.path() + u"/gone/AppGroups.txt"_qs);
        QVERIFY2(last.startsWith(prefix + (french ? u"Impossible d'écrire le fichier « "_qs + shown + u" » : "_qs
                                                  : u"Cannot write file \""_qs + shown + u"\": "_qs)),
                 qPrintable(last));
        const auto look = lineLook(form.RichEdit1, form.RichEdit1->lineCount() - 1);
        QCOMPARE(look.color, QColor(0xFF0000));
        QCOMPARE(look.size, 9);
        QVERIFY(!look.bold);
        QVERIFY(dialogs.shown().isEmpty());
        QVERIFY(!QFile::exists(dir.path() + u"/gone"_qs));
    }

    void afterConnectTheGroupsGoToTheOutputFolder() {
        testsupport::FreshHome home;
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        click(form.PanelConnect);
        QVERIFY(!form.CurrentDirectory.isEmpty());
        click(form.PanelSaveGroups);
        // An empty pane still gives a document, with no text in it.
        const QByteArray saved = readBytes(QDir(home.outputFolder()).filePath(u"AppGroups.txt"_qs));
        QVERIFY(saved.startsWith("{\\rtf1"));
        static const QRegularExpression noText(uR"(\\pard(\\[a-z]+-?\d* ?)*\}\r\n$)"_qs);
        QVERIFY2(noText.match(QString::fromLatin1(saved)).hasMatch(), saved.constData());
    }

    void guide_data() {
        QTest::addColumn<bool>("french");
        QTest::addColumn<QStringList>("guide");
        QTest::newRow("English") << false << EnglishGuide;
        QTest::newRow("French") << true << FrenchGuide;
    }
    void guide() {
        QFETCH(bool, french);
        QFETCH(QStringList, guide);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        if (french)
            click(form.RadioButtonFR);
        form.RichEdit1->appendLine(u"✔ a ticked line that goes"_qs);
        form.RichEdit1->setSelection(3, 4);
        click(form.PanelGroupsInstructions);
        QCOMPARE(form.RichEdit1->lines(), guide);
        click(form.PanelGroupsInstructions);
        QCOMPARE(form.RichEdit1->lines(), guide);

        QCOMPARE(guide.size(), 29);
        const auto title = lineLook(form.RichEdit1, 0);
        QCOMPARE(title.color, QColor(0x0000FF));
        QCOMPARE(title.size, 10);
        QVERIFY(title.bold);
        for (int i = 2; i < 29; ++i) {
            const auto look = lineLook(form.RichEdit1, i);
            QCOMPARE(look.color, QColor(Qt::black));
            QCOMPARE(look.size, 9);
            QVERIFY(!look.bold);
        }
        QCOMPARE(form.RichEdit1->selectionStart(), form.RichEdit1->textLength());
    }

    // LibreOffice reads the saved file: the pane's text comes back, accents, emoji and braces included.
    void aRealReaderGetsThePaneText() {
        const QString soffice = QStandardPaths::findExecutable(u"soffice"_qs);
        if (soffice.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QTemporaryDir dir;
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        buildGroups(form, dialogs, u"jeux vidéo"_qs, {u"ligue1"_qs, u"{braces} and \\backslash"_qs, u"Zoé 😀 ✔ €"_qs});
        buildGroups(form, dialogs, u"tools"_qs, {u"a\tb"_qs, u"waze"_qs});
        QCOMPARE(form.RichEdit2->lineCount(), 8);
        form.CurrentDirectory = dir.path();
        click(form.PanelSaveGroups);

        const QString rtfPath = QDir(dir.path()).filePath(u"groups.rtf"_qs);
        QVERIFY(QFile::copy(QDir(dir.path()).filePath(u"AppGroups.txt"_qs), rtfPath));
        QProcess lo;
        lo.start(soffice, {u"-env:UserInstallation=file://"_qs + dir.path() + u"/lo"_qs, u"--headless"_qs,
                           u"--convert-to"_qs, u"txt:Text (encoded):UTF8"_qs, u"--outdir"_qs, dir.path(), rtfPath});
        QVERIFY(lo.waitForFinished(120000));
        QFile text(QDir(dir.path()).filePath(u"groups.txt"_qs));
        QVERIFY2(text.open(QIODevice::ReadOnly), lo.readAllStandardError().constData());
        QString read = QString::fromUtf8(text.readAll());
        if (read.startsWith(u'\uFEFF'))
            read.remove(0, 1);
        read.replace(u"\r\n"_qs, u"\n"_qs);
        QCOMPARE(read, form.RichEdit2->toPlainText());

        // The file saved again by LibreOffice opens to the same lines.
        lo.start(soffice, {u"-env:UserInstallation=file://"_qs + dir.path() + u"/lo"_qs, u"--headless"_qs,
                           u"--convert-to"_qs, u"rtf"_qs, u"--outdir"_qs, dir.path() + u"/again"_qs, rtfPath});
        QVERIFY(lo.waitForFinished(120000));
        const QStringList lines = form.RichEdit2->lines();
        form.RichEdit2->clearPane();
        panedriver::dropFile(form.RichEdit2, dir.path() + u"/again/groups.rtf"_qs);
        QTRY_COMPARE(form.RichEdit2->lines(), lines);
    }

    // Groups built as the guide says, saved, the pane cleared and the file opened with Ctrl+O: the same lines
    // in the same looks, and saving again writes the same file.
    void reopenedGroupsSaveTheSameFile_data() {
        QTest::addColumn<QStringList>("names");
        QTest::newRow("é, ü, 日本, braces, tab") << QStringList{u"Zoé"_qs, u"Müller 日本"_qs, u"{x} \\ a\tb"_qs};
        QTest::newRow("empty pane") << QStringList();
    }
    void reopenedGroupsSaveTheSameFile() {
        QFETCH(QStringList, names);
        QTemporaryDir dir;
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        if (!names.isEmpty()) {
            buildGroups(form, dialogs, u"jeux vidéo"_qs, names);
            buildGroups(form, dialogs, u"outils"_qs, {u"über"_qs});
            buildGroups(form, dialogs, u"fin"_qs, {u"zz"_qs}, false);
        }
        form.CurrentDirectory = dir.path();
        click(form.PanelSaveGroups);
        const QString path = QDir(dir.path()).filePath(u"AppGroups.txt"_qs);
        const QByteArray saved = readBytes(path);
        const QStringList looks = described(form.RichEdit2);
        form.RichEdit2->clearPane();
        dialogs.clear();
        dialogs.queueAnswer(path);
        QTest::keyClick(form.RichEdit2, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(described(form.RichEdit2), looks);
        QVERIFY(form.RichEdit1->lines().contains(u"✅ Groups opened from: "_qs + QDir::toNativeSeparators(path)));
        click(form.PanelSaveGroups);
        QCOMPARE(readBytes(path), saved);
    }

    // A file dropped on the groups pane: text opens line by line, headers in the header look, once the
    // question is answered Yes; a file that cannot be groups leaves the pane as it was and says why.
    void droppedFiles_data() {
        QTest::addColumn<QByteArray>("content"); // "<folder>": a folder; "<fifo>": a FIFO; "<none>": no file at all
        QTest::addColumn<bool>("french");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("problem");
        const auto row = [](const char* what, const QByteArray& content, const QStringList& lines,
                            const QString& problem = QString(),
                            bool french = false) { QTest::newRow(what) << content << french << lines << problem; };
        row("UTF-8 with BOM, CR LF", "\xEF\xBB\xBF--- JEUX ---\r\nZoé\r\n\r\n  --- B ---\r\n",
            {u"--- JEUX ---"_qs, u"Zoé"_qs, QString(), u"  --- B ---"_qs});
        row("empty first line, LF, 8-bit, no final break", "\na\nb\xe9", {QString(), u"a"_qs, u"bé"_qs});
        row("zero byte after 4 KB", QByteArray(4096, 'a').append('\0').append('b'), {QString(4096, u'a') + u'b'});
        row("in French", "x", {u"x"_qs}, QString(), true);
        row("line and paragraph separators, frame marks", "a\u2028b\u2029c\uFDD0d\uFDD1e", {u"a b c d e"_qs});
        row("the same in RTF", "{\\rtf1 a\\u8232?b\\u8233?c\\u-560?d\\u-559?e}", {u"a b c d e"_qs});
        row("no such file", "<none>", {}, u"the file cannot be read"_qs);
        row("folder", "<folder>", {}, u"it is a folder"_qs);
#ifndef Q_OS_WIN
        row("FIFO", "<fifo>", {}, u"it is not a regular file"_qs);
#endif
        row("zero byte in the first 4 KB", QByteArray("ab\0c", 4), {},
            u"the file is not text (it holds zero bytes)"_qs);
        row("over 100,000 lines", QByteArray(100001, '\n'), {}, u"the file has more than 100,000 lines"_qs);
        row("over 5 MB", QByteArray(5 * 1024 * 1024 + 1, 'a'), {}, u"the file is larger than 5 MB"_qs);
        row("RTF group left open", "{\\rtf1 {a}", {}, u"the braces of the RTF file do not balance"_qs);
        row("RTF brace too many, French", "{\\rtf1 a}}", {}, u"les accolades du fichier RTF ne sont pas équilibrées"_qs,
            true);
    }
    void droppedFiles() {
        QFETCH(QByteArray, content);
        QFETCH(bool, french);
        QFETCH(QStringList, lines);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(u"groups.txt"_qs);
        if (content == "<folder>")
            QVERIFY(QDir().mkdir(path));
        else if (content == "<fifo>")
            QCOMPARE(QProcess::execute(u"mkfifo"_qs, {path}), 0);
        else if (content != "<none>")
            files::writeWholeFile(path, content);
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        if (french)
            click(form.RadioButtonFR);
        form.RichEdit2->appendLines({u"--- MINE ---"_qs, u"kept"_qs});
        const QStringList before = described(form.RichEdit2);
        if (problem.isEmpty())
            dialogs.queueAnswer(u"yes"_qs);
        panedriver::dropFile(form.RichEdit2, path);

        const QString result =
            problem.isEmpty() ? (french ? u"✅ Groupes ouverts depuis : "_qs : u"✅ Groups opened from: "_qs) +
                                    QDir::toNativeSeparators(path) + u"|#008000|9|r"_qs
                              : (french ? u"❌ Impossible d'ouvrir les groupes : "_qs : u"❌ Cannot open groups: "_qs) +
                                    problem + u"|#ff0000|9|r"_qs;
        QTRY_COMPARE(described(form.RichEdit1).last(), result);
        if (!problem.isEmpty()) {
            QCOMPARE(described(form.RichEdit2), before);
            QVERIFY(dialogs.shown().isEmpty());
            return;
        }
        QCOMPARE(dialogs.shown().size(), 1);
        QCOMPARE(dialogs.shown().first().text,
                 french ? u"Remplacer les groupes de droite par le contenu de ce fichier ?"_qs
                        : u"Replace the groups on the right with the content of this file?"_qs);
        QCOMPARE(form.RichEdit2->lines(), lines);
        for (const auto& line : testsupport::lineLooks(form.RichEdit2))
            QCOMPARE(line.size, apps::isGroupHeader(line.text) ? 14 : form.RichEdit2->defaultSize());
    }

    // A file dropped just as an operation starts waits for the operation's end: the pane never changes under it.
    void aDropWaitsForTheRunningOperation() {
        testsupport::useProfile(u"slowphone"_qs);
        TForm13 form(testsupport::quietUpdateServer());
        QStringList whileRunning{u"not looked at"_qs};
        QTimer::singleShot(400, &form, [&] { whileRunning = form.RichEdit2->lines(); });
        panedriver::dropFile(form.RichEdit2, testsupport::dataPath(u"apps/our-groups.rtf"_qs));
        click(form.PanelPhotoVideoNumber);
        QCOMPARE(whileRunning, QStringList());
        QVERIFY(!form.RichEdit2->lines().isEmpty());
    }

    // Ctrl+O asks for a file in the groups pane only, in the output folder while there is no working path;
    // No to the question leaves the groups as they were.
    void openKey() {
        testsupport::FreshHome home;
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(u"AppGroups.txt"_qs);
        files::writeWholeFile(path, "--- NEW ---\n");
        QVERIFY(QDir().mkpath(home.outputFolder()));
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        form.RichEdit2->appendLine(u"--- MINE ---"_qs);
        dialogs.queueAnswer(path);
        QTest::keyClick(form.RichEdit1, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(dialogs.shown().isEmpty());
        QTest::keyClick(form.RichEdit2, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(dialogs.shown().size(), 2);
        const dialogs::Request open = dialogs.shown().first();
        QCOMPARE(open.kind, dialogs::Kind::OpenFile);
        QCOMPARE(open.title, u"Open groups"_qs);
        QCOMPARE(open.defaultText, home.outputFolder());
        QCOMPARE(open.items, (QStringList{u"Groups file (AppGroups.txt)"_qs,
                                          u"Rich Text and text files (*.rtf *.txt)"_qs, u"All files (*)"_qs}));
        QCOMPARE(form.RichEdit2->lines(), QStringList{u"--- MINE ---"_qs});
        // Before the first connection the output folder does not exist: the dialog opens in its parent.
        QVERIFY(QDir(home.path()).rmdir(u"Desktop/Telvane"_qs));
        QTest::keyClick(form.RichEdit2, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(dialogs.shown().last().defaultText, QDir(home.path()).filePath(u"Desktop"_qs));
    }

    // The one run through the real dialogs: the file dialog opens in the working path with the filters, and
    // No in the real question box keeps the groups.
    void realDialogs() {
        QTemporaryDir dir;
        const QString path = QDir(dir.path()).filePath(u"AppGroups.txt"_qs);
        files::writeWholeFile(path, "x\n");
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        form.CurrentDirectory = dir.path();
        form.RichEdit2->appendLine(u"mine"_qs);
        QString folder;
        QStringList filters;
        QString question;
        QTimer watcher;
        connect(&watcher, &QTimer::timeout, this, [&] {
            if (auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
                folder = files->directory().path();
                filters = files->nameFilters();
                // The file name goes where the dialog puts the focus, its name field.
                qobject_cast<QLineEdit*>(files->focusWidget())->setText(path);
                static_cast<QDialog*>(files)->accept();
            } else if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                question = box->text();
                box->button(QMessageBox::No)->click();
            }
        });
        watcher.start(20);
        dialogs.setEnabled(false);
        QTest::keyClick(form.RichEdit2, Qt::Key_O, Qt::ControlModifier);
        dialogs.setEnabled(true);
        QCOMPARE(folder, dir.path());
        QCOMPARE(filters.size(), 3);
        QCOMPARE(question, u"Replace the groups on the right with the content of this file?"_qs);
        QCOMPARE(form.RichEdit2->lines(), QStringList{u"mine"_qs});
    }
};

QTEST_MAIN(TestSaveGroups)
#include "tst_savegroups.moc"
