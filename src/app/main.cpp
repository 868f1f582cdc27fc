// quorvel: the desktop program.
#include "shell/environment.hpp"
#include "shell/frm_main.hpp"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("quorvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();
    quorvel::TFrmMain window(quorvel::ProgramEnvironment::ForRunningProgram(arguments));
    window.show();
    return QApplication::exec();
}
