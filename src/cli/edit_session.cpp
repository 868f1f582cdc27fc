#include "cli/edit_session.hpp"

#include "engine/descriptor_io.hpp"
#include "engine/unique_fd.hpp"
#include "files/run/run_messages.hpp"
#include "files/text/message_language.hpp"
#include "files/text/shown_name.hpp"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quorvel::cli {

namespace {

constexpr std::size_t kMostBytes = std::size_t{1} << 30;

// The temporary file, removed when it goes.
class TemporaryFile {
public:
    TemporaryFile() {
        const char* folder = std::getenv("TMPDIR");
        path_ = std::string(folder != nullptr && *folder != '\0' ? folder : "/tmp") + "/quorvel-edit-XXXXXX";
        fd_ = UniqueFd(::mkostemp(path_.data(), O_CLOEXEC)); // mode 0600
        if (!fd_.Valid()) {
            error_ = errno;
            path_.clear();
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }

    const std::string& Path() const { return path_; }
    int Fd() const { return fd_.Get(); }
    int Error() const { return error_; }
    void Close() { fd_ = UniqueFd(); }

private:
    std::string path_;
    UniqueFd fd_;
    int error_ = 0;
};

// Whether `program` is an executable file in a folder of $PATH.
bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string_view folders = path != nullptr ? path : "/usr/bin:/bin";
    while (true) {
        const std::size_t colon = folders.find(':');
        std::string folder(folders.substr(0, colon));
        if (folder.empty()) {
            folder = ".";
        }
        if (::access((folder + "/" + program).c_str(), X_OK) == 0) {
            return true;
        }
        if (colon == std::string_view::npos) {
            return false;
        }
        folders.remove_prefix(colon + 1);
    }
}

// Ctrl+C and Ctrl+\ go to the editor alone while it runs.
class IgnoredSignals {
public:
    IgnoredSignals() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGINT, &ignore, &int_);
        ::sigaction(SIGQUIT, &ignore, &quit_);
    }
    IgnoredSignals(const IgnoredSignals&) = delete;
    IgnoredSignals& operator=(const IgnoredSignals&) = delete;
    ~IgnoredSignals() {
        ::sigaction(SIGINT, &int_, nullptr);
        ::sigaction(SIGQUIT, &quit_, nullptr);
    }

private:
    struct sigaction int_ {};
    struct sigaction quit_ {};
};

// Runs `command` on `file` and waits; its wait status, or -1 with errno set when it
// could not be started.
int RunEditor(const std::string& command, const std::string& file) {
    std::string shell = "/bin/sh";
    std::string dashC = "-c";
    std::string script = command + " \"$@\"";
    std::string name = command; // $0, what the shell names in its own errors
    std::string argument = file;
    std::vector<char*> argv{shell.data(), dashC.data(), script.data(), name.data(), argument.data(), nullptr};
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGQUIT);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
    const IgnoredSignals ignored;
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, shell.c_str(), nullptr, &attributes, argv.data(), environ);
    posix_spawnattr_destroy(&attributes);
    if (spawned != 0) {
        errno = spawned;
        return -1;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return status;
}

} // namespace

std::string EditorCommand() {
    for (const char* variable : {"VISUAL", "EDITOR"}) {
        if (const char* value = std::getenv(variable); value != nullptr && *value != '\0') {
            return value;
        }
    }
    return OnPath("sensible-editor") ? "sensible-editor" : "vi";
}

EditedText EditInEditor(std::string_view text) {
    EditedText result;
    TemporaryFile file;
    if (file.Path().empty() || !WriteAll(file.Fd(), text)) {
        result.error = FormatText(Tr("fichier temporaire impossible à écrire : %s"),
                                  {RenameErrorText(file.Path().empty() ? file.Error() : errno)});
        return result;
    }
    file.Close();
    const std::string command = EditorCommand();
    const int status = RunEditor(command, file.Path());
    if (status < 0) {
        result.error =
            FormatText(Tr("l'éditeur %s n'a pu être lancé : %s"), {Quoted(command), RenameErrorText(errno)});
        return result;
    }
    if (WIFSIGNALED(status)) {
        result.error = FormatText(Tr("l'éditeur %s a été arrêté par le signal %s"),
                                  {Quoted(command), std::to_string(WTERMSIG(status))});
        return result;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        result.error = FormatText(Tr("l'éditeur %s a échoué (code de sortie %s)"),
                                  {Quoted(command), std::to_string(WEXITSTATUS(status))});
        return result;
    }
    // Read by its path: an editor may have put a new file in its place.
    const UniqueFd back(::open(file.Path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!back.Valid()) {
        result.error = FormatText(Tr("fichier temporaire illisible : %s"), {RenameErrorText(errno)});
        return result;
    }
    ReadBytes read = ReadAll(back.Get(), kMostBytes);
    if (read.error != 0) {
        result.error = FormatText(Tr("fichier temporaire illisible : %s"), {RenameErrorText(read.error)});
        return result;
    }
    result.text = std::move(read.bytes);
    result.edited = true;
    return result;
}

} // namespace quorvel::cli
