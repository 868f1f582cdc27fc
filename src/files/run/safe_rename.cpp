#include "files/run/safe_rename.hpp"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

std::atomic<Renameat2Function> g_renameat2{nullptr};

int SystemRenameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
                    unsigned int flags) {
    return ::renameat2(olddirfd, oldpath, newdirfd, newpath, flags);
}

// link() refuses an existing target, so link then unlink never replaces anything.
int LinkThenUnlink(int dirfd, const std::string& from, const std::string& to) {
    if (::linkat(dirfd, from.c_str(), dirfd, to.c_str(), 0) != 0) {
        const int error = errno;
        const bool noLinks =
            error == EPERM || error == EOPNOTSUPP || error == EXDEV || error == EMLINK || error == ENOSYS;
        return noLinks ? kNoSafeRename : error;
    }
    if (::unlinkat(dirfd, from.c_str(), 0) != 0) {
        const int error = errno;
        ::unlinkat(dirfd, to.c_str(), 0); // back to the old name alone
        return error;
    }
    return 0;
}

bool SameEntryFile(int dirfd, const std::string& a, const std::string& b) {
    struct stat sa {};
    struct stat sb {};
    return ::fstatat(dirfd, a.c_str(), &sa, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::fstatat(dirfd, b.c_str(), &sb, AT_SYMLINK_NOFOLLOW) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

std::string TemporaryName() {
    static std::atomic<unsigned> serial{0};
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, ".quorvel-%ld-x%u.tmp", static_cast<long>(::getpid()), serial++);
    return buffer;
}

} // namespace

Renameat2Function SetRenameat2ForTests(Renameat2Function function) {
    return g_renameat2.exchange(function);
}

int Renamer::NoReplace(const std::string& from, const std::string& to) {
    if (atomic_) {
        const Renameat2Function call = g_renameat2.load();
        if ((call != nullptr ? call : SystemRenameat2)(dirfd_, from.c_str(), dirfd_, to.c_str(),
                                                       RENAME_NOREPLACE) == 0) {
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            return errno;
        }
        atomic_ = false;
    }
    return LinkThenUnlink(dirfd_, from, to);
}

RenameResult Renamer::Rename(const std::string& from, const std::string& to) {
    const int error = NoReplace(from, to);
    if (error != EEXIST || !SameEntryFile(dirfd_, from, to)) {
        return {error, std::nullopt};
    }
    // `to` is `from` itself, or another hard link of the same file. Move the entry
    // aside: if `to` was that entry, it is free now and the second step succeeds.
    std::string temporary;
    int aside = EEXIST;
    for (int attempt = 0; attempt < 100 && aside == EEXIST; ++attempt) {
        temporary = TemporaryName();
        aside = NoReplace(from, temporary);
    }
    if (aside != 0) {
        return {aside, std::nullopt};
    }
    const int second = NoReplace(temporary, to);
    if (second == 0) {
        return {};
    }
    if (NoReplace(temporary, from) != 0) {
        return {second, std::move(temporary)};
    }
    return {second, std::nullopt};
}

RenameResult SafeRename(int dirfd, const std::string& from, const std::string& to) {
    Renamer renamer(dirfd);
    return renamer.Rename(from, to);
}

} // namespace quorvel
