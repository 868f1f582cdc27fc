// The order files are shown and run in, and so numbered: by name (the order of the
// list), by size, by modification date or by the date a photo or video was taken,
// and reversed or not. Files without the key come last, in name order. The files of
// a tree are ordered within their folder, and the folders stay in the order of the
// tree.
#pragma once

#include "files/listing/project_file.hpp"
#include "metadata/facts_cache.hpp"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string_view>
#include <vector>

namespace quorvel {

enum class SortKey : std::uint8_t { Name, Size, Modified, Taken };

struct FileOrder {
    SortKey key = SortKey::Name;
    bool reverse = false;
    bool operator==(const FileOrder&) const = default;
};

// The key named `name` on a command line ("name", "size", "modified", "taken").
std::optional<SortKey> SortKeyNamed(std::string_view name);

// Puts `indexes` (records of `files`, a list in name order within each folder of a
// tree) in `order`, keeping the records of each folder together, folder after folder
// as the tree scan found them (ScannedFolder::sequence). Sizes and
// dates are read from the files, the dates taken through `cache`, with `progress`
// told of the files read; false, `indexes` unchanged, when `stop` stopped the
// reading.
bool ArrangeFiles(std::vector<std::size_t>& indexes, const TListFiles& files, FileOrder order,
                  FactsCache& cache, const std::function<void(std::size_t done)>& progress = {},
                  std::stop_token stop = {});

} // namespace quorvel
