#include "engine/replace_file.hpp"

#include "engine/descriptor_io.hpp"
#include "engine/errors.hpp"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

// As many links as the kernel follows in one path.
constexpr int kMaxLinkHops = 40;
// The longest name a Linux file system takes.
constexpr std::size_t kMaxNameBytes = 255;

std::string FolderPart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The file that writing to `path` reaches: the end of its chain of symbolic links,
// each relative link read from the folder of the link; `path` itself when it is no
// link. Nothing when the chain is too long or cannot be read.
std::optional<std::string> LinkTarget(const std::string& path) {
    std::string target = path;
    for (int hops = 0; hops <= kMaxLinkHops; ++hops) {
        struct stat st {};
        if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            return target;
        }
        char buffer[PATH_MAX];
        const ssize_t n = ::readlink(target.c_str(), buffer, sizeof buffer);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buffer) {
            return std::nullopt;
        }
        std::string next(buffer, static_cast<std::size_t>(n));
        target = next.front() == '/' ? std::move(next) : FolderPart(target) + next;
    }
    return std::nullopt;
}

// A temporary file that is removed unless it was renamed into place.
class Temporary {
public:
    Temporary() = default;
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;
    ~Temporary() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }

    // Creates a new hidden file in `folder` ("" for the current one), named after
    // `name`, with O_EXCL: never a file that already exists, nor through a link.
    bool Create(const std::string& folder, const std::string& name, mode_t mode) {
        // "." + name + "." + 8 hexadecimal digits + ".tmp", when that is a name the
        // file system takes.
        const std::string stem =
            name.size() + 14 <= kMaxNameBytes ? "." + name + "." : std::string(".quorvel-save.");
        std::random_device device;
        for (int attempt = 0; attempt < 100; ++attempt) {
            char suffix[16];
            std::snprintf(suffix, sizeof suffix, "%08x.tmp", static_cast<unsigned>(device()));
            std::string path = folder + stem + suffix;
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
            if (fd >= 0) {
                fd_ = fd;
                path_ = std::move(path);
                return true;
            }
            if (errno != EEXIST) {
                return false;
            }
        }
        return false;
    }

    int Fd() const { return fd_; }
    const std::string& Path() const { return path_; }

    bool WriteAll(std::string_view bytes) const { return quorvel::WriteAll(fd_, bytes); }

    bool SyncAndClose() {
        const bool synced = ::fsync(fd_) == 0;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return synced && closed;
    }

    // Renames the file to `target`; from then on it is no longer removed.
    bool RenameTo(const std::string& target) {
        if (::rename(path_.c_str(), target.c_str()) != 0) {
            return false;
        }
        path_.clear();
        return true;
    }

private:
    int fd_ = -1;
    std::string path_;
};

// Writes the folder's entries to disk, so that the rename survives a crash. A
// failure changes nothing of what was done and is not reported.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

} // namespace

void ReplaceFileContent(const std::string& path, std::string_view bytes) {
    auto cannotCreate = [&] { return FileError(kCannotCreateMessage, path); };
    auto cannotWrite = [&] { return FileError(kCannotWriteMessage, path); };
    const std::optional<std::string> target = LinkTarget(path);
    if (!target) {
        throw cannotCreate();
    }
    struct stat old {};
    const bool exists = ::stat(target->c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) {
        throw cannotCreate(); // a folder, a named pipe or a device is no script file
    }
    const std::string folder = FolderPart(*target);
    const std::string name = target->substr(folder.size());
    if (name.empty()) {
        throw cannotCreate();
    }
    Temporary temporary;
    // Private until it is complete; a new file takes the umask like any other.
    if (!temporary.Create(folder, name, exists ? 0600 : 0666)) {
        throw exists ? cannotWrite() : cannotCreate();
    }
    if (!temporary.WriteAll(bytes)) {
        throw cannotWrite();
    }
    if (exists) {
        // The owner and group only where the rights allow; changing them clears
        // the set-user-ID and set-group-ID bits, which the mode sets back.
        if (::fchown(temporary.Fd(), old.st_uid, old.st_gid) != 0) {
            // Only root gives a file away: the new file stays the writer's.
        }
        if (::fchmod(temporary.Fd(), old.st_mode & 07777) != 0) {
            throw cannotWrite();
        }
    }
    if (!temporary.SyncAndClose() || !temporary.RenameTo(*target)) {
        throw cannotWrite();
    }
    SyncFolder(folder);
}

} // namespace quorvel
