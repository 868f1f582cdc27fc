#include "files/safe_rename.hpp"

#include "files/run_messages.hpp"

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

int Renamer::Rename(const std::string& from, const std::string& to, std::string* detail) {
    const int error = NoReplace(from, to);
    if (error != EEXIST || !SameEntryFile(dirfd_, from, to)) {
        return error;
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
        return aside;
    }
    const int second = NoReplace(temporary, to);
    if (second == 0) {
        return 0;
    }
    if (NoReplace(temporary, from) != 0 && detail != nullptr) {
        *detail = LeftUnderText(temporary);
    }
    return second;
}

int SafeRename(int dirfd, const std::string& from, const std::string& to, std::string* detail) {
    Renamer renamer(dirfd);
    return renamer.Rename(from, to, detail);
}

std::optional<std::string> BadNameReason(std::string_view name) {
    if (name.empty()) {
        return std::string(Tr("le nouveau nom est vide"));
    }
    if (name == "." || name == "..") {
        return FormatText(Tr("le nom %s est réservé"), {Quoted(name)});
    }
    if (name.find('/') != std::string_view::npos) {
        return FormatText(Tr("le nouveau nom contient %s"), {Quoted("/")});
    }
    if (name.find('\0') != std::string_view::npos) {
        return std::string(Tr("le nouveau nom contient un caractère nul"));
    }
    if (name.size() > 255) {
        return std::string(Tr("nom trop long"));
    }
    return std::nullopt;
}

std::string RenameErrorText(int error) {
    switch (error) {
    case kNoSafeRename:
        return std::string(
            Tr("ici, ni renommage sans remplacement ni lien physique : le fichier garde son nom"));
    case EEXIST:
    case ENOTEMPTY:
        return std::string(Tr("un fichier de ce nom existe déjà"));
    case ENOENT:
        return std::string(Tr("le fichier n'existe plus"));
    case ENOTDIR:
        return std::string(Tr("le dossier n'existe plus"));
    case EACCES:
    case EPERM:
        return std::string(Tr("accès refusé"));
    case EROFS:
        return std::string(Tr("système de fichiers en lecture seule"));
    case ENAMETOOLONG:
        return std::string(Tr("nom trop long"));
    case EBUSY:
        return std::string(Tr("fichier en cours d'utilisation"));
    case ENOSPC:
    case EDQUOT:
        return std::string(Tr("plus de place sur le disque"));
    case EINVAL:
    case EILSEQ:
        return std::string(Tr("nom refusé par le système de fichiers"));
    case EIO:
        return std::string(Tr("erreur d'entrée-sortie"));
    case EFBIG:
        return std::string(Tr("fichier trop grand"));
    default:
        return FormatText(Tr("erreur système %s"), {std::to_string(error)});
    }
}

} // namespace quorvel
