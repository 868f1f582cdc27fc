// The main window on the keyboard: the shortcuts of its commands, F5, the order in
// which Tab visits the controls, and the focus going back to the script view once
// a parameter box closes, so that a whole job can be done without the mouse. The
// keys of each view (the grid, the command tree, the script view, the boxes) are
// the views' own.
#include "browser/file_grid.hpp"
#include "browser/file_list_model.hpp"
#include "browser/file_selection.hpp"
#include "browser/folder_tree.hpp"
#include "editor/command_tree.hpp"
#include "editor/example_list.hpp"
#include "editor/parameter_panel.hpp"
#include "editor/script_view.hpp"
#include "shell/main_window.hpp"
#include "shell/rename_controller.hpp"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QToolButton>

namespace quorvel {

void MainWindow::ConnectKeys() {
    const auto action = [this](const char* name) { return qobject_cast<QAction*>(FindComponent(name)); };
    action("MNU_OPEN")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    action("MNU_SAVE")->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    action("MNU_SAVEAS")->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    Action_VoirExemple->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    Action_Executer->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
    auto* Action_Relire = Own(new QAction(this), "Action_Relire");
    Action_Relire->setShortcut(QKeySequence(Qt::Key_F5));
    addAction(Action_Relire);
    connect(Action_Relire, &QAction::triggered, this, &MainWindow::ReadFoldersAgain);

    // A command chosen in the tree goes where a dropped one goes.
    connect(TreeViewCommande, &TCommandTree::commandChosen, HTMLViewer, &TScriptView::commandDropped);
    connect(HTMLViewer, &TScriptView::lineRemovalRequested, controller_, &RenameController::removeLine);
    // Shift and a move key in the grid extend the selection from the anchor.
    connect(StringGridFiles, &TFileGrid::extendRequested, &controller_->Selection(),
            &FileSelection::ExtendTo);
    // Once a box is closed, by Enter, OK or Escape, the keyboard is back on the
    // placeholder it was opened for.
    const auto backToScript = [this] {
        HTMLViewer->FocusPlaceholder(controller_->ClickedLine(), controller_->ClickedSlot());
    };
    connect(controller_, &RenameController::valueAccepted, HTMLViewer, backToScript);
    connect(parameters_, &ParameterPanel::cancelled, HTMLViewer, backToScript);

    // Tab goes the way of a job: the folder, the filter and what is listed, the
    // files, the new names, the commands, the script and its parameter box.
    const auto widget = [this](const char* name) { return qobject_cast<QWidget*>(FindComponent(name)); };
    QWidget* order[] = {ShellTreeView,
                        EdFiltre,
                        CheckSousDossiers,
                        CheckDossiers,
                        StringGridFiles,
                        MemoExemple,
                        widget("BtnVoir"),
                        TreeViewCommande,
                        HTMLViewer,
                        widget("EdInteger"),
                        widget("EdString"),
                        widget("EdNumber"),
                        widget("EdPattern"),
                        widget("EdTemplate"),
                        widget("BtnTemplateTokens"),
                        widget("BtnOk")};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }
}

void MainWindow::ReadFoldersAgain() {
    ShellTreeView->Refresh();
    ListSelectedFolder();
}

} // namespace quorvel
