// The run over a tree of folders: every folder planned before anything moves, one
// journal for the whole tree, the files renamed first, folder by folder, then the
// folders, the deepest first.
#pragma once

#include "files/listing/project_file.hpp"
#include "files/run/rename_run.hpp"

#include <vector>

namespace quorvel {

// The folder of a tree scan the folders of `run` are found below; null when one of
// them was not found by a tree scan or they are below different ones.
const ScannedFolder* TreeRootOf(const TListFiles& files, const std::vector<RunFile>& run);

// Runs (or, with options.dryRun, plans) `report.files`, all below `root`, and
// fills the rest of `report`. Each folder is opened from the one that holds it,
// never through a symbolic link, and only while it is the folder that was listed.
void RunTree(RunReport& report, const TListFiles& files, const ScannedFolder& root,
             const RunOptions& options);

} // namespace quorvel
