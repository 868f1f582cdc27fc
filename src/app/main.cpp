// quorvel: the desktop program.
//
//     quorvel                          opens the window
//     quorvel SCRIPT                   opens the window with the script
//     quorvel SCRIPT FOLDER [FILTER]   renames the matching files of FOLDER
//                                      with the script, without asking, and ends
#include "shell/about_box.hpp"
#include "shell/desktop.hpp"
#include "shell/environment.hpp"
#include "shell/frm_main.hpp"
#include "shell/menu_images.hpp"

#include <QApplication>
#include <cstdio>

namespace {
// Without a display only the program's own messages reach the standard error.
void QuietHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
}
} // namespace

int main(int argc, char** argv) {
    const bool unattended = argc >= 3 && argv[2][0] != '\0';
    // An unattended run needs no display: without one, it runs offscreen and says
    // what happened on the standard error.
    const bool headless = unattended && qEnvironmentVariableIsEmpty("DISPLAY") &&
                          qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (headless) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qInstallMessageHandler(QuietHandler);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    if (headless) {
        quorvel::SetDesktop(quorvel::MakeConsoleDesktop());
    }
    QApplication::setDesktopFileName(QStringLiteral("quorvel"));
    QApplication::setWindowIcon(quorvel::ProgramIcon());
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    quorvel::TFrmMain window(quorvel::ProgramEnvironment::ForRunningProgram(arguments));
    // The About box is made once, hidden, and belongs to the window.
    window.SetAboutBox(
        new quorvel::TAboutBox(window.Environment().programPath, QStringLiteral(QUORVEL_VERSION), &window));
    window.show();
    const int status = QApplication::exec();
    return unattended ? window.ExitCode() : status;
}
