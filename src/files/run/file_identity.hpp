// What tells a file or a folder from another one: its device and inode number, and
// what tells a new file from an old one whose inode number it was given again after
// the old one was deleted (ext4 hands freed numbers out again at once).
//
// That stamp is the birth time (statx, STATX_BTIME: ext4 with inodes of 256 bytes,
// btrfs, xfs, tmpfs since Linux 6.x), else the inode generation (FS_IOC_GETVERSION:
// ext2/3/4, btrfs, xfs), which needs the file opened: only regular files and
// folders are, without following a symbolic link and without waiting. Where neither
// is given the stamp is unknown and the inode number alone tells.
//
// A folder, opened anyway, keeps both where both are given: ext4 counts birth times
// in clock ticks of a few milliseconds, and a folder deleted and made again within
// one tick gets the same inode number and the same birth time, never the same
// generation. Files keep their birth time only, read without opening them.
#pragma once

#include "files/listing/folder_path.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

enum class StampKind : std::uint8_t { None, Birth, Generation, BirthAndGeneration };

struct FileStamp {
    StampKind kind = StampKind::None;
    std::int64_t value = 0;       // nanoseconds since the epoch, or the generation
    std::uint32_t generation = 0; // with BirthAndGeneration

    bool Known() const { return kind != StampKind::None; }
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// "-", "b<nanoseconds>", "g<generation>" or "b<nanoseconds>g<generation>", as
// journals keep it.
std::string StampText(const FileStamp& stamp);
// The same, at the end of `out`.
void AppendStamp(const FileStamp& stamp, std::string& out);
std::optional<FileStamp> ParseStamp(std::string_view text);

// Whether what is found now is what was recorded: an unknown stamp recorded tells
// nothing (the inode number alone decides); a known one has to be found again, the
// same.
bool SameStamp(const FileStamp& recorded, const FileStamp& now);

// The stamp of the file or folder open as `fd`: its birth time and its generation,
// either of them where the other is not given.
FileStamp StampOfOpen(int fd);

// The kind of stamp the files of a folder whose own stamp is of kind `folder` are
// known by: the birth time where it is given (read without opening the file).
StampKind FileStampKind(StampKind folder);

struct EntryIdentity {
    std::uint64_t inode = 0;
    FileStamp stamp;
};

// The entry `name` of the folder open as `dirfd`, not followed when it is a
// symbolic link: its inode number, and its stamp of the kind `kind` (the kind the
// folder itself gives; Generation opens regular files and folders for the ioctl).
// Nothing when the entry is not there.
std::optional<EntryIdentity> IdentifyEntry(int dirfd, const std::string& name, StampKind kind);

struct FolderIdentity {
    FolderPath path; // absolute
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    FileStamp stamp;
};

// The identity of the folder open as `dirfd`, known by `path`.
std::optional<FolderIdentity> IdentifyFolder(int dirfd, FolderPath path);

// The same folder: same device and inode, and the same stamp where one was recorded.
bool SameFolder(const FolderIdentity& recorded, const FolderIdentity& now);

// Where the folder open as `dirfd` is, as an absolute path without symbolic links
// (what the kernel knows of it); `given` made absolute, without the "/" at its
// end, when that cannot be read.
FolderPath FolderPathOf(int dirfd, const FolderPath& given);

} // namespace quorvel
