// Where the program lives and where it keeps its settings and read-only files.
#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace quorvel {

struct ProgramEnvironment {
    QString programPath;     // full path of the running program
    QString programFolder;   // its folder, ending with "/"
    QString settingsFile;    // the settings file in use
    QStringList dataFolders; // where language files and the help page are looked up, in order
    QStringList arguments;   // command line, without the program itself
    // The files to list alone (--files, --files-from), as bytes.
    std::vector<std::string> givenFiles;

    // The running program: its path from the system, its settings where
    // SettingsFileFor puts them.
    static ProgramEnvironment ForRunningProgram(const QStringList& arguments);
    // A program said to live at `programPath` (tests use a temporary folder).
    static ProgramEnvironment ForProgramAt(const QString& programPath, const QStringList& arguments);

    // The first existing file `name` in the data folders, or the name in the first
    // data folder when none exists.
    QString DataFile(const QString& name) const;
};

// The settings file for a program: beside it ("<name>.ini") when it runs from a
// folder of its own (a build tree, a portable copy) that can be written; otherwise,
// and always for a program installed under /usr, /opt, /bin, /sbin, /lib... or
// /snap (also as root, who may write there), "$XDG_CONFIG_HOME/quorvel/quorvel.ini",
// with ~/.config when XDG_CONFIG_HOME is unset, empty or relative. The folder of
// that file is made if need be.
QString SettingsFileFor(const QString& programPath);

} // namespace quorvel
