#include "files/run/verify.hpp"

#include "files/run/run_messages.hpp"
#include "files/tables/index_table.hpp"

#include <fcntl.h>
#include <string>
#include <sys/stat.h>

namespace quorvel {

namespace {

unsigned char TypeOf(const FolderListing& after, std::uint32_t e, int dirfd) {
    if (after.Type(e) != DT_UNKNOWN) {
        return after.Type(e);
    }
    struct stat st {};
    const std::string name(after.Name(e));
    if (::fstatat(dirfd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        return DT_UNKNOWN;
    }
    return S_ISDIR(st.st_mode) ? DT_DIR : DT_REG;
}

} // namespace

std::vector<std::uint32_t> Verify(std::span<RunFile> files, const FolderListing& after, int dirfd,
                                  JournalWriter& journal) {
    IndexTable names([&](std::uint32_t e) { return after.Name(e); }, after.Count());
    for (std::size_t i = 0; i < after.Count(); ++i) {
        names.Insert(static_cast<std::uint32_t>(i));
    }
    // New names of the renamed files.
    IndexTable taken([&](std::uint32_t i) { return std::string_view(files[i].newName); }, files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (files[i].outcome == RenameOutcome::Renamed) {
            taken.Insert(static_cast<std::uint32_t>(i));
        }
    }
    std::vector<std::uint32_t> putBack;
    for (std::size_t i = 0; i < files.size(); ++i) {
        RunFile& f = files[i];
        if (f.outcome != RenameOutcome::Renamed) {
            continue;
        }
        const std::uint32_t e = names.Find(f.newName);
        const std::uint32_t old = names.Find(f.oldName);
        if (e == kNoIndex) {
            f.outcome = RenameOutcome::Failed;
            f.reason = kVerifyNewMissingText;
        } else if (TypeOf(after, e, dirfd) == DT_DIR && f.type != DT_DIR) {
            f.outcome = RenameOutcome::Failed;
            f.reason = kVerifyFolderText;
            putBack.push_back(static_cast<std::uint32_t>(i));
        } else if (old != kNoIndex && taken.Find(f.oldName) == kNoIndex && f.inode != 0 &&
                   after.Inode(old) == f.inode) {
            f.outcome = RenameOutcome::Failed;
            f.reason = kVerifyOldStaysText;
        } else if (f.inode != 0 && after.Inode(e) != f.inode) {
            f.inode = after.Inode(e);
            const auto now = IdentifyEntry(dirfd, f.newName, journal.FolderStampKind());
            journal.Inode(i, f.inode, now && now->inode == f.inode ? now->stamp : FileStamp{});
        }
    }
    return putBack;
}

} // namespace quorvel
