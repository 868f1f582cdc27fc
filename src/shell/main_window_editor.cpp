// The main window's script editor: the script view, commands dropped and removed,
// parameter entry, preview and run, script files and the command line.
#include "bridge/qt_text.hpp"
#include "browser/file_list_model.hpp"
#include "browser/file_selection.hpp"
#include "editor/command_tree.hpp"
#include "editor/edit_number.hpp"
#include "editor/example_list.hpp"
#include "editor/parameter_panel.hpp"
#include "editor/script_document.hpp"
#include "editor/script_html.hpp"
#include "editor/script_view.hpp"
#include "engine/catalogue.hpp"
#include "engine/codec.hpp"
#include "engine/primitives.hpp"
#include "files/recorded_runs.hpp"
#include "shell/desktop.hpp"
#include "shell/main_window.hpp"
#include "shell/messages.hpp"
#include "shell/rename_controller.hpp"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolButton>

namespace quorvel {

// --- Parameter entry -----------------------------------------------------------------

void MainWindow::BtnOkClick() {
    Parameters->enter();
}

// --- Preview and run -------------------------------------------------------------------

void MainWindow::RefreshActions() {
    const bool ready = Controller->CanPreview();
    Action_VoirExemple->setEnabled(ready);
    Action_Executer->setEnabled(ready);
    Action_Effacer->setEnabled(Controller->CanRemoveLine());
    MNU_UNDO->setEnabled(Controller->CanUndo());
}

void MainWindow::Action_VoirExempleExecute(PreviewMode mode) {
    Controller->preview(mode);
}

void MainWindow::MNU_ExecuterClick(RunMode mode) {
    Controller->run(mode);
}

void MainWindow::ReportRun(const RunSummary& summary) {
    const QString status = messages::RunStatus(summary.renamed, summary.unchanged, summary.failed);
    RunStatus->setText(summary.stopped ? messages::RunStopped(status) : status);
    RunStatus->setToolTip(summary.failures.join(QLatin1Char('\n')));
}

// --- Script files ------------------------------------------------------------------

void MainWindow::MNU_OPENClick() {
    const QString path = Desktop().OpenFileName(this, env_.programFolder, messages::ScriptFilter());
    if (!path.isEmpty()) {
        Controller->open(path);
    }
}

void MainWindow::MNU_SAVEClick() {
    if (ScriptFileName().isEmpty()) {
        MNU_SAVEASClick();
        return;
    }
    Controller->save(ScriptFileName());
}

void MainWindow::MNU_SAVEASClick() {
    const QString path = Desktop().SaveFileName(this, env_.programFolder, messages::ScriptFilter());
    if (!path.isEmpty()) {
        Controller->save(ToQString(ChangeExt(FromQString(path), U".script")));
    }
}

const QString& MainWindow::ScriptFileName() const {
    return Controller->ScriptFileName();
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
        Controller->settleInterrupted(folder, false);
        break;
    case DesktopServices::InterruptedAnswer::Finish:
        Controller->settleInterrupted(folder, true);
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
    if (FirstActivation) {
        QMetaObject::invokeMethod(this, &MainWindow::FormActivate, Qt::QueuedConnection);
    }
}

void MainWindow::FormActivate() {
    if (!FirstActivation) {
        return;
    }
    FirstActivation = false;
    OfferInterruptedRun();
    // A folder after the script is the unattended run, which the program does
    // without a window; the window only opens the script.
    const QStringList& args = env_.arguments;
    if (args.isEmpty()) {
        return;
    }
    if (!QFileInfo(args[0]).isFile()) {
        Controller->SetScriptFileName(args[0]);
        Desktop().ShowMessage(this, messages::MissingFile(args[0]));
        return;
    }
    Controller->open(args[0]);
}

} // namespace quorvel
