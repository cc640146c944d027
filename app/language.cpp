#include "app/tform13.h"

#include "ui/panel.h"
#include "ui/textpane.h"

#include <QCheckBox>

namespace {

const Message InstructionsTitle{"--- Instructions for using ADB (Android Debug Bridge): ---",
                                "--- Instructions pour utiliser ADB (Pont de Débogage Android) : ---"};
const Message InstructionLines[] = {
    {"- Ensure adb.exe is next to the exe or available in PATH.",
     "- Verifiez que adb.exe est dans le meme dossier que l'exe ou dans le PATH."},
    {"- Enable USB Debugging, unplug the phone, plug it back in, and accept the ADB key.",
     "- Activez USB Debug, débranchez le telephone, rebranchez le et acceptez la clef ADB."},
    {"- Note: In case of strange behaviour, check on the phone if USB Debugging is not disconnected!",
     "- Note: En cas de comportement etrange, verifier sur le telephone que l'USB Debugging n'est pas deconnecte!"},
    {"- Check \"Essentials\" to filter out low-level technical noise.",
     "- Cochez \"Essentials\" pour filtrer les infos techniques."},
    {"- Use the buttons to generate RAW / CSV files.", "- Utilisez les boutons pour RAW/CSV."},
};

} // namespace

QString IIf(bool Condition, const QString& TrueResult, const QString& FalseResult) {
    return Condition ? TrueResult : FalseResult;
}

void TForm13::RadioButtonFRClick() {
    LangFR = true;
    UpdateLanguage();
}

void TForm13::RadioButtonENClick() {
    LangFR = false;
    UpdateLanguage();
}

void TForm13::UpdateLanguage() {
    WriteInstructions();
    UpdatePanelTexts();
}

void TForm13::UpdatePanelTexts() {
    const struct {
        Panel* panel;
        Message caption;
    } panels[] = {
        {PanelConnect, {"Connect Device (ADB)", "Connecter Appareil (ADB)"}},
        {PanelWifi, {"Wi-Fi", "Wi-Fi"}},
        {PanelClearEdit, {"Clear Memo", "Effacer la Sortie"}},
        {PanelInstructions, {"Instructions ADB", "Instructions ADB"}},
        {PanelRawDump, {"Generate RAW Dump (TXT)", "Générer RAW Dump (TXT)"}},
        {PanelCSVLibreOffice, {"CSV (LibreOffice / Semicolon)", "CSV (LibreOffice / Point-virgule)"}},
        {PanelCSVExcel, {"CSV (Excel / Comma)", "CSV (Excel / Virgule)"}},
        {PanelPhoneReport, {"Phone report", "Rapport du téléphone"}},
        {PanelDiskSpaceGlobal, {"Global Disk Space (df)", "Espace Disque Global (df)"}},
        {PanelDiskSpaceAppsMedia, {"Apps/Media Space (du)", "Espace Apps/Médias (du)"}},
        {PanelPhotoVideoNumber, {"Photo/Video Count [Root]", "Décompte Photos/Vidéos [Root]"}},
        {PanelGenerateAppsList, {"Generate Third-Party Apps List", "Générer Liste Applications Tiers"}},
        {PanelGroupsInstructions, {"Groups Instructions", "Instructions Groupes"}},
        {PanelSaveGroups, {"Save Groups", "Sauvegarder Groupes"}},
    };
    for (const auto& p : panels)
        p.panel->setCaption(text(p.caption));

    const struct {
        QCheckBox* box;
        Message caption;
    } boxes[] = {
        {CheckBoxMove, {"Move", "Déplacer"}},
        {CheckBoxVerbose, {"Verbose Output", "Sortie Détaillée"}},
        {CheckBoxEssentials, {"Essentials", "Essentiels"}},
        {CheckBoxOldAndroid, {"Compatibility Mode (Legacy OS)", "Mode Compatibilité (Anciens OS)"}},
    };
    for (const auto& b : boxes)
        b.box->setText(text(b.caption));
}

void TForm13::WriteInstructions() {
    RichEdit1->clearPane();
    writeLine(text(InstructionsTitle), {logcolor::Blue, 10, true});
    for (const Message& line : InstructionLines)
        RichEdit1->appendLine(text(line));
}

void TForm13::PanelInstructionsClick() {
    RichEdit1->clearPane();
    WriteInstructions();
}
