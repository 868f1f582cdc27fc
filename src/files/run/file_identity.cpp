#include "files/run/file_identity.hpp"

#include "engine/unique_fd.hpp"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdint>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

std::optional<FileStamp> GenerationOf(int fd) {
    int generation = 0;
    if (::ioctl(fd, FS_IOC_GETVERSION, &generation) != 0) {
        return std::nullopt;
    }
    return FileStamp{StampKind::Generation,
                     static_cast<std::int64_t>(static_cast<std::uint32_t>(generation))};
}

FileStamp BirthOf(const struct statx& st) {
    if ((st.stx_mask & STATX_BTIME) == 0) {
        return {};
    }
    return FileStamp{StampKind::Birth, static_cast<std::int64_t>(st.stx_btime.tv_sec) * 1'000'000'000 +
                                           static_cast<std::int64_t>(st.stx_btime.tv_nsec)};
}

} // namespace

std::string StampText(const FileStamp& stamp) {
    std::string text;
    AppendStamp(stamp, text);
    return text;
}

void AppendStamp(const FileStamp& stamp, std::string& out) {
    const auto number = [&](char letter, auto value) {
        char buffer[24];
        out.push_back(letter);
        out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
    };
    switch (stamp.kind) {
    case StampKind::None:
        out.push_back('-');
        break;
    case StampKind::Birth:
        number('b', stamp.value);
        break;
    case StampKind::Generation:
        number('g', stamp.value);
        break;
    case StampKind::BirthAndGeneration:
        number('b', stamp.value);
        number('g', stamp.generation);
        break;
    }
}

std::optional<FileStamp> ParseStamp(std::string_view text) {
    if (text == "-") {
        return FileStamp{};
    }
    if (text.size() < 2 || (text[0] != 'b' && text[0] != 'g')) {
        return std::nullopt;
    }
    FileStamp stamp{text[0] == 'b' ? StampKind::Birth : StampKind::Generation, 0, 0};
    const char* end = text.data() + text.size();
    auto result = std::from_chars(text.data() + 1, end, stamp.value);
    if (result.ec != std::errc()) {
        return std::nullopt;
    }
    if (stamp.kind == StampKind::Birth && result.ptr != end && *result.ptr == 'g' && result.ptr + 1 != end) {
        stamp.kind = StampKind::BirthAndGeneration;
        result = std::from_chars(result.ptr + 1, end, stamp.generation);
        if (result.ec != std::errc()) {
            return std::nullopt;
        }
    }
    if (result.ptr != end ||
        (stamp.kind == StampKind::Generation && (stamp.value < 0 || stamp.value > UINT32_MAX))) {
        return std::nullopt;
    }
    return stamp;
}

bool SameStamp(const FileStamp& recorded, const FileStamp& now) {
    return !recorded.Known() || recorded == now;
}

FileStamp StampOfOpen(int fd) {
    struct statx st {};
    FileStamp birth;
    if (::statx(fd, "", AT_EMPTY_PATH | AT_STATX_DONT_SYNC, STATX_INO | STATX_BTIME, &st) == 0) {
        birth = BirthOf(st);
    }
    const auto generation = GenerationOf(fd);
    if (birth.Known() && generation) {
        birth.kind = StampKind::BirthAndGeneration;
        birth.generation = static_cast<std::uint32_t>(generation->value);
        return birth;
    }
    return birth.Known() ? birth : generation.value_or(FileStamp{});
}

StampKind FileStampKind(StampKind folder) {
    return folder == StampKind::BirthAndGeneration ? StampKind::Birth : folder;
}

std::optional<EntryIdentity> IdentifyEntry(int dirfd, const std::string& name, StampKind kind) {
    struct statx st {};
    if (::statx(dirfd, name.c_str(), AT_SYMLINK_NOFOLLOW | AT_STATX_DONT_SYNC,
                STATX_TYPE | STATX_INO | STATX_BTIME, &st) != 0) {
        return std::nullopt;
    }
    EntryIdentity identity{st.stx_ino, {}};
    kind = FileStampKind(kind);
    if (kind == StampKind::Birth) {
        identity.stamp = BirthOf(st);
    } else if (kind == StampKind::Generation && (S_ISREG(st.stx_mode) || S_ISDIR(st.stx_mode))) {
        // O_NONBLOCK: a file of a mandatory lease or a FIFO put in its place never
        // makes this wait. The inode is checked again on the descriptor.
        const UniqueFd fd(
            ::openat(dirfd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        struct stat opened {};
        if (fd.Valid() && ::fstat(fd.Get(), &opened) == 0 && opened.st_ino == st.stx_ino) {
            identity.stamp = GenerationOf(fd.Get()).value_or(FileStamp{});
        }
    }
    return identity;
}

std::optional<FolderIdentity> IdentifyFolder(int dirfd, FolderPath path) {
    struct stat st {};
    if (::fstat(dirfd, &st) != 0) {
        return std::nullopt;
    }
    return FolderIdentity{std::move(path), static_cast<std::uint64_t>(st.st_dev),
                          static_cast<std::uint64_t>(st.st_ino), StampOfOpen(dirfd)};
}

bool SameFolder(const FolderIdentity& recorded, const FolderIdentity& now) {
    return recorded.device == now.device && recorded.inode == now.inode &&
           SameStamp(recorded.stamp, now.stamp);
}

FolderPath FolderPathOf(int dirfd, const FolderPath& given) {
    const std::string link = "/proc/self/fd/" + std::to_string(dirfd);
    std::string path(PATH_MAX, '\0');
    const ssize_t n = ::readlink(link.c_str(), path.data(), path.size());
    if (n > 0 && static_cast<std::size_t>(n) < path.size() && path[0] == '/') {
        path.resize(static_cast<std::size_t>(n));
        // A folder deleted since is said so by the kernel: " (deleted)" at the end.
        if (!path.ends_with(" (deleted)")) {
            return FolderPath(std::move(path));
        }
    }
    return given.AbsoluteWithoutSlash();
}

} // namespace quorvel
