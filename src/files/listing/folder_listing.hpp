// What a folder holds, read in one pass: the name, type and inode number of every
// entry, without a stat of any of them.
#pragma once

#include "engine/unique_fd.hpp"
#include "files/listing/folder_path.hpp"
#include "files/tables/huge_pages.hpp"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// No entry of a listing.
inline constexpr std::uint32_t kNoEntry = UINT32_MAX;

class FolderListing {
public:
    std::size_t Count() const { return entries_.size(); }
    // The name of entry `i` as the bytes of the directory entry.
    std::string_view Name(std::size_t i) const {
        return std::string_view(names_).substr(entries_[i].offset, entries_[i].size);
    }
    // DT_REG, DT_DIR, DT_LNK... or DT_UNKNOWN when the file system does not tell.
    unsigned char Type(std::size_t i) const { return entries_[i].type; }
    std::uint64_t Inode(std::size_t i) const { return entries_[i].inode; }
    // Ask the processor for entry `i`, then (once the entry is at hand) for its name,
    // ahead of reading them: for passes over the entries in an order of their own.
    void PrefetchEntry(std::size_t i) const {
        if (i < entries_.size()) {
            __builtin_prefetch(&entries_[i]);
        }
    }
    void PrefetchName(std::size_t i) const {
        if (i < entries_.size()) {
            __builtin_prefetch(names_.data() + entries_[i].offset);
        }
    }

    void Add(std::string_view name, unsigned char type, std::uint64_t inode);
    // Puts the entries in the order of their names (CompareFileNames, then bytes).
    void SortByName();
    void Clear();
    // Room for the entries of a folder whose size is `folderBytes`.
    void Reserve(std::size_t folderBytes);

private:
    struct Entry {
        std::size_t offset;
        std::uint64_t inode;
        std::uint16_t size;
        unsigned char type;
    };
    LargeString names_; // every name, one after the other
    LargeVector<Entry> entries_;
};

// Opens the folder `path` for listing and for renaming in it. Sets `error`
// to 0, or to the errno value that tells why it cannot be opened.
UniqueFd OpenFolder(const FolderPath& path, int& error);

// Lists the folder open as `dirfd` into `out` (emptied first), "." and ".." left
// out. It reads through a descriptor of its own, so `dirfd` can be listed again
// and again. Returns 0 or an errno value.
int ListFolder(int dirfd, FolderListing& out);

// A folder opened and listed, or why it could not be.
struct ListedFolder {
    UniqueFd opened;       // the descriptor opened here, when none was kept
    int fd = -1;           // the folder's descriptor: the kept one, or `opened`
    FolderListing listing; // its entries, when `error` is 0
    int error = 0;         // 0, or the errno value that stopped the opening or the listing
};

// Opens the folder `path` (bytes), or takes `kept` (a descriptor of that folder
// kept open by its listing), and lists it.
ListedFolder OpenListedFolder(const FolderPath& path, std::optional<int> kept = std::nullopt);

} // namespace quorvel
