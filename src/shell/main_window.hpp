// The main window: folder tree, file grid and preview panel above; command tree,
// script view and parameter boxes below. It builds the widgets in one place,
// creates each action once (the same action in a menu, the pop-up and a button)
// and wires the views to the RenameController, which does the work. Its controls
// are found by their objectName, as the language files and the settings file name
// them.
#pragma once

#include "files/run/file_order.hpp"
#include "settings/environment.hpp"

#include <QMainWindow>
#include <array>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QTranslator;

namespace quorvel {

class ParameterPanel;
class RenameController;
class SettingsSession;
class TCommandTree;
class TExampleList;
class TFileGrid;
class TFolderTree;
class THelpWindow;
class TSaveFormControlPos;
class TScriptView;
struct RunSummary;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(ProgramEnvironment environment, QWidget* parent = nullptr);
    ~MainWindow() override;

    const ProgramEnvironment& Environment() const { return env_; }
    // Every component of the window, in the order the window creates them.
    const std::vector<QObject*>& Components() const { return components_; }
    // The component named `name` (the first in creation order), or nullptr. The
    // pop-up's items are found under their names: they are the actions they show.
    QObject* FindComponent(const QString& name) const;
    // Lists the files of `paths` (bytes) alone, all selected, as a file manager
    // hands them over, and shows their folder in the tree; says which are not there.
    void OpenFiles(const std::vector<std::string>& paths);
    // Sets the About box shown by "A propos" (owned elsewhere).
    void SetAboutBox(QWidget* about) { aboutBox_ = about; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Takes the colours of a new palette (main_window_look.cpp).
    void changeEvent(QEvent* event) override;

private:
    void CreateComponents();
    void CreateMenus();
    // Gives the panels, trees, views, grid and list the colours of the palette in
    // use (main_window_look.cpp).
    void ApplyColours();
    void ConnectViews();
    // The keyboard: shortcuts, F5, the order of Tab, and where the focus goes after
    // a parameter box (main_window_keys.cpp).
    void ConnectKeys();
    // The accessible name and description of every control, in the language shown
    // (main_window_access.cpp).
    void NameControls();
    // F5: the folder tree and the folder shown read again.
    void ReadFoldersAgain();
    void FormCreate();
    void FormClose();
    void FormActivate();
    // Rescans the folder selected in the tree with the filter box ("*.*" when empty).
    // The folder of the files given, chosen in the tree without listing it.
    void ShowGivenFolder();
    void ListSelectedFolder();
    // "Sous-dossiers" or "Renommer aussi les dossiers" changed: the folder is listed again.
    void ChangeScope();
    // Stacks the check boxes under the filter box, each as high as its caption needs
    // in the language shown, then "Exemple :" and its list down to its bottom.
    void PlaceFilterPanel();
    // The status line of the listing: how many folders below the folder chosen
    // could not be read, and which, in the language shown.
    void ShowListStatus();
    // Opens the file of grid row `row` as the desktop would.
    void OpenFileOfRow(int row);
    void OpenScript();
    // Writes the script to its file; asks for a name when it has none.
    void SaveScript();
    void SaveScriptAs();
    // Asks whether a changed script is to be saved first: true to go on (saved, or
    // its changes given up), false to keep everything as it is.
    bool SettleChangedScript();
    // Where the file dialogs start: the folder shown in the tree, else the folder of
    // the last script, else the home folder.
    QString DialogFolder() const;
    void ShowHelp();
    void ShowAbout();
    void ChooseLanguage(bool english);
    // Asks, for each run left in the middle that the journals hold, newest first,
    // what to do with it, and does it (main_window_recovery.cpp); says first which
    // journals cannot be used.
    void OfferInterruptedRuns();
    void ReportRun(const RunSummary& summary);
    // The status line: what the last run or undo did, in the language shown.
    void ShowRunStatus();
    // Enables the actions as the script and the grid allow; follows the controller.
    void RefreshActions();
    // The window's texts, Qt's and the program's messages in English or French.
    void UseLanguage(bool english);
    template <typename T> T* Own(T* component, const char* name);

    ProgramEnvironment env_;
    // The settings file, read once when the window is made and written once when it closes.
    std::unique_ptr<SettingsSession> settings_;
    QTranslator* qtTexts_ = nullptr; // Qt's own texts in the language shown
    std::vector<QObject*> components_;
    QWidget* aboutBox_ = nullptr;
    THelpWindow* help_ = nullptr; // made on the first "Aide", then shown again
    bool firstActivation_ = true;
    bool showingGivenFolder_ = false; // the tree goes to the folder of the files given

    RenameController* controller_ = nullptr; // the files, the selection and the script
    std::unique_ptr<RunSummary> lastRun_;    // what the status line reports; none after another folder
    ParameterPanel* parameters_ =
        nullptr; // shows EdInteger, EdString, EdNumber, EdPattern or EdTemplate, and BtnOk
    TSaveFormControlPos* positions_ = nullptr;

    // The controls the window still speaks to once it is built, named as their objectName.
    TFolderTree* ShellTreeView = nullptr;
    QLineEdit* EdFiltre = nullptr;
    QCheckBox* CheckSousDossiers = nullptr; // the folders below the folder chosen are listed too
    QCheckBox* CheckDossiers = nullptr;     // the folders are listed, to be renamed too
    TExampleList* MemoExemple = nullptr;
    TFileGrid* StringGridFiles = nullptr;
    TCommandTree* TreeViewCommande = nullptr;
    TScriptView* HTMLViewer = nullptr;
    QLabel* RunStatus = nullptr;  // the line in the status bar that reports the last run
    QLabel* ListStatus = nullptr; // and the folders the last listing could not read
    QMenu* PopupMenu = nullptr;
    QAction* Action_VoirExemple = nullptr;
    QAction* Action_Effacer = nullptr;  // also MNU_Effacer of the pop-up
    QAction* Action_Executer = nullptr; // also MNU_Executer of the pop-up
    QAction* MNU_UNDO = nullptr;        // takes back the last run of the folder shown
    QAction* MNU_Fancais = nullptr;
    // "Affichage": the order of the files, one key at a time, and the reverse order.
    std::array<QAction*, 4> sortBy_{}; // name, size, modification date, date taken
    QAction* MNU_Reverse = nullptr;
    // The order the menu asks for, from its items.
    FileOrder ChosenOrder() const;
    QAction* MNU_Anglais = nullptr;
};

} // namespace quorvel
