// quorvel: the desktop program.
#include "shell/about_box.hpp"
#include "shell/environment.hpp"
#include "shell/frm_main.hpp"
#include "shell/menu_images.hpp"

#include <QApplication>

int main(int argc, char** argv) {
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
