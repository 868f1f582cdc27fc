#include "shell/registration.hpp"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace quorvel {

namespace {

void WriteFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(content);
        file.commit();
    }
}

// Quotes an argument of a desktop entry's Exec line.
QString ExecQuoted(const QString& path) {
    QString quoted = path;
    for (const char* special : {"\\", "\"", "`", "$"}) {
        quoted.replace(QLatin1String(special), QLatin1String("\\") + QLatin1String(special));
    }
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void RunIfPresent(const QString& tool, const QString& folder) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (!program.isEmpty()) {
        QProcess::startDetached(program, {folder});
    }
}

} // namespace

QString UserDataHome() {
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    return !data.isEmpty() && QDir::isAbsolutePath(data) ? data
                                                         : QDir::homePath() + QStringLiteral("/.local/share");
}

void RegisterScriptFileType(const QString& programPath) {
    const QString home = UserDataHome();
    const QByteArray mime =
        QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                          "  <mime-type type=\"application/x-quorvel-script\">\n"
                          "    <comment>Quorvel rename script</comment>\n"
                          "    <comment xml:lang=\"fr\">Script de renommage Quorvel</comment>\n"
                          "    <sub-class-of type=\"text/plain\"/>\n"
                          "    <glob pattern=\"*.script\"/>\n"
                          "  </mime-type>\n"
                          "</mime-info>\n");
    WriteFile(home + QStringLiteral("/mime/packages/quorvel-script.xml"), mime);

    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Quorvel\n"
                                         "GenericName=Bulk file renamer\n"
                                         "GenericName[fr]=Renommage de fichiers en masse\n"
                                         "Comment=Rename many files at once with a rename script\n"
                                         "Comment[fr]=Renomme des fichiers en masse avec un script\n"
                                         "Exec=%1 %f\n"
                                         "Icon=quorvel\n"
                                         "Terminal=false\n"
                                         "Categories=Utility;FileTools;\n"
                                         "MimeType=application/x-quorvel-script;\n")
                              .arg(ExecQuoted(programPath));
    WriteFile(home + QStringLiteral("/applications/quorvel.desktop"), entry.toUtf8());

    RunIfPresent(QStringLiteral("update-mime-database"), home + QStringLiteral("/mime"));
    RunIfPresent(QStringLiteral("update-desktop-database"), home + QStringLiteral("/applications"));
}

} // namespace quorvel
