// quorvel: the desktop program.
//
//     quorvel                          opens the window
//     quorvel SCRIPT                   opens the window with the script
//     quorvel SCRIPT FOLDER [FILTER]   renames the matching files of FOLDER
//                                      with the script, without asking, and ends
//     quorvel [SCRIPT] --files FILE... opens the window with those files alone
//     quorvel [SCRIPT] --files-from LIST  the same, their paths in LIST (NUL
//                                      separated; "-" is the standard input)
//     quorvel --help | --version       prints the help or the version and ends
//
// The last two forms need no display: they make no window at all; the unattended
// run reads its operands as the bytes they are, and runs and reports exactly as
// quorvel-cli run does, in the locale's language. The others need one, and say so
// when there is none. Qt's own options ("-style fusion") are for the window and
// never count as operands; "--" ends the options.
#include "app/command_line.hpp"
#include "app/messages.hpp"
#include "batch/exit_status.hpp"
#include "batch/folder_run.hpp"
#include "batch/output.hpp"
#include "engine/descriptor_io.hpp"
#include "engine/unique_fd.hpp"
#include "files/run/run_messages.hpp"
#include "files/text/shown_name.hpp"
#include "look/menu_images.hpp"
#include "settings/environment.hpp"
#include "shell/about_box.hpp"
#include "shell/main_window.hpp"

#include <QApplication>
#include <QFile>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace {

bool Set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

// Whether Qt can show a window on one of `platforms` (separated by ";"): a
// platform that needs no display server, or an X or Wayland display to talk to.
// Without one Qt aborts.
bool DisplayAvailable(std::string_view platforms) {
    while (!platforms.empty()) {
        const std::size_t end = platforms.find(';');
        std::string_view name = platforms.substr(0, end);
        name = name.substr(0, name.find(':'));
        if (!name.empty() && name != "xcb" && !name.starts_with("wayland")) {
            return true;
        }
        platforms = end == std::string_view::npos ? std::string_view() : platforms.substr(end + 1);
    }
    return Set("DISPLAY") || Set("WAYLAND_DISPLAY");
}

// The messages in the language of the locale, from the catalogues beside the program.
void SpeakTheLanguageOfTheLocale() {
    if (const std::string catalogues = quorvel::CatalogueFolderOfProgram(); !catalogues.empty()) {
        quorvel::BindMessageCatalogues(catalogues);
    }
    quorvel::SetMessageLanguage(quorvel::MessageLanguageOfEnvironment());
}

int Print(std::string_view text) {
    quorvel::Output out(STDOUT_FILENO);
    out.Write(text);
    return out.Flush() ? quorvel::kOk : quorvel::kOutputError;
}

int RunUnattended(const std::vector<std::string>& operands) {
    SpeakTheLanguageOfTheLocale();
    quorvel::FolderRunRequest request;
    request.voice = quorvel::FolderRunRequest::Voice::Window;
    request.script = operands[0];
    request.folder = quorvel::FolderPath(operands[1]);
    request.filter = operands.size() >= 3 ? std::string_view(operands[2]) : std::string_view();
    try {
        return quorvel::RunScriptOnFolder(request);
    } catch (const std::bad_alloc&) {
        quorvel::Say("quorvel : mémoire insuffisante");
        return quorvel::kNoMemory;
    }
}

