// Renaming one entry of a folder without ever replacing another one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// How the rename is attempted first. Atomic is what the run uses; the two others
// start further down the chain of fallbacks, which file systems without
// renameat2(RENAME_NOREPLACE) reach on their own.
enum class RenameMethod {
    Atomic,    // renameat2 with RENAME_NOREPLACE
    HardLink,  // link then unlink (regular files only), else CheckFirst
    CheckFirst // rename after making sure that the target does not exist
};

// Renames `from` to `to`, two names inside the folder open as `dirfd`. An existing
// `to` is never replaced: the rename fails with EEXIST and both entries stay.
// Returns 0 on success, an errno value otherwise.
int RenameNoReplace(int dirfd, const std::string& from, const std::string& to,
                    RenameMethod method = RenameMethod::Atomic);

// RenameNoReplace, except that a `to` which is the very entry `from` (a change of
// case on a file system that ignores case) is renamed, through a temporary name.
// Two hard links of one file are two entries: that rename fails with EEXIST.
// `detail` receives a note when the file was left under its temporary name.
int SafeRename(int dirfd, const std::string& from, const std::string& to, std::string* detail = nullptr,
               RenameMethod method = RenameMethod::Atomic);

// Why `name` (bytes) cannot name an entry of a folder: empty, "." or "..", or
// holding "/" or NUL. Nothing when it can.
std::optional<std::string> BadNameReason(std::string_view name);

// The reason shown for a failed rename, in French.
std::string RenameErrorText(int error);

} // namespace quorvel
