#include "files/run/journal_pruning.hpp"

#include "files/run/journal.hpp"

#include <algorithm>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

namespace quorvel {

namespace {

struct Candidate {
    std::string path;
    std::uint64_t bytes = 0;
    FolderIdentity folder;
    std::int64_t begun = 0;
    bool needed = false; // interrupted, or its last session did not close
    bool kept = false;   // among the runs kept whatever their age
    bool removed = false;
};

bool SameFolderKey(const FolderIdentity& a, const FolderIdentity& b) {
    return a.device == b.device && a.inode == b.inode && a.stamp == b.stamp;
}

// Removes `path` unless someone holds its lock: a session that reopened it since it
// was read keeps it. The lock is held while it goes, so that no session takes it in
// between.
bool RemoveUnlocked(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd.Valid() || ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        return false;
    }
    return ::unlink(path.c_str()) == 0;
}

} // namespace

void PruneJournals(const JournalStore& store, const std::string& keep, const PruningLimits& limits,
                   std::int64_t now) {
    std::vector<Candidate> runs; // oldest first
    for (std::string& path : store.Journals()) {
        const auto summary = ReadJournalSummary(path, SummaryReading::HeadAndEnd);
        if (!summary) {
            continue; // not understood: neither removed nor counted
        }
        Candidate run;
        run.bytes = summary->bytes;
        run.folder = summary->folder;
        run.begun = summary->begun;
        // A session that did not close may be going on, or was interrupted.
        run.needed = path == keep || summary->open ||
                     (summary->whole && StateOf(*summary) == RecordedState::Interrupted);
        run.path = std::move(path);
        runs.push_back(std::move(run));
    }
    // The newest runs, and the newest run of every folder of the last days.
    for (std::size_t i = runs.size(); i-- > 0;) {
        Candidate& run = runs[i];
        if (runs.size() - i <= limits.keptRuns) {
            run.kept = true;
        } else if (now - run.begun <= limits.keptSeconds) {
            const bool newer =
                std::any_of(runs.begin() + static_cast<std::ptrdiff_t>(i) + 1, runs.end(),
                            [&](const Candidate& c) { return SameFolderKey(c.folder, run.folder); });
            run.kept = !newer;
        }
    }
    std::uint64_t total = 0;
    for (Candidate& run : runs) {
        if (!run.needed && !run.kept) {
            run.removed = RemoveUnlocked(run.path);
        }
        total += run.removed ? 0 : run.bytes;
    }
    // Within the size: the oldest of those kept go first.
    for (Candidate& run : runs) {
        if (total <= limits.mostBytes) {
            break;
        }
        if (!run.needed && !run.removed && RemoveUnlocked(run.path)) {
            run.removed = true;
            total -= run.bytes;
        }
    }
}

} // namespace quorvel
