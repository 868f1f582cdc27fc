// The folder scan: the files of a folder that match a filter, as records.
#pragma once

#include "engine/text.hpp"
#include "files/listing/folder_path.hpp"
#include "files/listing/project_file.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quorvel {

// What a scan reads of each file besides its name.
enum class ScanDetail {
    SizeAndDate, // one fstatat per listed file
    NamesOnly    // Size() and Date() are -1; fstatat only where the entry type is unknown or a link
};

// Appends to `list` every entry of `folder` that is not a folder and matches the
// filter: patterns separated by ";", blanks kept. A file is added once, however
// many patterns it matches ("*.jpg;*.JPG" lists each photo once). Symbolic links
// count as what they point to; a link that points nowhere is listed. A folder that
// does not exist, cannot be read or is not a folder adds nothing, and so does an
// empty `folder`. A relative `folder` is taken from the working folder. The list keeps the descriptor the
// folder was read through, and every entry the folder had. Returns 0, or the errno value that tells why the
// folder could not be read (ENOENT for an empty `folder`).
int ScanFolder(const FolderPath& folder, TListFiles& list, TextView filter,
               ScanDetail detail = ScanDetail::SizeAndDate);

// Which entries a tree scan lists.
enum class TreeEntries : std::uint8_t {
    Files,           // files only (and everything else that is not a folder)
    FilesAndFolders, // folders too, and symbolic links to folders
    FoldersOnly      // folders and symbolic links to folders only
};

struct TreeScan {
    // How deep the scan goes: the folder itself is depth 1, the folders in it 2...;
    // 0 for no limit.
    std::uint32_t depth = 1;
    bool crossDevices = false; // enter folders of other file systems
    TreeEntries entries = TreeEntries::Files;
    ScanDetail detail = ScanDetail::SizeAndDate;
    // Told after each folder read, with the folders read and the entries listed so
    // far; false stops the scan (what was listed stays).
    std::function<bool(std::size_t folders, std::size_t entries)> progress;
};

// A folder below the folder of a tree scan that could not be read.
struct UnreadableFolder {
    std::string relative; // its path below the folder of the scan, as bytes ("sub/x")
    int error = 0;        // the errno value
};

struct TreeScanReport {
    int error = 0; // why the folder itself could not be read, as ScanFolder returns it
    std::vector<UnreadableFolder> unreadable;
    bool stopped = false;
};

// Appends to `list` the entries of `folder` and of the folders below it, down to
// `scan.depth`, that match the filter (its patterns apply to the names of files and
// of folders alike): each folder's own entries in name order, then each folder in
// it in name order, depth first. Every folder below `folder` is opened from the one
// that holds it, never through a symbolic link: a symbolic link to a folder is an
// entry, never entered. A folder of another file system is not entered unless
// `scan.crossDevices`. A folder below that cannot be read is reported, and the scan
// goes on. Keeps the descriptor of `folder` and the listing of every folder read.
TreeScanReport ScanTree(const FolderPath& folder, TListFiles& list, TextView filter, const TreeScan& scan);

// Opens a folder of records for renaming in it: through the descriptor its list
// kept, else, for a folder found below another, by its name in the folder that
// holds it (opened the same way), without following a symbolic link and only when it
// is still the folder that was read (else ENOTDIR), else by its path. Sets `error`
// to 0 or to the errno value.
UniqueFd OpenScannedFolder(const TListFiles& list, const ScannedFolder& folder, int& error);

} // namespace quorvel
