#include "app/panel.h"
#include "app/textpane.h"
#include "app/tform13.h"
#include "panedriver.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

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

// Builds groups the way a person does: a header from the dialog, then ticked log lines brought in.
void buildGroups(TForm13& form, testsupport::DialogRecorder& dialogs, const QString& group, const QStringList& names) {
    dialogs.queueAnswer(group);
    panedriver::doubleClickAt(form.RichEdit2, QPoint(100, 100));
    form.RichEdit1->clearPane();
    QStringList ticked;
    for (const QString& name : names)
        ticked.append(u"✔ "_qs + name);
    form.RichEdit1->appendLines(ticked);
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
                     expectedPath);
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
        QVERIFY2(last.startsWith(prefix + u"Cannot write file \""_qs + dir.path() + u"/gone/AppGroups.txt\": "_qs),
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

        QCOMPARE(guide.size(), 28);
        const auto title = lineLook(form.RichEdit1, 0);
        QCOMPARE(title.color, QColor(0x0000FF));
        QCOMPARE(title.size, 10);
        QVERIFY(title.bold);
        for (int i = 2; i < 28; ++i) {
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
    }
};

QTEST_MAIN(TestSaveGroups)
#include "tst_savegroups.moc"
