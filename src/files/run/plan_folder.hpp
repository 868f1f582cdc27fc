// The plan of a run in one folder: the checks (validate), then the order of the
// renames (order), against the folder's names as listed. Touches nothing.
#pragma once

#include "files/listing/folder_listing.hpp"
#include "files/run/run_file.hpp"

#include <span>
#include <vector>

namespace quorvel {

// Gives every file of `run` its verdict and returns the steps that rename the ready
// ones. The listing's entries are indexed once, for both stages.
std::vector<Step> PlanFolder(std::span<RunFile> run, const FolderListing& listing, bool ignoresCase);

} // namespace quorvel
