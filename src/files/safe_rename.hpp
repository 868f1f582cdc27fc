// Renaming one entry of a folder without ever replacing another one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorvel {

// Renames entries of the folder open as `dirfd`; an existing target is never
// replaced. It uses renameat2 with RENAME_NOREPLACE; where the file system does not
// have it (EINVAL, ENOSYS), a hard link under the new name and then the removal of
// the old one, for any kind of entry (a hard link to a symbolic link, a FIFO or a
// device is the entry itself), and it remembers that for the renames after. Where
// neither works the rename fails: there is no rename after a mere check, which could
// replace a file created in between.
class Renamer {
public:
    explicit Renamer(int dirfd) : dirfd_(dirfd) {}

    // Returns 0 on success, an errno value otherwise; `from` and `to` are names
    // (bytes) inside the folder. A `to` which is the very entry `from` (a change of
    // case on a file system that ignores case) is renamed through a temporary name;
    // two hard links of one file are two entries, and that rename fails with EEXIST.
    // `detail` receives a note when the file was left under its temporary name.
    int Rename(const std::string& from, const std::string& to, std::string* detail = nullptr);

private:
    int NoReplace(const std::string& from, const std::string& to);

    int dirfd_;
    bool atomic_ = true; // renameat2 with RENAME_NOREPLACE works here
};

// The error of a rename that neither renameat2 without replacement nor a hard link
// can do here (a folder, a file system without hard links, a file one may not link).
inline constexpr int kNoSafeRename = -1;

// One rename with a Renamer of its own.
int SafeRename(int dirfd, const std::string& from, const std::string& to, std::string* detail = nullptr);

// Tests take the place of renameat2 to play a file system without RENAME_NOREPLACE.
using Renameat2Function = int (*)(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
                                  unsigned int flags);
// Installs `function` (nullptr restores the system's); returns the previous one.
Renameat2Function SetRenameat2ForTests(Renameat2Function function);

// Why `name` (bytes) cannot name an entry of a folder: empty, "." or "..", holding
// "/" or NUL, or longer than 255 bytes. Nothing when it can.
std::optional<std::string> BadNameReason(std::string_view name);

// The reason shown for a failed rename, in the language of the messages.
std::string RenameErrorText(int error);

} // namespace quorvel
