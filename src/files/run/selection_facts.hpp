// Stage of a run before the new names: the facts a script's templates ask of the
// selected files (the date a photo was taken, the tags of a song...), read from the
// files themselves, each one once, through a cache that outlives the run.
#pragma once

#include "files/listing/project_file.hpp"
#include "metadata/facts_cache.hpp"
#include "metadata/read_many.hpp"

#include <cstddef>
#include <functional>
#include <span>
#include <stop_token>

namespace quorvel {

// The facts of `wanted` of every file of `selection` (0-based indexes into `files`),
// one per index in the same order; an index outside the list has none. A file is
// read through the descriptor its scan kept of its folder, or by its path. Nothing is
// read when `wanted` is empty. `progress` and `stop` as ReadFactsOfFiles takes them.
FactsOfFiles ReadFactsOfSelection(FactSet wanted, const TListFiles& files,
                                  std::span<const std::size_t> selection, FactsCache& cache,
                                  const std::function<void(std::size_t done)>& progress = {},
                                  std::stop_token stop = {});

// `facts` (one per file of `selection`) moved to the places of their records in a
// list of `count` records, as NewNames takes them.
std::vector<FileFacts> FactsByRecord(FactsOfFiles facts, std::span<const std::size_t> selection,
                                     std::size_t count);

} // namespace quorvel
