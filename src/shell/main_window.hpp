// The main window: folder tree, file grid and preview panel above; command tree,
// script view and parameter boxes below.
#pragma once

#include "browser/file_grid.hpp"
#include "engine/apply.hpp"
#include "engine/script.hpp"
#include "files/list_int.hpp"
#include "files/project_file.hpp"
#include "settings/environment.hpp"
#include "shell/rename_controller.hpp"

#include <QMainWindow>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QPlainTextEdit;
class QStatusBar;
class QToolButton;
class QTranslator;

namespace quorvel {

class FileListModel;
class FileSelection;
class ParameterPanel;
class RenameController;
class ScriptDocument;
class SettingsSession;
class T_Panel;
class TCommandTree;
class TEditNumber;
class TExampleList;
class TFolderTree;
class TSaveFormControlPos;
class TScriptView;
class TSplitter;
struct HotSpot;

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

    // --- State owned by the window -------------------------------------------
    RenameController* Controller = nullptr; // owns what follows
    FileListModel* FileList = nullptr;      // the files of the folder shown
    FileSelection* Selection = nullptr;     // the rows selected in the grid, and the anchor
    ScriptDocument* Script = nullptr;       // the script being edited
    bool FirstActivation = true;
    // The file the script was opened from or saved to; empty for a new script.
    const QString& ScriptFileName() const;

    // --- Controls, named as their objectName ----------------------------------
    TSplitter* Splitter3 = nullptr;
    T_Panel* Panel1 = nullptr;
    TSplitter* Splitter1 = nullptr;
    TFolderTree* ShellTreeView = nullptr;
    T_Panel* PanelVOIR = nullptr;
    QLabel* Label1 = nullptr;
    QToolButton* BtnVoir = nullptr;
    QLabel* LabExemple = nullptr;
    QLineEdit* EdFiltre = nullptr;
    TExampleList* MemoExemple = nullptr;
    TFileGrid* StringGridFiles = nullptr;
    T_Panel* Panel2 = nullptr;
    TSplitter* Splitter2 = nullptr;
    TCommandTree* TreeViewCommande = nullptr;
    T_Panel* Panel4 = nullptr;
    TScriptView* HTMLViewer = nullptr;
    T_Panel* PanelBAS = nullptr;
    QToolButton* BtnOk = nullptr;
    QLineEdit* EdString = nullptr;
    TEditNumber* EdInteger = nullptr;
    QLineEdit* EdNumber = nullptr;
    ParameterPanel* Parameters = nullptr; // shows EdInteger, EdString or EdNumber, and BtnOk
    QStatusBar* StatusBar = nullptr;
    QLabel* RunStatus = nullptr; // the line in the status bar that reports the last run

    // --- Menus and actions -----------------------------------------------------
    QMenu* MNU_File = nullptr;
    QAction* MNU_OPEN = nullptr;
    QAction* N3 = nullptr;
    QAction* MNU_SAVE = nullptr;
    QAction* MNU_SAVEAS = nullptr;
    QAction* N4 = nullptr;
    QAction* MNU_UNDO = nullptr; // takes back the last run of the folder shown
    QAction* N2 = nullptr;
    QAction* MNU_QUIT = nullptr;
    QMenu* MNU_Langage = nullptr;
    QAction* MNU_Fancais = nullptr;
    QAction* MNU_Anglais = nullptr;
    QMenu* MNU_AoutHelp = nullptr;
    QAction* MNU_Help = nullptr;
    QAction* MNU_ABOUT = nullptr;
    QMenu* PopupMenu = nullptr;
    QAction* MNU_Effacer = nullptr; // Action_Effacer, as the pop-up shows it
    QAction* MNU_ClearAll = nullptr;
    QAction* N1 = nullptr;
    QAction* MNU_Executer = nullptr; // Action_Executer, as the pop-up shows it
    QAction* Action_VoirExemple = nullptr;
    QAction* Action_Effacer = nullptr;
    QAction* Action_Executer = nullptr;
    TSaveFormControlPos* SaveFormControlPos = nullptr;

    // --- Operations --------------------------------------------------------------
    // Rescans `folder` (exact bytes) with the filter box and lists it in the grid.
    void FillFileList(const QByteArray& folder);
    void ShellTreeViewChange();

    // Opens the file of grid row `row` as the desktop would.
    void OpenFileOfRow(int row);

    void Action_VoirExempleExecute(PreviewMode mode);
    void MNU_ExecuterClick(RunMode mode);

    void MNU_QUITClick();
    void MNU_HelpClick();
    void MNU_ABOUTClick();
    void MNU_FancaisClick();
    void MNU_AnglaisClick();

    // --- Script editor ---------------------------------------------------------------
    // Writes the value of the box shown into the placeholder clicked, then previews
    // silently; a value that cannot be written stays in its box.
    void BtnOkClick();
    void MNU_OPENClick();
    void MNU_SAVEClick();
    void MNU_SAVEASClick();

    // Sets the About box shown by "A propos" (owned elsewhere).
    void SetAboutBox(QWidget* about) { aboutBox_ = about; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateComponents();
    void CreateMenus();
    void FormCreate();
    void FormClose();
    void FormActivate();
    // Offers to finish or take back a run left in the middle, if the journals hold one.
    void OfferInterruptedRun();
    void ReportRun(const RunSummary& summary);
    // Enables the actions as the script and the grid allow; follows the controller.
    void RefreshActions();
    void ApplyLanguageIndex();
    // The window's texts, Qt's and the program's messages in English or French.
    void UseLanguage(bool english);
    template <typename T> T* Own(T* component, const char* name);

    ProgramEnvironment env_;
    // The settings file, read once when the window is made and written once when it closes.
    std::unique_ptr<SettingsSession> settings_;
    QTranslator* qtTexts_ = nullptr; // Qt's own texts in the language shown
    std::vector<QObject*> components_;
    QWidget* aboutBox_ = nullptr;
};

} // namespace quorvel
