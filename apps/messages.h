#pragma once

#include "base/messages.h"

// Every text the apps list, the check marks and the groups show, English and French side by side.
namespace apps::msg {

// The apps list.
inline constexpr Message StartHeader{"--- Generating Third-Party Apps List... ---",
                                     "--- Génération de la liste des applications Tiers en cours... ---"};
inline constexpr Message LegacyNotice{
    "Legacy OS Compatibility Mode active: Generating non-system apps by subtraction (Total - System).",
    "Mode Compatibilité Anciens OS activé : Génération des apps non-système par soustraction (Total - Système)."};
inline constexpr Message StandardNotice{"Standard Mode active: Using pm list packages -3 -f (Third-Party List).",
                                        "Mode Standard activé : Utilisation de pm list packages -3 -f (Liste Tiers)."};
inline constexpr Message FileNotice{"Raw list of third-party apps written to: ",
                                    "Liste des applications tierces brute écrite dans : "};
inline constexpr Message ListHeader{"--- Cleaned and Sorted Package Names ---",
                                    "--- Noms de packages Nettoyés et Triés ---"};

// The groups pane.
inline constexpr Message GroupCaption{"Group Name", "Nom du Groupe"};
inline constexpr Message GroupPrompt{"Enter the name for the new group (e.g., GAMES, UTILITIES, VIDEOS):",
                                     "Entrez le nom du nouveau groupe (ex: JEUX, UTILITAIRES, VIDEOS):"};
inline constexpr Message GroupDefault{"NEW GROUP", "NOUVEAU GROUPE"};
inline constexpr Message NothingToTransfer{"  ❗ No checked items to transfer.",
                                           "  ❗ Aucun élément coché à transférer."};
inline constexpr Message TransferResult{"  ✅ %1 items %2 to the group.", "  ✅ %1 éléments %2 au groupe."};
inline constexpr Message Moved{"moved", "déplacés"};
inline constexpr Message Added{"added", "ajoutés"};
inline constexpr Message LineDeleted{"  🗑️ Line %1 deleted from the group list.",
                                     "  🗑️ Ligne %1 supprimée de la liste de groupes."};

// Saving and the guide.
inline constexpr Message NoWorkingPath{"Please connect first to initialize the working path.",
                                       "Veuillez d'abord vous connecter pour initialiser le chemin de travail."};
inline constexpr Message Saved{"✅ Application groups saved to: %1", "✅ Groupes d'applications sauvegardés dans: %1"};
inline constexpr Message SaveFailed{"❌ Error saving groups: %1", "❌ Erreur lors de la sauvegarde: %1"};
inline constexpr Message GuideTitle{"GUIDE: GROUPS FEATURE (RIGHT PANEL)",
                                    "GUIDE : FONCTIONNALITÉ GROUPES (PANNEAU DROIT)"};
inline constexpr Message GuideLines[] = {
    {"---", "---"},
    {"1. GROUP CREATION:", "1. CRÉATION DE GROUPE :"},
    {"   -> Double-click anywhere in the right panel (RE2).",
     "   -> Double-cliquez n'importe où dans le panneau de droite (RE2)."},
    {"   -> Enter the name for your new group (e.g., GAMES, SYSTEM_TOOLS).",
     "   -> Entrez le nom de votre nouveau groupe (ex: JEUX, SYSTÈME)."},
    {"", ""},
    {"2. ADDING / MOVING APPLICATIONS:", "2. AJOUT / DÉPLACEMENT D'APPLICATIONS :"},
    {"   a) Double-click (✔) the applications to transfer in the left panel (RE1).",
     "   a) Double-cliquez (✔) sur les applications à transférer dans le panneau de gauche (RE1)."},
    {"   b) Target the destination group in RE2 (click on the group header).",
     "   b) Ciblez le groupe de destination dans RE2 (cliquez sur l'en-tête du groupe)."},
    {"   c) Right-click (Context Popup) anywhere in RE2.",
     "   c) Effectuez un clic droit (Context Popup) n'importe où dans RE2."},
    {"   -> Result: The checked lines are inserted under the targeted group and sorted alphabetically.",
     "   -> Résultat : Les lignes cochées sont insérées sous le groupe ciblé et triées alphabétiquement."},
    {"", ""},
    {"3. MOVE MODE:", "3. MODE DÉPLACEMENT (MOVE) :"},
    {"   -> If the \"CheckBoxMove\" is checked: lines are MOVED (deleted from RE1 after transfer).",
     "   -> Si la case \"CheckBoxMove\" est cochée : les lignes sont DÉPLACÉES (supprimées de RE1 après transfert)."},
    {"   -> If the checkbox is unchecked: lines are COPIED (they remain in RE1, unchecked).",
     "   -> Si la case est décochée : les lignes sont COPIÉES (elles restent dans RE1, décochées)."},
    {"", ""},
    {"4. DELETION:", "4. SUPPRESSION :"},
    {"   -> Select a line (app or group header) in RE2.",
     "   -> Sélectionnez une ligne (app ou en-tête de groupe) dans RE2."},
    {"   -> Press the DEL (Delete) key.", "   -> Appuyez sur la touche DEL (Supprimer)."},
    {"", ""},
    {"5. SAVING:", "5. SAUVEGARDE :"},
    {"   -> Click on the \"PanelSaveGroups\" button/panel.", "   -> Cliquez sur le panneau \"PanelSaveGroups\"."},
    {"   -> RE2 content is saved to \"AppGroups.txt\".",
     "   -> Le contenu de RE2 est sauvegardé dans \"AppGroups.txt\"."},
    {"   -> To open it again, drop AppGroups.txt on RE2 or press Ctrl+O in RE2.",
     "   -> Pour le rouvrir, déposez AppGroups.txt sur RE2 ou appuyez sur Ctrl+O dans RE2."},
    {"", ""},
    {"6. HOPE :", "6. ESPOIR :"},
    {"   -> Once exported to an Android phone, the text file could be used by a dedicated App to manage groups.",
     "   -> Une fois exporté sur un smartphone le fichier texte pourrait être la base d'une petite App dédiée pour "
     "gérer des groupes."},
    {"---", "---"},
};

// Opening a groups file again.
inline constexpr Message OpenCaption{"Open groups", "Ouvrir des groupes"};
inline constexpr Message GroupsFileFilter{"Groups file (AppGroups.txt)", "Fichier de groupes (AppGroups.txt)"};
inline constexpr Message TextFilesFilter{"Rich Text and text files (*.rtf *.txt)",
                                         "Fichiers Rich Text et texte (*.rtf *.txt)"};
inline constexpr Message AllFilesFilter{"All files (*)", "Tous les fichiers (*)"};
inline constexpr Message ReplaceQuestion{"Replace the groups on the right with the content of this file?",
                                         "Remplacer les groupes de droite par le contenu de ce fichier ?"};
inline constexpr Message Opened{"✅ Groups opened from: %1", "✅ Groupes ouverts depuis : %1"};
inline constexpr Message OpenFailed{"❌ Cannot open groups: %1", "❌ Impossible d'ouvrir les groupes : %1"};
inline constexpr Message NotReadable{"the file cannot be read", "le fichier ne peut pas être lu"};
inline constexpr Message IsFolder{"it is a folder", "c'est un dossier"};
inline constexpr Message NotRegular{"it is not a regular file", "ce n'est pas un fichier ordinaire"};
inline constexpr Message TooLarge{"the file is larger than 5 MB", "le fichier dépasse 5 Mo"};
inline constexpr Message TooManyLines{"the file has more than 100,000 lines", "le fichier a plus de 100 000 lignes"};
inline constexpr Message NotText{"the file is not text (it holds zero bytes)",
                                 "le fichier n'est pas du texte (il contient des octets nuls)"};
inline constexpr Message BracesUnbalanced{"the braces of the RTF file do not balance",
                                          "les accolades du fichier RTF ne sont pas équilibrées"};

} // namespace apps::msg
