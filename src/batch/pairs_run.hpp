// Renames given as pairs of names, old and new, rather than made by a script:
// `quorvel-cli pairs` reads them from a list, `quorvel-cli edit` from the names the
// user changed in an editor. They go through the stages of every run: checks, order
// (shifts and swaps through a temporary name), journal, renames, verification.
#pragma once

#include "files/listing/folder_path.hpp"
#include "files/listing/project_file.hpp"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace quorvel {

// One rename, each name a path below the folder of the run, as bytes. A name only
// changes within its folder: `newPath` is a bare name, kept in the folder of
// `oldPath`, or a path whose folder is that of `oldPath`.
struct NamePair {
    std::string oldPath;
    std::string newPath;
};

struct PairsRunOptions {
    bool dryRun = false; // the plan on standard output, nothing touched
    bool null = false;   // the plan separated by NUL
};

// Lists `folder` (and the folders below it when an old name is a path, folders
// included) and renames `pairs`. Returns an ExitStatus: 0, or 1 when a pair failed.
int RunPairsInFolder(const FolderPath& folder, std::span<const NamePair> pairs,
                     const PairsRunOptions& options);

// The same on entries listed already (ListWholeFolder, PathInScan names them);
// `unreadable` folders below were said already and make the run a partial one.
int RunPairsOnFiles(const TListFiles& files, std::span<const NamePair> pairs, const PairsRunOptions& options,
                    std::size_t unreadable = 0);

} // namespace quorvel
