#include "testsupport.h"
#include "ui/panel.h"
#include "ui/textpane.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

using testsupport::click;
using testsupport::lineLooks;

namespace {

const QStringList EnglishInstructions{
    u"--- Instructions for using ADB (Android Debug Bridge): ---"_qs,
    u"- Ensure adb.exe is next to the exe or available in PATH."_qs,
    u"- Enable USB Debugging, unplug the phone, plug it back in, and accept the ADB key."_qs,
    u"- Note: In case of strange behaviour, check on the phone if USB Debugging is not disconnected!"_qs,
    u"- Check \"Essentials\" to filter out low-level technical noise."_qs,
    u"- Use the buttons to generate RAW / CSV files."_qs,
};
const QStringList FrenchInstructions{
    u"--- Instructions pour utiliser ADB (Pont de Débogage Android) : ---"_qs,
    u"- Verifiez que adb.exe est dans le meme dossier que l'exe ou dans le PATH."_qs,
    u"- Activez USB Debug, débranchez le telephone, rebranchez le et acceptez la clef ADB."_qs,
    u"- Note: En cas de comportement etrange, verifier sur le telephone que l'USB Debugging n'est pas deconnecte!"_qs,
    u"- Cochez \"Essentials\" pour filtrer les infos techniques."_qs,
    u"- Utilisez les boutons pour RAW/CSV."_qs,
};

QString captionOf(QWidget* w) {
    if (auto* panel = qobject_cast<Panel*>(w))
        return panel->caption();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return button->text();
    return QString();
}

} // namespace

class TestWindow : public QObject {
    Q_OBJECT

