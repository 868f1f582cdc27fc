// The main window's script files, the report of a run, and what it does once it
// is first on the screen: the offer of an interrupted run and the script of the
// command line.
#include "bridge/qt_text.hpp"
#include "engine/primitives.hpp"
#include "files/recorded_runs.hpp"
#include "shell/desktop.hpp"
#include "shell/main_window.hpp"
#include "shell/messages.hpp"
#include "shell/rename_controller.hpp"

#include <QAction>
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
}

void MainWindow::ReportRun(const RunSummary& summary) {
    const QString status = messages::RunStatus(summary.renamed, summary.unchanged, summary.failed);
    RunStatus->setText(summary.stopped ? messages::RunStopped(status) : status);
    RunStatus->setToolTip(summary.failures.join(QLatin1Char('\n')));
}

// --- Script files ------------------------------------------------------------------

void MainWindow::OpenScript() {
    const QString path = Desktop().OpenFileName(this, env_.programFolder, messages::ScriptFilter());
    if (!path.isEmpty()) {
        controller_->open(path);
    }
}

void MainWindow::SaveScript() {
    if (controller_->ScriptFileName().isEmpty()) {
        SaveScriptAs();
        return;
    }
    controller_->save(controller_->ScriptFileName());
}

void MainWindow::SaveScriptAs() {
    const QString path = Desktop().SaveFileName(this, env_.programFolder, messages::ScriptFilter());
    if (!path.isEmpty()) {
        controller_->save(ToQString(ChangeExt(FromQString(path), U".script")));
    }
}

void MainWindow::OfferInterruptedRun() {
    const std::optional<Journal> run = NewestInterruptedRun(JournalFolder());
    if (!run) {
        return;
    }
    const QByteArray folder = QByteArray::fromStdString(run->folder.path);
    const QString text =
        messages::InterruptedRun(QFile::decodeName(folder), run->everRenamed, run->files.size());
    switch (Desktop().AskAboutInterruptedRun(this, text)) {
    case DesktopServices::InterruptedAnswer::Undo:
        controller_->settleInterrupted(folder, false);
        break;
    case DesktopServices::InterruptedAnswer::Finish:
        controller_->settleInterrupted(folder, true);
        break;
    case DesktopServices::InterruptedAnswer::Leave:
        break;
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
    OfferInterruptedRun();
    // A folder after the script is the unattended run, which the program does
    // without a window; the window only opens the script.
    const QStringList& args = env_.arguments;
    if (args.isEmpty()) {
        return;
    }
    if (!QFileInfo(args[0]).isFile()) {
        controller_->SetScriptFileName(args[0]);
        Desktop().ShowMessage(this, messages::MissingFile(args[0]));
        return;
    }
    controller_->open(args[0]);
}

} // namespace quorvel
