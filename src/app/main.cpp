// quorvel: the desktop program.
//
//     quorvel                          opens the window
//     quorvel SCRIPT                   opens the window with the script
//     quorvel SCRIPT FOLDER [FILTER]   renames the matching files of FOLDER
//                                      with the script, without asking, and ends
//
// The last form needs no display: it makes no window at all, reads its operands as
// the bytes they are, and runs and reports exactly as quorvel-cli run does, in the
// locale's language. The others need one, and say so when there is none.
#include "batch/exit_status.hpp"
#include "batch/folder_run.hpp"
#include "batch/output.hpp"
#include "files/run_messages.hpp"
#include "look/menu_images.hpp"
#include "settings/environment.hpp"
#include "shell/about_box.hpp"
#include "shell/main_window.hpp"

#include <QApplication>
#include <cstdlib>
#include <new>
#include <string_view>

namespace {

bool Set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

// Whether Qt can show a window: a platform that needs no display server was asked
// for, or there is an X or Wayland display to talk to. Without one Qt aborts.
bool DisplayAvailable() {
    if (const char* platforms = std::getenv("QT_QPA_PLATFORM"); platforms != nullptr && *platforms != '\0') {
        std::string_view list(platforms);
        while (!list.empty()) {
            const std::size_t end = list.find(';');
            std::string_view name = list.substr(0, end);
            name = name.substr(0, name.find(':'));
            if (!name.empty() && name != "xcb" && !name.starts_with("wayland")) {
                return true;
            }
            list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
        }
    }
    return Set("DISPLAY") || Set("WAYLAND_DISPLAY");
}

int RunUnattended(int argc, char** argv) {
    if (const std::string catalogues = quorvel::CatalogueFolderOfProgram(); !catalogues.empty()) {
        quorvel::BindMessageCatalogues(catalogues);
    }
    quorvel::SetMessageLanguage(quorvel::MessageLanguageOfEnvironment());
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
    if (!DisplayAvailable()) {
        quorvel::Say("quorvel : aucun affichage disponible");
        return quorvel::kFailures;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("quorvel"));
    QApplication::setWindowIcon(quorvel::ProgramIcon());
    // The run's messages and the engine's errors follow the language the window
    // shows (MainWindow sets it), from the catalogues beside the program.
    if (const std::string catalogues = quorvel::CatalogueFolderOfProgram(); !catalogues.empty()) {
        quorvel::BindMessageCatalogues(catalogues);
    }
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    quorvel::MainWindow window(quorvel::ProgramEnvironment::ForRunningProgram(arguments));
    // The About box is made once, hidden, and belongs to the window.
    window.SetAboutBox(
        new quorvel::TAboutBox(window.Environment().programPath, QStringLiteral(QUORVEL_VERSION), &window));
    window.show();
    return QApplication::exec();
}
