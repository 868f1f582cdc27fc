// Renaming one entry of a folder without ever replacing another one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// The error of a rename that neither renameat2 without replacement nor a hard link
// can do here (a folder, a file system without hard links, a file one may not link).
inline constexpr int kNoSafeRename = -1;

// Renames entries of the folder open as `dirfd`; an existing target is never
// replaced. It uses renameat2 with RENAME_NOREPLACE; where the file system does not
// have it (EINVAL, ENOSYS), a hard link under the new name and then the removal of
// the old one, for any kind of entry (a hard link to a symbolic link, a FIFO or a
// device is the entry itself), and it remembers that for the renames after. Where
// neither works the rename fails: there is no rename after a mere check, which could
// replace a file created in between.
// What a rename did: `error` is 0 on success, an errno value or kNoSafeRename
// otherwise. A rename through a temporary name that could neither finish nor be
// put back leaves the file under `leftUnder`.
struct RenameResult {
    int error = 0;
    std::optional<std::string> leftUnder;
};

class Renamer {
public:
    explicit Renamer(int dirfd) : dirfd_(dirfd) {}

    // `from` and `to` are names (bytes) inside the folder. A `to` which is the very
    // entry `from` (a change of case on a file system that ignores case) is renamed
    // through a temporary name; two hard links of one file are two entries, and that
    // rename fails with EEXIST.
    RenameResult Rename(const std::string& from, const std::string& to);

private:
    int NoReplace(const std::string& from, const std::string& to);

    int dirfd_;
    bool atomic_ = true; // renameat2 with RENAME_NOREPLACE works here
};

// One rename with a Renamer of its own.
RenameResult SafeRename(int dirfd, const std::string& from, const std::string& to);

// Tests take the place of renameat2 to play a file system without RENAME_NOREPLACE.
using Renameat2Function = int (*)(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
                                  unsigned int flags);
// Installs `function` (nullptr restores the system's); returns the previous one.
Renameat2Function SetRenameat2ForTests(Renameat2Function function);

} // namespace quorvel
