// The files found in a folder: one record per file, the list that owns them, and
// their order. The scan is in files/scan.hpp, its filter in files/filter.hpp, the
// size as shown in files/size_text.hpp.
//
// Names are the exact bytes of the directory entry, decoded losslessly
// (engine/codec.hpp), so that a name that is not valid UTF-8 comes back byte for
// byte when the file is renamed.
#pragma once

#include "engine/text.hpp"
#include "engine/unique_fd.hpp"
#include "files/listing/folder_listing.hpp"
#include "files/listing/folder_path.hpp"
#include "files/listing/listing_index.hpp"
#include "files/listing/name_order.hpp"
#include "files/tables/huge_pages.hpp"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quorvel {

// The folder of records, shared by all of them: its path for the system, and as
// shown (ending with "/"; empty for bare names, which the system takes from the
// working folder). A folder found below the folder of a tree scan also knows the
// folder it was found in and its name there, so that it is opened again from that
// one and never through a symbolic link; its device and inode number tell it is
// still the folder that was read.
struct ScannedFolder {
    FolderPath path;
    Text shown;
    std::shared_ptr<const ScannedFolder> parent; // null for the folder of a scan
    std::string name;                            // its entry in `parent`
    std::string relative; // its path below the folder of the scan, ending with "/"; empty for that folder
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    // The place of the folder in the order of a tree scan: its own entries come
    // before those of the folders below it (0 for every folder of other scans).
    std::uint32_t sequence = 0;
    std::uint32_t depth = 1; // the folder of the scan is 1, the folders in it 2...
};

// What an entry of a folder is: a file (or anything else that is not a folder), or
// a folder, or a symbolic link to one, listed by a scan that lists folders.
enum class EntryKind : std::uint8_t { File, Folder };

// One found file. A record keeps its name as the bytes of the directory entry (a
// few bytes, often held inside the record itself), and the records of one folder
// share a single copy of the folder.
class TProjectFile {
public:
    // `folder` ends with "/" (or is empty for a bare name); a null folder is empty.
    // `entry` is where the file is in the listing its scan kept (kNoEntry for none).
    TProjectFile(std::shared_ptr<const ScannedFolder> folder, std::string nameBytes, std::int64_t size,
                 std::int64_t date, std::uint32_t entry = kNoEntry, EntryKind kind = EntryKind::File);
    TProjectFile(std::shared_ptr<const ScannedFolder> folder, TextView name, std::int64_t size,
                 std::int64_t date);

    // The file name with its extension, without any folder (decoded on each call).
    Text Name() const;
    // The name as the bytes of the directory entry.
    const std::string& NameBytes() const { return name_; }
    // The absolute folder of the file, ending with "/".
    const Text& Folder() const { return folder_->shown; }
    // The same folder for the system.
    const FolderPath& Location() const { return folder_->path; }
    // The size in bytes; -1 when the scan did not read it (ScanDetail::NamesOnly).
    std::int64_t Size() const { return size_; }
    // The modification time in whole seconds since the Unix epoch, to be shown in
    // local time; -1 when the scan did not read it.
    std::int64_t Date() const { return date_; }
    // Folder() + Name().
    Text FullPath() const;

    const std::shared_ptr<const ScannedFolder>& SharedFolder() const { return folder_; }
    // A folder (or a link to one) rather than a file.
    bool IsFolder() const { return kind_ == EntryKind::Folder; }
    // Its path below the folder of its scan as bytes ("sub/b.txt"; the name alone
    // in that folder).
    std::string RelativeBytes() const { return folder_->relative + name_; }
    // The file's entry in the listing that TListFiles keeps of its folder; kNoEntry
    // when the record did not come from a scan.
    std::uint32_t ListingEntry() const { return entry_; }

private:
    std::string name_;
    std::shared_ptr<const ScannedFolder> folder_;
    std::int64_t size_;
    std::int64_t date_;
    std::uint32_t entry_;
    EntryKind kind_;
};

