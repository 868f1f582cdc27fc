// What the main window's controls say to assistive technology: an accessible name
// and description for each, in the language shown. French is built in; the
// English texts are in the "Messages" block of English.lng, under the keys below.
#include "browser/file_list_model.hpp"
#include "browser/file_selection.hpp"
#include "editor/script_view.hpp"
#include "shell/main_window.hpp"
#include "shell/messages.hpp"
#include "shell/rename_controller.hpp"

#include <QLabel>

namespace quorvel {

namespace {

struct ControlTexts {
    const char* control; // objectName
    const char* nameKey; // nullptr: the control's caption is its name
    const char* name;    // built-in French
    const char* descriptionKey;
    const char* description; // built-in French
};

// The description shared by the five parameter boxes.
constexpr const char* kBoxHelp =
    "Entrée écrit la valeur dans le script, Échap ferme la case sans rien écrire";
constexpr const char* kRunHelp = "Ce qu'a fait le dernier renommage ; les échecs sont dans sa bulle";

constexpr ControlTexts kControls[] = {
    {"ShellTreeView", "ShellTreeViewName", "Dossiers", "ShellTreeViewDescription",
     "Le dossier choisi montre ses fichiers dans la grille ; F5 relit les dossiers"},
    {"EdFiltre", "EdFiltreName", "Filtre", "EdFiltreDescription",
     "Les fichiers à montrer, par exemple *.jpg ; Entrée relit le dossier"},
    {"CheckSousDossiers", nullptr, nullptr, "CheckSousDossiersDescription",
     "Montre aussi les fichiers des dossiers que contient le dossier choisi, à toute profondeur"},
    {"CheckDossiers", nullptr, nullptr, "CheckDossiersDescription",
     "Montre aussi les dossiers, pour les renommer avec les fichiers"},
    {"StringGridFiles", "StringGridFilesName", "Fichiers", "StringGridFilesDescription",
     "Flèches : ligne courante ; Espace : sélectionner ou désélectionner ; Maj+flèches : étendre la "
     "sélection ; Ctrl+A : tout sélectionner"},
    {"MemoExemple", "MemoExempleName", "Exemple", "MemoExempleDescription",
     "Les nouveaux noms des fichiers sélectionnés"},
    {"BtnVoir", nullptr, nullptr, "BtnVoirDescription",
     "Montre les nouveaux noms sous « Exemple : » (Ctrl+P)"},
    {"TreeViewCommande", "TreeViewCommandeName", "Commandes", "TreeViewCommandeDescription",
     "Entrée, Inser ou un double-clic ajoute la commande à la fin du script"},
    {"HTMLViewer", "HTMLViewerName", "Script", "HTMLViewerDescription",
     "Tab et Maj+Tab passent d'un paramètre à l'autre ; Entrée ou Espace ouvre sa case ; Suppr retire sa "
     "ligne"},
    {"EdInteger", "EdIntegerName", "Nombre entier", "ParameterBoxDescription", kBoxHelp},
    {"EdString", "EdStringName", "Texte", "ParameterBoxDescription", kBoxHelp},
    {"EdNumber", "EdNumberName", "Nombre", "ParameterBoxDescription", kBoxHelp},
    {"EdPattern", "EdPatternName", "Motif", "ParameterBoxDescription", kBoxHelp},
    {"EdTemplate", "EdTemplateName", "Modèle", "ParameterBoxDescription", kBoxHelp},
    {"BtnTemplateTokens", nullptr, nullptr, "BtnTemplateTokensDescription",
     "Met un élément du modèle à la place du curseur : le nom, le dossier, le numéro, une date…"},
    {"BtnOk", nullptr, nullptr, "BtnOkDescription", "Écrit la valeur dans le script"},
    {"StatusBar", "StatusBarName", "Ligne d'état", "RunStatusDescription", kRunHelp},
};

QString TextOf(const char* key, const char* french) {
    return messages::Translated(key, QString::fromUtf8(french));
}

} // namespace

void MainWindow::NameControls() {
    for (const ControlTexts& c : kControls) {
        auto* widget = qobject_cast<QWidget*>(FindComponent(QString::fromLatin1(c.control)));
        if (widget == nullptr) {
            continue;
        }
        if (c.nameKey != nullptr) {
            widget->setAccessibleName(TextOf(c.nameKey, c.name));
        }
        widget->setAccessibleDescription(TextOf(c.descriptionKey, c.description));
    }
    // The line of the last run says what it shows; only its description is given.
    RunStatus->setAccessibleDescription(TextOf("RunStatusDescription", kRunHelp));
    ListStatus->setAccessibleDescription(
        TextOf("ListStatusDescription",
               "Les dossiers que la liste n'a pas pu lire ; lesquels et pourquoi dans sa bulle"));
    // A selected row of the grid says so; the grid's own highlight is no selection.
    controller_->Files().SetSelectedText(&controller_->Selection().Rows(),
                                         TextOf("SelectedRow", "sélectionné"));
    HTMLViewer->SetLinkDescriptions(
        TextOf("LinkDescription",
               "Paramètre de la ligne %1 : Entrée ou Espace ouvre sa case, Suppr retire la ligne"),
        TextOf(
            "EmptyLinkDescription",
            "Paramètre sans valeur de la ligne %1 : Entrée ou Espace ouvre sa case, Suppr retire la ligne"));
}

} // namespace quorvel
