// Folder scan: one listing of the folder, the patterns of the filter tried on each
// name until one matches.
#include "files/listing/scan.hpp"

#include "engine/codec.hpp"
#include "engine/primitives.hpp"
#include "files/listing/filter.hpp"
#include "files/listing/folder_listing.hpp"
#include "files/listing/project_file.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace quorvel {

namespace {

// Entry types that are known not to be folders without following anything.
bool IsPlainEntry(unsigned char type) {
    return type == DT_REG || type == DT_FIFO || type == DT_SOCK || type == DT_CHR || type == DT_BLK;
}

} // namespace

namespace {

struct Walk {
    Walk(TListFiles& l, const NameFilter& f, const TreeScan& s, TreeScanReport& r, std::uint64_t d)
        : list(l), filter(f), scan(s), report(r), device(d) {}

    TListFiles& list;
    const NameFilter filter;
    const TreeScan& scan;
    TreeScanReport& report;
    std::uint64_t device = 0; // of the folder of the scan
    std::uint32_t folders = 0;
    Text name;       // decoding buffer of the filter
    std::string raw; // an entry's name with its NUL

    bool Lists(EntryKind kind) const {
        return kind == EntryKind::Folder ? scan.entries != TreeEntries::Files
                                         : scan.entries != TreeEntries::FoldersOnly;
    }

    // Lists the folder open as `fd`, then the folders in it; false when stopped.
    bool Folder(const std::shared_ptr<const ScannedFolder>& folder, int fd) {
        FolderListing listing;
        if (const int error = ListFolder(fd, listing); error != 0) {
            report.unreadable.push_back({folder->relative.substr(0, folder->relative.size() - 1), error});
            return true;
        }
        // In name order, so that the records come in the order they are shown, and a
        // preview goes through the entries in the order of the files.
        listing.SortByName();
        const bool enters = scan.depth == 0 || folder->depth < scan.depth;
        std::vector<std::size_t> below; // the folders to enter, in name order
        list.Reserve(list.Count() + listing.Count());
        for (std::size_t i = 0; i < listing.Count(); ++i) {
            const std::string_view bytes = listing.Name(i);
            const unsigned char type = listing.Type(i);
            EntryKind kind = type == DT_DIR ? EntryKind::Folder : EntryKind::File;
            bool isFolder = type == DT_DIR; // a folder itself, not a link to one
            std::int64_t size = -1;
            std::int64_t date = -1;
            const bool stats = isFolder ? Lists(EntryKind::Folder) && scan.detail == ScanDetail::SizeAndDate
                                        : scan.detail == ScanDetail::SizeAndDate || !IsPlainEntry(type);
            if (stats) {
                // Size and date of what a link points to; of the link itself when it
                // points nowhere. An entry that vanished since the listing is left out.
                raw.assign(bytes);
                struct stat own {};
                if (::fstatat(fd, raw.c_str(), &own, AT_SYMLINK_NOFOLLOW) != 0) {
                    continue;
                }
                struct stat st = own;
                if (S_ISLNK(own.st_mode) && ::fstatat(fd, raw.c_str(), &st, 0) != 0) {
                    st = own;
                }
                kind = S_ISDIR(st.st_mode) ? EntryKind::Folder : EntryKind::File;
                isFolder = S_ISDIR(own.st_mode);
                if (scan.detail == ScanDetail::SizeAndDate) {
                    size = static_cast<std::int64_t>(st.st_size);
                    date = static_cast<std::int64_t>(st.st_mtim.tv_sec);
                }
            }
            if (isFolder && enters) {
                below.push_back(i);
            }
            if (!Lists(kind) || !filter.Matches(bytes, name)) {
                continue;
            }
            list.Add(
                TProjectFile(folder, std::string(bytes), size, date, static_cast<std::uint32_t>(i), kind));
        }
        ++folders;
        if (scan.progress && !scan.progress(folders, list.Count())) {
            report.stopped = true;
            return false;
        }
        for (const std::size_t i : below) {
            if (!Below(folder, fd, listing.Name(i))) {
                list.KeepFolderListing(folder, std::move(listing));
                return false;
            }
        }
        list.KeepFolderListing(folder, std::move(listing));
        return true;
    }