// The records of a scan, in the order they were added until Sort is called.
class TListFiles {
public:
    std::size_t Count() const { return items_.size(); }
    // Throws ListIndexError for an index outside 0..Count - 1.
    const TProjectFile& Items(std::size_t index) const;
    void Clear();
    // Sorts by CompareFileNames; names that compare equal keep a fixed order
    // (exact bytes, then folder).
    void Sort();
    void Add(TProjectFile file);
    // Puts the records in the order `order` gives: record k becomes record order[k].
    // `order` holds every index once.
    void Rearrange(std::span<const std::size_t> order);
    // The folder of every record when they all have the same one; null otherwise.
    const std::shared_ptr<const ScannedFolder>& OnlyFolder() const { return onlyFolder_; }
    // Room for `count` records in all. A list that grows folder after folder (a
    // tree scan) at least doubles its room each time, so that its records are moved
    // a few times in all, not once per folder.
    void Reserve(std::size_t count) {
        if (count > items_.capacity()) {
            items_.reserve(items_.empty() ? count : std::max(count, 2 * items_.capacity()));
        }
    }

    // The shared folder `folder`: the one of the last folder asked for when it is
    // the same, a new one otherwise.
    // `device` and `inode` are those of a folder that was opened (0 when unknown).
    std::shared_ptr<const ScannedFolder> SharedFolder(const FolderPath& folder, std::uint64_t device = 0,
                                                      std::uint64_t inode = 0);

    // Keeps the descriptor through which the records of `folder` were read, so that
    // a run renames in the folder that was listed, wherever its path leads by then.
    void KeepFolderDescriptor(const std::shared_ptr<const ScannedFolder>& folder, UniqueFd fd);
    // That descriptor; nothing when the records of `folder` did not come from a scan.
    std::optional<int> FolderDescriptor(const std::shared_ptr<const ScannedFolder>& folder) const;
    // Keeps every entry of `folder` as the scan read it, listed or not, so that a
    // preview can check new names against the folder without reading it again.
    void KeepFolderListing(const std::shared_ptr<const ScannedFolder>& folder, FolderListing listing);
    // That listing with its entries by name (ListingIndex::Listing), made the first
    // time it is asked for; nothing when the records of `folder` did not come from a
    // scan.
    std::optional<std::reference_wrapper<const ListingIndex>>
    KeptListingIndex(const std::shared_ptr<const ScannedFolder>& folder) const;
    // The listing itself; null when none was kept.
    const FolderListing* KeptListing(const std::shared_ptr<const ScannedFolder>& folder) const;

    LargeVector<TProjectFile>::const_iterator begin() const { return items_.begin(); }
    LargeVector<TProjectFile>::const_iterator end() const { return items_.end(); }

private:
    LargeVector<TProjectFile> items_;
    std::shared_ptr<const ScannedFolder> onlyFolder_;
    bool sorted_ = true; // added in the order of Sort: a scan gives its files so
    std::shared_ptr<const ScannedFolder> lastFolder_;
    std::unordered_map<const ScannedFolder*, std::shared_ptr<const UniqueFd>> descriptors_;
    struct Kept {
        std::shared_ptr<const ScannedFolder> folder;
        std::shared_ptr<const FolderListing> listing;
        mutable std::shared_ptr<const ListingIndex> index; // made on first use
    };
    const Kept* KeptOf(const std::shared_ptr<const ScannedFolder>& folder) const;
    std::unordered_map<const ScannedFolder*, Kept> listings_;
};

// `dir` and `name` with exactly one "/" between them; nothing is added when `dir` is
// empty, when it ends with "/" or when `name` starts with "/".
Text JoinPath(TextView dir, TextView name);

// The name of the folder `folder` ("/photos/Vacances/" gives "Vacances"); empty
// for the root and for no folder.
TextView FolderName(TextView folder);

// Appends the record of the file `fullPath`: its name is the part after the last
// "/", its folder the part up to and including it.
void AddFoundFile(TListFiles& list, TextView fullPath, std::int64_t size, std::int64_t date);

// CompareFileNames (files/name_order.hpp) of the names of two records.
int CompareFileNames(const TProjectFile& a, const TProjectFile& b);

} // namespace quorvel
