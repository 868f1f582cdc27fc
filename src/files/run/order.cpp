#include "files/run/order.hpp"

#include "files/tables/index_table.hpp"

#include <optional>
#include <string>
#include <unistd.h>

namespace quorvel {

namespace {

// Hidden names for the cycles: ".quorvel-PID-N.tmp", the first N that no entry of
// the folder and no new name of the run has.
class TemporaryNames {
public:
    TemporaryNames(std::span<const RunFile> files, const std::function<bool(std::string_view)>& isTaken)
        : files_(files), isTaken_(isTaken),
          prefix_(".quorvel-" + std::to_string(static_cast<long>(::getpid())) + "-") {}

    std::string Next() {
        if (!targets_) {
            targets_.emplace(NewNameOf{&files_}, files_.size());
            for (std::size_t i = 0; i < files_.size(); ++i) {
                if (files_[i].verdict == Verdict::Ready) {
                    targets_->Insert(static_cast<std::uint32_t>(i));
                }
            }
        }
        for (;;) {
            std::string name = prefix_ + std::to_string(serial_++) + ".tmp";
            if (!isTaken_(name) && targets_->Find(name) == kNoIndex) {
                return name;
            }
        }
    }

private:
    struct NewNameOf {
        const std::span<const RunFile>* files;
        std::string_view operator()(std::uint32_t i) const { return (*files)[i].newName; }
    };

    std::span<const RunFile> files_;
    const std::function<bool(std::string_view)>& isTaken_;
    std::optional<IndexTable<NewNameOf>> targets_; // the new names, once a cycle needs them
    std::string prefix_;
    std::size_t serial_ = 0;
};

} // namespace

std::vector<Step> Order(std::span<RunFile> files, const std::function<bool(std::string_view)>& isTaken) {
    constexpr std::int64_t kNotYet = -1;
    std::vector<std::int64_t> stepOf(files.size(), kNotYet); // the step that frees the file's old name
    std::vector<Step> steps;
    // At most two steps per file (a cycle of one file has two): reserved, and only
    // touched as they come.
    steps.reserve(files.size() * 2);
    std::vector<std::uint32_t> path;
    TemporaryNames temporaries(files, isTaken);
    const auto emit = [&](std::uint32_t file, StepKind kind, std::int64_t after) {
        steps.push_back({file, kind, after});
        return static_cast<std::int64_t>(steps.size() - 1);
    };
    for (std::size_t start = 0; start < files.size(); ++start) {
        if (files[start].verdict != Verdict::Ready || stepOf[start] != kNotYet) {
            continue;
        }
        // Follow the files this one waits for, up to a free name, a file already
        // placed, or back to this file.
        path.assign(1, static_cast<std::uint32_t>(start));
        std::uint32_t next = files[start].waitsFor;
        while (next != kNoFile && next != start && stepOf[next] == kNotYet) {
            path.push_back(next);
            next = files[next].waitsFor;
        }
        if (next == start) {
            // A cycle: the first file steps aside, the others each take the name
            // freed before them, and the first file takes the last name freed.
            RunFile& first = files[start];
            first.temporary = temporaries.Next();
            std::int64_t freed = emit(path[0], StepKind::ToTemporary, -1);
            stepOf[path[0]] = freed;
            for (std::size_t k = path.size() - 1; k >= 1; --k) {
                freed = emit(path[k], StepKind::Move, freed);
                stepOf[path[k]] = freed;
            }
            emit(path[0], StepKind::FromTemporary, freed);
            continue;
        }
        // A chain: from its free end (or the file already placed that it waits for).
        std::int64_t freed = next == kNoFile ? -1 : stepOf[next];
        for (std::size_t k = path.size(); k-- > 0;) {
            freed = emit(path[k], StepKind::Move, freed);
            stepOf[path[k]] = freed;
        }
    }
    return steps;
}

} // namespace quorvel
