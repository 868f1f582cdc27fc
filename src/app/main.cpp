// quorvel: the desktop program.
//
//     quorvel                          opens the window
//     quorvel SCRIPT                   opens the window with the script
//     quorvel SCRIPT FOLDER [FILTER]   renames the matching files of FOLDER
//                                      with the script, without asking, and ends
//
// The last form needs no display: it makes no window at all, reads its operands as
// the bytes they are, and runs exactly as quorvel-cli run does.
#include "batch/exit_status.hpp"
#include "batch/folder_run.hpp"
#include "batch/output.hpp"
#include "shell/about_box.hpp"
#include "settings/environment.hpp"
#include "shell/frm_main.hpp"
#include "look/menu_images.hpp"

#include <QApplication>
#include <new>

namespace {

int RunUnattended(int argc, char** argv) {
    quorvel::FolderRunRequest request;
    request.voice = quorvel::FolderRunRequest::Voice::Window;
    request.script = argv[1];
    request.folder = argv[2];
    request.filter = argc >= 4 ? argv[3] : "";
    try {
        return quorvel::RunScriptOnFolder(request);
    } catch (const std::bad_alloc&) {
        quorvel::Say("quorvel : mémoire insuffisante");
        return quorvel::kNoMemory;
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && argv[2][0] != '\0') {
        return RunUnattended(argc, argv);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("quorvel"));
    QApplication::setWindowIcon(quorvel::ProgramIcon());
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    quorvel::TFrmMain window(quorvel::ProgramEnvironment::ForRunningProgram(arguments));
    // The About box is made once, hidden, and belongs to the window.
    window.SetAboutBox(
        new quorvel::TAboutBox(window.Environment().programPath, QStringLiteral(QUORVEL_VERSION), &window));
    window.show();
    return QApplication::exec();
}