    bool Below(const std::shared_ptr<const ScannedFolder>& parent, int parentFd, std::string_view entry) {
        const std::string relative = parent->relative + std::string(entry);
        raw.assign(entry);
        const UniqueFd fd(::openat(parentFd, raw.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        struct stat st {};
        if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0) {
            if (errno != ENOENT) { // gone since the listing: nothing to say
                report.unreadable.push_back({relative, errno});
            }
            return true;
        }
        if (static_cast<std::uint64_t>(st.st_dev) != device && !scan.crossDevices) {
            return true;
        }
        auto folder = std::make_shared<ScannedFolder>();
        folder->path = FolderPath(parent->path.EntryPath(entry) + "/");
        folder->shown = folder->path.Shown();
        folder->parent = parent;
        folder->name = std::string(entry);
        folder->relative = relative + "/";
        folder->device = static_cast<std::uint64_t>(st.st_dev);
        folder->inode = static_cast<std::uint64_t>(st.st_ino);
        folder->sequence = ++sequence;
        folder->depth = parent->depth + 1;
        return Folder(folder, fd.Get());
    }

    std::uint32_t sequence = 0;
};

} // namespace

TreeScanReport ScanTree(const FolderPath& folder, TListFiles& list, TextView filter, const TreeScan& scan) {
    TreeScanReport report;
    if (folder.Empty()) {
        report.error = ENOENT; // no folder given
        return report;
    }
    errno = 0;
    const std::optional<FolderPath> absolute = folder.Absolute();
    if (!absolute) {
        report.error = errno != 0 ? errno : ENOENT;
        return report;
    }
    UniqueFd fd = OpenFolder(*absolute, report.error);
    struct stat st {};
    if (fd.Valid() && ::fstat(fd.Get(), &st) != 0) {
        report.error = errno;
    }
    if (report.error != 0) {
        return report;
    }
    const NameFilter parsed(filter);
    if (parsed.Empty()) {
        // Nothing can match; the folder is still read, so that a preview can check
        // names against it.
        FolderListing listing;
        if (const int error = ListFolder(fd.Get(), listing); error != 0) {
            report.error = error;
            return report;
        }
        const std::shared_ptr<const ScannedFolder> shared = list.SharedFolder(*absolute);
        list.KeepFolderDescriptor(shared, std::move(fd));
        list.KeepFolderListing(shared, std::move(listing));
        return report;
    }
    const std::shared_ptr<const ScannedFolder> shared = list.SharedFolder(
        *absolute, static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino));
    Walk walk(list, parsed, scan, report, static_cast<std::uint64_t>(st.st_dev));
    const std::size_t before = report.unreadable.size();
    walk.Folder(shared, fd.Get());
    if (report.unreadable.size() > before && report.unreadable[before].relative.empty()) {
        // The folder itself: it could be opened, not read.
        report.error = report.unreadable[before].error;
        report.unreadable.erase(report.unreadable.begin() + static_cast<std::ptrdiff_t>(before));
        return report;
    }
    list.KeepFolderDescriptor(shared, std::move(fd));
    return report;
}

int ScanFolder(const FolderPath& folder, TListFiles& list, TextView filter, ScanDetail detail) {
    TreeScan scan;
    scan.detail = detail;
    return ScanTree(folder, list, filter, scan).error;
}

UniqueFd OpenScannedFolder(const TListFiles& list, const ScannedFolder& folder, int& error) {
    error = 0;
    if (!folder.parent) {
        return OpenFolder(folder.path, error);
    }
    UniqueFd parent;
    int parentFd = -1;
    if (const auto kept = list.FolderDescriptor(folder.parent)) {
        parentFd = *kept;
    } else {
        parent = OpenScannedFolder(list, *folder.parent, error);
        if (!parent.Valid()) {
            return parent;
        }
        parentFd = parent.Get();
    }
    UniqueFd fd(::openat(parentFd, folder.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat st {};
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0) {
        error = errno == ELOOP ? ENOTDIR : errno;
        return UniqueFd();
    }
    if (static_cast<std::uint64_t>(st.st_dev) != folder.device ||
        static_cast<std::uint64_t>(st.st_ino) != folder.inode) {
        error = ENOTDIR; // another folder under that name since the scan
        return UniqueFd();
    }
    return fd;
}

} // namespace quorvel
