// The main window's script files, the report of a run, and what it does once it
// is first on the screen: the question about the interrupted runs
// (main_window_recovery.cpp) and the script of the command line.
#include "bridge/qt_text.hpp"
#include "browser/folder_tree.hpp"
#include "editor/script_document.hpp"
#include "engine/primitives.hpp"
#include "shell/desktop.hpp"
#include "shell/main_window.hpp"
#include "shell/messages.hpp"
#include "shell/rename_controller.hpp"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>

namespace quorvel {

// --- Preview and run -------------------------------------------------------------------

void MainWindow::RefreshActions() {
    const bool ready = controller_->CanPreview();
    Action_VoirExemple->setEnabled(ready);
    Action_Executer->setEnabled(ready);
    Action_Effacer->setEnabled(controller_->CanRemoveLine());
    MNU_UNDO->setEnabled(controller_->CanUndo());
    // The order in force: one the reading of dates stopped falls back to names.
    const FileOrder order = controller_->Order();
    sortBy_[static_cast<std::size_t>(order.key)]->setChecked(true);
    MNU_Reverse->setChecked(order.reverse);
}

FileOrder MainWindow::ChosenOrder() const {
    FileOrder order;
    for (std::size_t k = 0; k < sortBy_.size(); ++k) {
        if (sortBy_[k]->isChecked()) {
            order.key = static_cast<SortKey>(k);
        }
    }
    order.reverse = MNU_Reverse->isChecked();
    return order;
}

void MainWindow::ReportRun(const RunSummary& summary) {
    lastRun_ = std::make_unique<RunSummary>(summary);
    ShowRunStatus();
}

void MainWindow::ShowRunStatus() {
    if (!lastRun_) {
        RunStatus->clear();
        RunStatus->setToolTip({});
        return;
    }
    const RunSummary& run = *lastRun_;
    const bool undo = run.work == RunSummary::Work::Undo;
    QString status;
    if (run.stopped) {
        status = undo ? messages::StoppedUndoStatus(run.renamed, run.notDone)
                      : messages::StoppedRunStatus(run.renamed, run.notDone);
        if (run.failed > 0) {
            status += messages::FailedSuffix(run.failed);
        }
    } else {
        status = undo ? messages::UndoStatus(run.renamed, run.failed)
                      : messages::RunStatus(run.renamed, run.unchanged, run.failed);
    }
    RunStatus->setText(status);
    // As markup, escaped: a tooltip that looks like markup is read as markup, and a
    // name such as "<font color=white>" would hide the failures.
    RunStatus->setToolTip(run.failures.isEmpty() ? QString()
                                                 : QStringLiteral("<p style=\"white-space:pre\">") +
                                                       run.failures.join(QLatin1Char('\n')).toHtmlEscaped() +
                                                       QStringLiteral("</p>"));
}

// --- Script files ------------------------------------------------------------------

void MainWindow::OpenScript() {
    // A changed script is saved or given up first, as when the window closes.
    if (!SettleChangedScript()) {
        return;
    }
    const QString path = Desktop().OpenFileName(this, DialogFolder(), messages::ScriptFilter());
    if (!path.isEmpty()) {
        controller_->open(path);
    }
}

bool MainWindow::SettleChangedScript() {
    if (!controller_->Script().IsModified()) {
        return true;
    }
    switch (Desktop().AskToSave(this, messages::SaveChanges())) {
    case DesktopServices::SaveAnswer::Cancel:
        return false;
    case DesktopServices::SaveAnswer::Save:
        SaveScript();
        return !controller_->Script().IsModified(); // not saved after all: nothing goes
    case DesktopServices::SaveAnswer::Discard:
        break;
    }
    return true;
}

QString MainWindow::DialogFolder() const {
    const QString shown = QFile::decodeName(ShellTreeView->CurrentFolder());
    if (!shown.isEmpty() && QFileInfo(shown).isDir()) {
        return shown;
    }
    if (!controller_->ScriptFileName().isEmpty()) {
        const QString folder = QFileInfo(controller_->ScriptFileName()).absolutePath();
        if (QFileInfo(folder).isDir()) {
            return folder;
        }
    }
    return QDir::homePath();
}

void MainWindow::SaveScript() {
    if (controller_->ScriptFileName().isEmpty()) {
        SaveScriptAs();
        return;
    }
    controller_->save(controller_->ScriptFileName());
}

void MainWindow::SaveScriptAs() {
    const QString path = Desktop().SaveFileName(this, DialogFolder(), messages::ScriptFilter());
    if (!path.isEmpty()) {
        controller_->save(ToQString(ChangeExt(FromQString(path), U".script")));
    }
}

// --- Command line ------------------------------------------------------------------

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // What the window does once it is up (the offer of an interrupted run, the
    // script of the command line) waits until it is on the screen.
    if (firstActivation_) {
        QMetaObject::invokeMethod(this, &MainWindow::FormActivate, Qt::QueuedConnection);
    }
}

void MainWindow::FormActivate() {
    if (!firstActivation_) {
        return;
    }
    firstActivation_ = false;
    OfferInterruptedRuns();
    if (!env_.givenFiles.empty()) {
        OpenFiles(env_.givenFiles);
    }
    // A folder after the script is the unattended run, which the program does
    // without a window; the window only opens the script.
    const QStringList& args = env_.arguments;
    if (args.isEmpty()) {
        return;
    }
    // Only a script is opened; one that does not exist yet is said so, and saving
    // writes it.
    controller_->open(args[0], ScriptSource::CommandLine);
}

} // namespace quorvel
