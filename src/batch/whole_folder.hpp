// The files a run without a window works on: those of a folder that match a
// filter, in the order they are shown, every one of them selected.
#pragma once

#include "files/listing/project_file.hpp"

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace quorvel {

// Scans `folder` for the names that match `filter` (bytes; empty: "*.*"),
// sorts them and selects them all. An exit status when the folder cannot be read,
// said on standard error.
std::optional<int> ListWholeFolder(const FolderPath& folder, std::string_view filter, TListFiles& files,
                                   std::vector<std::size_t>& selection);

} // namespace quorvel