    testsupport::DialogRecorder dialogs;

private Q_SLOTS:
    void controlsAtTheirPlaceWithStartCaptions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("french");
        const struct {
            const char* name;
            QRect rect;
            const char* caption;
            const char* french;
        } table[] = {
            {"RichEdit1", {0, 8, 664, 472}, "", ""},
            {"PanelInstructions", {8, 502, 105, 25}, "Instructions ADB", "Instructions ADB"},
            {"PanelRawDump", {272, 502, 144, 25}, "Generate RAW Dump (TXT)", "Générer RAW Dump (TXT)"},
            {"PanelCSVLibreOffice",
             {8, 533, 408, 25},
             "CSV (LibreOffice / Semicolon)",
             "CSV (LibreOffice / Point-virgule)"},
            {"PanelCSVExcel", {8, 564, 408, 25}, "CSV (Excel / Comma)", "CSV (Excel / Virgule)"},
            {"PanelPhoneReport", {8, 595, 258, 25}, "Phone report", "Rapport du téléphone"},
            {"RadioButtonFR", {564, 506, 100, 25}, "Français", "Français"},
            {"RadioButtonEN", {432, 506, 100, 25}, "English", "English"},
            {"CheckBoxVerbose", {432, 567, 113, 22}, "Verbose Output", "Sortie Détaillée"},
            {"CheckBoxEssentials", {432, 533, 224, 21}, "Essentials", "Essentiels"},
            {"PanelClearEdit", {567, 564, 97, 25}, "Clear Memo", "Effacer la Sortie"},
            {"PanelUpdate", {599, 8, 65, 25}, "!!UPDATE!!", "!!UPDATE!!"},
            {"PanelGenerateAppsList",
             {231, 693, 185, 25},
             "Generate Third-Party Apps List",
             "Générer Liste Applications Tiers"},
            {"PanelConnect", {119, 503, 147, 24}, "Connect Device (ADB)", "Connecter Appareil (ADB)"},
            {"PanelWifi", {272, 595, 144, 25}, "Wi-Fi", "Wi-Fi"},
            {"CheckBoxOldAndroid",
             {128, 634, 201, 25},
             "Compatibility Mode (Legacy OS)",
             "Mode Compatibilité (Anciens OS)"},
            {"PanelDiskSpaceGlobal", {24, 665, 185, 22}, "Global Disk Space (df)", "Espace Disque Global (df)"},
            {"PanelDiskSpaceAppsMedia", {231, 665, 185, 22}, "Apps/Media Space (du)", "Espace Apps/Médias (du)"},
            {"PanelPhotoVideoNumber", {24, 693, 185, 22}, "Photo/Video Count [Root]", "Décompte Photos/Vidéos [Root]"},
            {"RichEdit2", {670, 8, 568, 728}, "", ""},
            {"PanelSaveGroups", {432, 663, 121, 22}, "Save Groups", "Sauvegarder Groupes"},
            {"CheckBoxMove", {567, 638, 97, 17}, "Move", "Déplacer"},
            {"PanelGroupsInstructions", {432, 634, 121, 23}, "Groups Instructions", "Instructions Groupes"},
            {"Image321", {599, 661, 41, 41}, "", ""},
        };
        for (const auto& row : table)
            QTest::newRow(row.name) << QString::fromLatin1(row.name) << row.rect << QString::fromUtf8(row.caption)
                                    << QString::fromUtf8(row.french);
    }
    void controlsAtTheirPlaceWithStartCaptions() {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, caption);
        QFETCH(QString, french);
        TForm13 form(testsupport::quietUpdateServer());
        auto* control = form.findChild<QWidget*>(name);
        QVERIFY2(control, qPrintable(u"no control named "_qs + name));
        QCOMPARE(control->geometry(), geometry);
        QCOMPARE(captionOf(control), caption);
        form.RadioButtonFR->setChecked(true);
        QCOMPARE(captionOf(control), french);
    }

    void startState() {
        TForm13 form(testsupport::quietUpdateServer());
        QCOMPARE(Form13, &form);
        QCOMPARE(form.width(), 1246);
        QCOMPARE(form.height(), 744);
        QVERIFY(form.windowTitle().startsWith(u"Telvane V2.0.16"_qs));
        QCOMPARE(form.windowIcon().pixmap(256).toImage(), QImage(u":/icons/256x256/apps/net.telvane.Telvane.png"_qs)
                                                              .convertToFormat(QImage::Format_ARGB32_Premultiplied));
        QVERIFY(!form.LangFR);
        QVERIFY(form.RadioButtonEN->isChecked());
        QVERIFY(!form.RadioButtonFR->isChecked());
        for (QCheckBox* box :
             {form.CheckBoxVerbose, form.CheckBoxEssentials, form.CheckBoxOldAndroid, form.CheckBoxMove})
            QVERIFY(!box->isChecked());
        QVERIFY(form.CurrentDirectory.isEmpty());
        QCOMPARE(form.RichEdit2->lineCount(), 0);
        QVERIFY(form.RichEdit1->isReadOnly());
        QVERIFY(!form.RichEdit2->isReadOnly());
        QCOMPARE(form.TimerUpdate->interval(), 2000);
        const QString family = QFontDatabase::hasFamily(u"Segoe UI"_qs)
                                   ? u"Segoe UI"_qs
                                   : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
        QCOMPARE(form.font().family(), family);
        QCOMPARE(form.font().pointSize(), 8);
    }

    void instructionBlockIsBlueBoldTen() {
        TForm13 form(testsupport::quietUpdateServer());
        QCOMPARE(form.RichEdit1->lines(), EnglishInstructions);
        for (const auto& look : lineLooks(form.RichEdit1)) {
            QCOMPARE(look.color, QColor(0x0000FF));
            QCOMPARE(look.size, 10);
            QVERIFY(look.bold);
        }
    }

    void switchingLanguageRewritesLogAndCaptions() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        form.RichEdit1->appendLine(u"result of an earlier operation"_qs);
        form.RichEdit2->appendLine(u"--- GAMES ---"_qs);
        click(form.RadioButtonFR);
        QVERIFY(form.LangFR);
        QCOMPARE(form.RichEdit1->lines(), FrenchInstructions);
        QCOMPARE(form.PanelConnect->caption(), u"Connecter Appareil (ADB)"_qs);
        QCOMPARE(form.PanelInstructions->caption(), u"Instructions ADB"_qs);
        QCOMPARE(form.PanelClearEdit->caption(), u"Effacer la Sortie"_qs);
        QCOMPARE(form.CheckBoxOldAndroid->text(), u"Mode Compatibilité (Anciens OS)"_qs);
        QCOMPARE(form.RadioButtonFR->text(), u"Français"_qs);
        QCOMPARE(form.RadioButtonEN->text(), u"English"_qs);
        QCOMPARE(form.RichEdit2->lines(), QStringList{u"--- GAMES ---"_qs});

        // A click on the button already selected changes nothing.
        form.RichEdit1->appendLine(u"kept"_qs);
        click(form.RadioButtonFR);
        QCOMPARE(form.RichEdit1->lines().last(), u"kept"_qs);

        click(form.RadioButtonEN);
        QVERIFY(!form.LangFR);
        QCOMPARE(form.RichEdit1->lines(), EnglishInstructions);
        QCOMPARE(form.PanelClearEdit->caption(), u"Clear Memo"_qs);
    }

    void instructionsPanelShowsTheBlockAlone() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        form.RichEdit1->appendLine(u"something"_qs);
        click(form.PanelInstructions);
        QCOMPARE(form.RichEdit1->lines(), EnglishInstructions);
    }

    void clearMemoLeavesTheGroupsPane() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        form.RichEdit2->appendLines({u"--- GAMES ---"_qs, u"chess"_qs});
        click(form.PanelClearEdit);
        QCOMPARE(form.RichEdit1->lineCount(), 0);
        QCOMPARE(form.RichEdit2->lines(), (QStringList{u"--- GAMES ---"_qs, u"chess"_qs}));
    }

    void panelsWorkFromTheKeyboard() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.RichEdit1->clearPane();
        form.PanelInstructions->setFocus();
        QTest::keyClick(form.PanelInstructions, Qt::Key_Space);
        QCOMPARE(form.RichEdit1->lines(), EnglishInstructions);
        // A press released outside the panel is no click.
        form.RichEdit1->clearPane();
        QTest::mousePress(form.PanelInstructions, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseRelease(form.PanelInstructions, Qt::LeftButton, {}, QPoint(5, 60));
        QCOMPARE(form.RichEdit1->lineCount(), 0);
    }

    void tabOrderFollowsTheControlTable() {
        TForm13 form(testsupport::quietUpdateServer());
        const QStringList expected{u"RichEdit1"_qs,
                                   u"PanelInstructions"_qs,
                                   u"PanelRawDump"_qs,
                                   u"PanelCSVLibreOffice"_qs,
                                   u"PanelCSVExcel"_qs,
                                   u"PanelPhoneReport"_qs,
                                   u"RadioButtonFR"_qs,
                                   u"RadioButtonEN"_qs,
                                   u"CheckBoxVerbose"_qs,
                                   u"CheckBoxEssentials"_qs,
                                   u"PanelClearEdit"_qs,
                                   u"PanelUpdate"_qs,
                                   u"PanelGenerateAppsList"_qs,
                                   u"PanelConnect"_qs,
                                   u"PanelWifi"_qs,
                                   u"CheckBoxOldAndroid"_qs,
                                   u"PanelDiskSpaceGlobal"_qs,
                                   u"PanelDiskSpaceAppsMedia"_qs,
                                   u"PanelPhotoVideoNumber"_qs,
                                   u"RichEdit2"_qs,
                                   u"PanelSaveGroups"_qs,
                                   u"CheckBoxMove"_qs,
                                   u"PanelGroupsInstructions"_qs};
        QWidget* w = form.RichEdit1;
        for (const QString& name : expected) {
            QCOMPARE(w->objectName(), name);
            do // the panes' own viewports sit in the chain too
                w = w->nextInFocusChain();
            while (w->parentWidget() != &form);
        }
    }

    void escapingErrorIsReportedAndTheProgramGoesOn() {
        TForm13 form(testsupport::quietUpdateServer());
        dialogs.clear();
        form.guard([] { throw TelvaneError(u"Cannot write file \"x.csv\": Permission denied"_qs); });
        form.guard([] { throw std::runtime_error("plain failure!"); });
        QCOMPARE(dialogs.errors(),
                 (QStringList{u"Cannot write file \"x.csv\": Permission denied."_qs, u"plain failure!"_qs}));
        QCOMPARE(dialogs.shown().first().title, u"Telvane"_qs);
        QCOMPARE(form.RichEdit1->lines(), EnglishInstructions);
    }

    void gradientCoversTheWindowOnceShown() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.Image321->geometry(), QRect(0, 0, 1246, 744));
        const QImage image = form.Image321->pixmap().toImage();
        QCOMPARE(image.pixelColor(0, 0), QColor(0, 128, 128));
        QCOMPARE(form.children().indexOf(form.Image321), 0); // behind every other control
    }

    void emptyClientAreaLeavesTheImageUndrawn() {
        TForm13 form(testsupport::quietUpdateServer());
        form.resize(0, 744);
        form.UpdateGradient();
        QCOMPARE(form.Image321->geometry(), QRect(599, 661, 41, 41));
        QVERIFY(form.Image321->pixmap().isNull());
    }

    void resizingMovesNoControl() {
        TForm13 form(testsupport::quietUpdateServer());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.resize(1400, 900);
        QCoreApplication::processEvents();
        QCOMPARE(form.PanelConnect->geometry(), QRect(119, 503, 147, 24));
        QCOMPARE(form.RichEdit2->geometry(), QRect(670, 8, 568, 728));
        QCOMPARE(form.Image321->geometry(), QRect(0, 0, 1246, 744)); // the gradient is not painted again
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
