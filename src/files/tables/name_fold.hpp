// Keys that tell when two names are one name to a file system that ignores case,
// and whether a folder's file system is such a one.
#pragma once

#include <string>
#include <string_view>

namespace quorvel {

// The key under which a file system that ignores case and composition would take
// two names for one: NFC, then full Unicode case folding (default, not Turkic), then
// NFC again. Names are bytes: a name that is not well-formed UTF-8 is kept byte for
// byte except that the ASCII letters A-Z become a-z, so its key is never the key of
// a well-formed name. An all-ASCII name is folded without ICU.
std::string FoldedName(std::string_view bytes);
// The same into a reused buffer (cleared first).
void FoldedNameInto(std::string_view bytes, std::string& out);

// Whether the folder open as `dirfd` (an O_RDONLY | O_DIRECTORY descriptor) compares
// names without regard to case: FAT, exFAT, NTFS (the kernel drivers; ntfs-3g shows
// up as any FUSE file system) and SMB shares, or a folder with the casefold attribute
// (ext4, f2fs, tmpfs). False when it cannot be told.
bool FolderIgnoresCase(int dirfd);

} // namespace quorvel
