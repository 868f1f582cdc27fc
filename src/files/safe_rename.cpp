#include "files/safe_rename.hpp"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

int Errno(int rc) {
    return rc == 0 ? 0 : errno;
}

// Rename after a check that the target is absent: the last resort, for file
// systems that have neither RENAME_NOREPLACE nor hard links.
int CheckThenRename(int dirfd, const std::string& from, const std::string& to) {
    struct stat st {};
    if (::fstatat(dirfd, from.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno;
    }
    if (::fstatat(dirfd, to.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        return EEXIST;
    }
    if (errno != ENOENT) {
        return errno;
    }
    return Errno(::renameat(dirfd, from.c_str(), dirfd, to.c_str()));
}

// link() refuses an existing target, so link then unlink never replaces anything.
int LinkThenUnlink(int dirfd, const std::string& from, const std::string& to) {
    struct stat st {};
    if (::fstatat(dirfd, from.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno;
    }
    if (!S_ISREG(st.st_mode)) {
        return CheckThenRename(dirfd, from, to);
    }
    if (::linkat(dirfd, from.c_str(), dirfd, to.c_str(), 0) != 0) {
        const int error = errno;
        if (error == EPERM || error == EOPNOTSUPP || error == EXDEV || error == EMLINK || error == ENOSYS) {
            return CheckThenRename(dirfd, from, to); // no hard links here
        }
        return error;
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
    std::snprintf(buffer, sizeof buffer, ".quorvel-%ld-%u.tmp", static_cast<long>(::getpid()), serial++);
    return buffer;
}

} // namespace

int RenameNoReplace(int dirfd, const std::string& from, const std::string& to, RenameMethod method) {
    switch (method) {
    case RenameMethod::Atomic:
        if (::renameat2(dirfd, from.c_str(), dirfd, to.c_str(), RENAME_NOREPLACE) == 0) {
            return 0;
        }
        if (errno != EINVAL && errno != ENOSYS) {
            return errno;
        }
        [[fallthrough]];
    case RenameMethod::HardLink:
        return LinkThenUnlink(dirfd, from, to);
    case RenameMethod::CheckFirst:
        return CheckThenRename(dirfd, from, to);
    }
    return EINVAL;
}

int SafeRename(int dirfd, const std::string& from, const std::string& to, std::string* detail,
               RenameMethod method) {
    const int error = RenameNoReplace(dirfd, from, to, method);
    if (error != EEXIST || !SameEntryFile(dirfd, from, to)) {
        return error;
    }
    // `to` is `from` itself, or another hard link of the same file. Move the entry
    // aside: if `to` was that entry, it is free now and the second step succeeds.
    std::string temporary;
    int aside = EEXIST;
    for (int attempt = 0; attempt < 100 && aside == EEXIST; ++attempt) {
        temporary = TemporaryName();
        aside = RenameNoReplace(dirfd, from, temporary, method);
    }
    if (aside != 0) {
        return aside;
    }
    const int second = RenameNoReplace(dirfd, temporary, to, method);
    if (second == 0) {
        return 0;
    }
    if (RenameNoReplace(dirfd, temporary, from, method) != 0 && detail != nullptr) {
        *detail = "le fichier porte maintenant le nom " + temporary;
    }
    return second;
}

std::optional<std::string> BadNameReason(std::string_view name) {
    if (name.empty()) {
        return "le nouveau nom est vide";
    }
    if (name == "." || name == "..") {
        return "le nom « " + std::string(name) + " » est réservé";
    }
    if (name.find('/') != std::string_view::npos) {
        return "le nouveau nom contient « / »";
    }
    if (name.find('\0') != std::string_view::npos) {
        return "le nouveau nom contient un caractère nul";
    }
    return std::nullopt;
}

std::string RenameErrorText(int error) {
    switch (error) {
    case EEXIST:
    case ENOTEMPTY:
        return "un fichier de ce nom existe déjà";
    case ENOENT:
        return "le fichier n'existe plus";
    case ENOTDIR:
        return "le dossier n'existe plus";
    case EACCES:
    case EPERM:
        return "accès refusé";
    case EROFS:
        return "système de fichiers en lecture seule";
    case ENAMETOOLONG:
        return "nom trop long";
    case EBUSY:
        return "fichier en cours d'utilisation";
    case ENOSPC:
    case EDQUOT:
        return "plus de place sur le disque";
    case EINVAL:
    case EILSEQ:
        return "nom refusé par le système de fichiers";
    case EIO:
        return "erreur d'entrée-sortie";
    default:
        return "erreur système " + std::to_string(error);
    }
}

} // namespace quorvel
