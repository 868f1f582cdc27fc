// The files a run without a window works on: those of a folder (and of the folders
// below it, when asked) that match a filter, in the order they are shown, every one
// of them selected.
#pragma once

#include "batch/output.hpp"
#include "files/listing/project_file.hpp"
#include "files/listing/scan.hpp"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel {

// How much of the folder is taken: its own entries (depth 1), or those of the folders
// below it too, and which entries.
struct FolderScope {
    std::uint32_t depth = 1;   // the folder is 1, the folders in it 2...; 0: no limit
    bool crossDevices = false; // enter the folders of other file systems
    TreeEntries entries = TreeEntries::Files;
};

struct WholeFolder {
    // An exit status when the folder itself cannot be read, said on standard error.
    std::optional<int> status;
    // How many folders below it could not be read, each said on standard error; the
    // others are listed.
    std::size_t unreadable = 0;
};

// Scans `folder` for the names that match `filter` (bytes; empty: "*.*") within
// `scope`, sorts them (each folder's entries by name, the folders in the order of
// the tree) and selects them all.
WholeFolder ListWholeFolder(const FolderPath& folder, std::string_view filter, const FolderScope& scope,
                            TListFiles& files, std::vector<std::size_t>& selection);

// How a run without a window names an entry of its files: `name` in the folder of
// `record`, as a path below the folder of the scan ("sub/b.txt"; the bare name in
// that folder itself). Bytes, as they are.
std::string PathInScan(const TProjectFile& record, std::string_view name);
// The same written to `out`, without making a string of it.
void WritePathInScan(Output& out, const TProjectFile& record, std::string_view name);

} // namespace quorvel
