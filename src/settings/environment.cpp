#include "settings/environment.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

namespace quorvel {

QString SettingsFileFor(const QString& programPath) {
    const QFileInfo program(programPath);
    const QString folder = program.absolutePath();
    if (::access(QFile::encodeName(folder).constData(), W_OK) == 0) {
        return folder + QLatin1Char('/') + program.completeBaseName() + QStringLiteral(".ini");
    }
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || !QDir::isAbsolutePath(config)) {
        config = QDir::homePath() + QStringLiteral("/.config");
    }
    QDir().mkpath(config + QStringLiteral("/quorvel"));
    return config + QStringLiteral("/quorvel/quorvel.ini");
}

ProgramEnvironment ProgramEnvironment::ForProgramAt(const QString& programPath,
                                                    const QStringList& arguments) {
    ProgramEnvironment env;
    env.programPath = QFileInfo(programPath).absoluteFilePath();
    env.programFolder = QFileInfo(env.programPath).absolutePath();
    if (!env.programFolder.endsWith(QLatin1Char('/'))) {
        env.programFolder += QLatin1Char('/');
    }
    env.settingsFile = SettingsFileFor(env.programPath);
    env.dataFolders = {env.programFolder,
                       QDir::cleanPath(env.programFolder + QStringLiteral("../share/quorvel")) +
                           QLatin1Char('/')};
    env.arguments = arguments;
    return env;
}

ProgramEnvironment ProgramEnvironment::ForRunningProgram(const QStringList& arguments) {
    return ForProgramAt(QCoreApplication::applicationFilePath(), arguments);
}

QString ProgramEnvironment::DataFile(const QString& name) const {
    for (const QString& folder : dataFolders) {
        if (QFileInfo::exists(folder + name)) {
            return folder + name;
        }
    }
    return dataFolders.isEmpty() ? name : dataFolders.front() + name;
}

} // namespace quorvel