// The paths of a list of files, separated by NUL bytes (an empty one names
// nothing), appended to `paths`; false once said why the list cannot be read.
bool ReadFileList(const std::string& list, std::vector<std::string>& paths) {
    constexpr std::size_t kMost = std::size_t{256} << 20;
    const bool standardInput = list == "-";
    quorvel::UniqueFd fd;
    if (!standardInput) {
        fd = quorvel::UniqueFd(::open(list.c_str(), O_RDONLY | O_CLOEXEC));
    }
    const std::string shown =
        standardInput ? std::string(quorvel::Tr("entrée standard")) : quorvel::Quoted(list);
    if (!standardInput && !fd.Valid()) {
        quorvel::Say(quorvel::FormatText(quorvel::Tr("liste illisible : %s : %s"),
                                         {shown, quorvel::RenameErrorText(errno)}));
        return false;
    }
    const quorvel::ReadBytes read = quorvel::ReadAll(standardInput ? STDIN_FILENO : fd.Get(), kMost);
    if (read.error != 0 || read.bytes.size() > kMost) {
        quorvel::Say(
            quorvel::FormatText(quorvel::Tr("liste illisible : %s : %s"),
                                {shown, quorvel::RenameErrorText(read.error != 0 ? read.error : EFBIG)}));
        return false;
    }
    std::size_t start = 0;
    while (start < read.bytes.size()) {
        std::size_t end = read.bytes.find('\0', start);
        if (end == std::string::npos) {
            end = read.bytes.size();
        }
        if (end > start) {
            paths.push_back(read.bytes.substr(start, end - start));
        }
        start = end + 1;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const quorvel::WindowCommandLine line = quorvel::ReadWindowCommandLine(argc, argv);
    if (line.help) {
        SpeakTheLanguageOfTheLocale();
        return Print(quorvel::Tr(quorvel::app::kUsageText));
    }
    if (line.version) {
        return Print("quorvel " QUORVEL_VERSION "\n");
    }
    const bool filesGiven = line.filesGiven || !line.filesFrom.empty();
    if (line.listMissing) {
        SpeakTheLanguageOfTheLocale();
        quorvel::Say(quorvel::Tr("quorvel : --files-from attend une LISTE"));
        return quorvel::kUsage;
    }
    if (filesGiven && line.operands.size() >= 2) {
        SpeakTheLanguageOfTheLocale();
        quorvel::Say(quorvel::Tr("quorvel : avec --files ou --files-from, seul un SCRIPT est accepté"));
        return quorvel::kUsage;
    }
    if (line.operands.size() >= 2 && !line.operands[1].empty()) {
        return RunUnattended(line.operands);
    }
    if (!DisplayAvailable(line.platform)) {
        quorvel::Say("quorvel : aucun affichage disponible");
        return quorvel::kFailures;
    }
    std::vector<std::string> files;
    if (!line.filesFrom.empty()) {
        SpeakTheLanguageOfTheLocale();
        if (!ReadFileList(line.filesFrom, files)) {
            return quorvel::kCannotOpen;
        }
    }
    files.insert(files.end(), line.files.begin(), line.files.end());
    // Qt reads its options from the arguments as they were given, up to "--": what
    // follows is the operands' alone.
    int qtArgc = line.qtArgumentCount;
    std::vector<char*> qtArgv(argv, argv + qtArgc);
    qtArgv.push_back(nullptr);
    QApplication app(qtArgc, qtArgv.data());
    QApplication::setApplicationName(QStringLiteral("quorvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("quorvel"));
    QApplication::setWindowIcon(quorvel::ProgramIcon());
    // The run's messages and the engine's errors follow the language the window
    // shows (MainWindow sets it), from the catalogues beside the program.
    if (const std::string catalogues = quorvel::CatalogueFolderOfProgram(); !catalogues.empty()) {
        quorvel::BindMessageCatalogues(catalogues);
    }
    QStringList arguments;
    for (const std::string& operand : line.operands) {
        arguments.append(QFile::decodeName(QByteArray::fromStdString(operand)));
    }
    quorvel::ProgramEnvironment environment = quorvel::ProgramEnvironment::ForRunningProgram(arguments);
    environment.givenFiles = std::move(files);
    quorvel::MainWindow window(std::move(environment));
    // The About box is made once, hidden, and belongs to the window.
    window.SetAboutBox(
        new quorvel::TAboutBox(window.Environment().programPath, QStringLiteral(QUORVEL_VERSION), &window));
    window.show();
    return QApplication::exec();
}
