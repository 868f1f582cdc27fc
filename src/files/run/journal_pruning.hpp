// Which journals go when a new run begins: never one that is still needed.
//
// A journal that is locked (a run, a resume or an undo going on) or whose run was
// interrupted and is not settled stays, whatever its age or size. Of the others the
// newest 50 runs stay, and so does the newest run of every folder that had a run in
// the last 30 days, as long as all the journals together stay within 2 GiB; beyond
// that the oldest go first. A file that cannot be read as a journal is neither
// removed nor counted.
#pragma once

#include "files/run/journal_store.hpp"

#include <cstdint>
#include <ctime>
#include <string>

namespace quorvel {

struct PruningLimits {
    std::size_t keptRuns = 50;
    std::int64_t keptSeconds = std::int64_t{30} * 24 * 3600;
    std::uint64_t mostBytes = std::uint64_t{2} << 30;
};

// Removes the journals of `store` that are no longer needed; `keep` (the journal
// just made) always stays. `now` is the time the ages count from.
void PruneJournals(const JournalStore& store, const std::string& keep, const PruningLimits& limits = {},
                   std::int64_t now = static_cast<std::int64_t>(std::time(nullptr)));

} // namespace quorvel
