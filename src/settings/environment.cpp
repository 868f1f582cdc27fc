#include "settings/environment.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

namespace quorvel {

namespace {

// Where installed programs live: a program under one of these folders is the
// system's, whose folder is no place for one user's settings, even when the user
// is root and may write there.
bool IsSystemFolder(const QString& folder) {
    static const char* const kSystemFolders[] = {"/usr",   "/opt",   "/bin",    "/sbin", "/lib",
                                                 "/lib32", "/lib64", "/libx32", "/snap"};
    for (const char* system : kSystemFolders) {
        const QString prefix = QString::fromLatin1(system);
        if (folder == prefix || folder.startsWith(prefix + QLatin1Char('/'))) {
            return true;
        }
    }
    return false;
}

// The folder as it is reached: links followed, "." and ".." resolved; as written
// (cleaned) when it does not exist.
QString RealFolder(const QString& folder) {
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
}

} // namespace

QString SettingsFileFor(const QString& programPath) {
    const QFileInfo program(programPath);
    const QString folder = program.absolutePath();
    // A build tree or a portable copy keeps its settings beside it, when it can.
    if (!IsSystemFolder(QDir::cleanPath(folder)) && !IsSystemFolder(RealFolder(folder)) &&
        ::access(QFile::encodeName(folder).constData(), W_OK) == 0) {
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
