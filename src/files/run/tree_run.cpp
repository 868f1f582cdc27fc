#include "files/run/tree_run.hpp"

#include "files/listing/folder_listing.hpp"
#include "files/listing/scan.hpp"
#include "files/run/journal_messages.hpp"
#include "files/run/journal_writer.hpp"
#include "files/run/plan_folder.hpp"
#include "files/run/rename_steps.hpp"
#include "files/run/run_messages.hpp"
#include "files/run/run_parts.hpp"
#include "files/run/safe_rename.hpp"
#include "files/run/tree_stages.hpp"
#include "files/run/verify.hpp"
#include "files/tables/name_fold.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <exception>
#include <functional>
#include <future>
#include <numeric>
#include <optional>
#include <system_error>
#include <thread>
#include <unordered_map>

namespace quorvel {

namespace {

// Runs `work` on the calling thread and, when there is a second core, on one more
// thread at the same time; `waiting` is called on the calling thread every 50 ms
// while the other thread is still at work after the caller's share. An exception
// of either is thrown once both are done.
void OnTwoThreads(const std::function<void(bool caller)>& work, const std::function<void()>& waiting = {}) {
    std::future<void> other;
    if (std::thread::hardware_concurrency() >= 2) {
        try {
            other = std::async(std::launch::async, [&] { work(false); });
        } catch (const std::system_error&) {
            // no thread to be had: the calling thread does it all
        }
    }
    std::exception_ptr failed;
    try {
        work(true);
    } catch (...) {
        failed = std::current_exception();
    }
    if (other.valid()) {
        while (other.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
            if (waiting && !failed) {
                waiting();
            }
        }
        try {
            other.get();
        } catch (...) {
            failed = failed ? failed : std::current_exception();
        }
    }
    if (failed) {
        std::rethrow_exception(failed);
    }
}

// How far the renames of a tree are, whichever thread renames: the hook of the run
// is only ever called on the thread that called the run, with the steps done in
// all the stages and the steps of the whole run.
class TreeProgress {
public:
    TreeProgress(const ProgressHook& hook, std::size_t total) : hook_(hook), total_(total) {}

    // The hook of one stage, renamed on the calling thread (`caller`) or on the
    // other one. `reached` counts the steps of the stage told so far.
    ProgressHook ForStage(bool caller, std::size_t& reached) {
        return [this, caller, &reached](std::size_t worked, std::size_t) {
            done_ += worked - reached;
            reached = worked;
            return caller ? Tell() : !stop_.load();
        };
    }
    // The stage is over: all its steps count as gone through.
    void StageOver(std::size_t steps, std::size_t reached) { done_ += steps > reached ? steps - reached : 0; }

    // Tells the hook of the run; false when the run is to stop.
    bool Tell() {
        if (hook_ && !stop_.load() && !hook_(done_.load(), total_)) {
            stop_ = true;
        }
        return !stop_.load();
    }
    bool Stopped() const { return stop_.load(); }
    void Stop() { stop_ = true; }

private:
    const ProgressHook& hook_;
    std::size_t total_;
    std::atomic<std::size_t> done_{0};
    std::atomic<bool> stop_{false};
};

// The files of a run over a tree, folder after folder, as the stages take them.
// They come so from a listing; a selection that mixes folders is moved so, once,
// and `place` tells where each file came from in the report, where they go back at
// the end.
class TreeFiles {
public:
    TreeFiles(std::vector<RunFile> files, const TListFiles& list) : all(std::move(files)), place(all.size()) {
        std::iota(place.begin(), place.end(), std::size_t{0});
        std::unordered_map<const ScannedFolder*, std::size_t> rank; // of each folder, by its first file
        std::vector<std::size_t> rankOf(all.size());
        bool grouped = true;
        const ScannedFolder* last = nullptr;
        for (std::size_t i = 0; i < all.size(); ++i) {
            const ScannedFolder* folder = list.Items(all[i].index).SharedFolder().get();
            const auto [at, added] = rank.try_emplace(folder, rank.size());
            grouped = grouped && (added || folder == last);
            rankOf[i] = at->second;
            last = folder;
        }
        if (!grouped) {
            std::stable_sort(place.begin(), place.end(),
                             [&](std::size_t a, std::size_t b) { return rankOf[a] < rankOf[b]; });
            std::vector<RunFile> moved;
            moved.reserve(all.size());
            for (const std::size_t i : place) {
                moved.push_back(std::move(all[i]));
            }
            all = std::move(moved);
        }
    }

    // The files in the order of the report again.
    std::vector<RunFile> Back() {
        bool same = true;
        for (std::size_t i = 0; i < place.size() && same; ++i) {
            same = place[i] == i;
        }
        if (same) {
            return std::move(all);
        }
        std::vector<RunFile> back(all.size());
        for (std::size_t i = 0; i < all.size(); ++i) {
            back[place[i]] = std::move(all[i]);
        }
        return back;
    }

    std::vector<RunFile> all;
    std::vector<std::size_t> place;
};

// The plan of every folder, before anything moves, on two threads when there are
// many: each plan is its folder's alone. A dry run plans against the folders as
// they were listed; a run reads each folder again, and takes the stamps of the
// files that move.
void PlanStages(std::vector<TreeStage>& stages, std::vector<RunFile>& all, std::vector<FileStamp>& stamps,
                const TListFiles& files, const ScannedFolder& root, bool rootIgnoresCase, StampKind stampKind,
                bool dryRun) {
    const auto plan = [&](TreeStage& stage) {
        const std::span<RunFile> run = stage.Of(all);
        const FolderListing* kept = dryRun ? files.KeptListing(stage.folder) : nullptr;
        if (kept != nullptr && stage.folder->device == root.device) {
            stage.steps = PlanFolder(run, *kept, rootIgnoresCase);
            return;
        }
        int error = 0;
        const UniqueFd fd = OpenScannedFolder(files, *stage.folder, error);
        FolderListing listing;
        if (error == 0) {
            error = ListFolder(fd.Get(), listing);
        }
        if (error != 0) {
            StopAll(run, FolderUnreadableText(RelativeOf(*stage.folder), error));
            return;
        }
        stage.steps = PlanFolder(run, listing, FolderIgnoresCase(fd.Get()));
        if (!dryRun && !stage.steps.empty()) {
            StampsOfMovingFiles(run, stage.steps, fd.Get(), stampKind,
                                std::span(stamps).subspan(stage.first, stage.count));
        }
    };
    std::atomic<std::size_t> next{0};
    const auto planSome = [&](bool) {
        for (std::size_t k = next++; k < stages.size(); k = next++) {
            try {
                plan(stages[k]);
            } catch (...) {
                next = stages.size();
                throw;
            }
        }
    };
    if (stages.size() < 8) {
        planSome(true);
    } else {
        OnTwoThreads(planSome);
    }
}

// Renames the files of one stage in its folder, opened again from its parent, then
// verifies the folder. A folder swapped for another, or for a symbolic link, since
// the plan is refused: nothing is renamed in it.
void RenameStage(const TreeStage& stage, std::span<RunFile> run, const TListFiles& files,
                 JournalWriter& journal, TreeProgress& progress, bool caller) {
    if (progress.Stopped()) {
        for (RunFile& f : run) {
            if (f.verdict == Verdict::Ready) {
                f.reason = std::string(kStoppedText);
            }
        }
        return;
    }
    int error = 0;
    const UniqueFd fd = OpenScannedFolder(files, *stage.folder, error);
    if (error != 0) {
        StopAll(run, FolderUnreadableText(RelativeOf(*stage.folder), error));
        return;
    }
    journal.SetStage(stage.firstStep, stage.first);
    Renamer renamer(fd.Get());
    std::vector<StepState> state(stage.steps.size(), StepState::NotDone);
    std::size_t reached = 0;
    if (RenameSteps(run, stage.steps, state, renamer, journal, progress.ForStage(caller, reached))) {
        progress.Stop();
    }
    progress.StageOver(stage.steps.size(), reached);
    FolderListing after;
    if (ListFolder(fd.Get(), after) == 0) {
        PutBack(run, stage.steps, state, Verify(run, after, fd.Get(), journal), renamer, journal);
    }
}

// The stages in their order. Those that rename files alone come first: each is in
// a folder of its own and no folder has been renamed yet, so they do not depend on
// one another, and two threads take them in turn, each with its own writer of the
// journal. The stages that rename folders come after all of them, one after the
// other.
void RenameStages(const std::vector<TreeStage>& stages, std::vector<RunFile>& all, const TListFiles& files,
                  JournalWriter& journal, TreeProgress& progress) {
    const auto firstWithFolders = static_cast<std::size_t>(
        std::find_if(stages.begin(), stages.end(), [](const TreeStage& s) { return s.folders; }) -
        stages.begin());
    std::atomic<std::size_t> next{0};
    const auto renameSome = [&](JournalWriter& writer, bool caller) {
        for (std::size_t k = next++; k < firstWithFolders; k = next++) {
            try {
                if (!stages[k].steps.empty()) {
                    RenameStage(stages[k], stages[k].Of(all), files, writer, progress, caller);
                }
            } catch (...) {
                progress.Stop();
                throw;
            }
        }
    };
    if (firstWithFolders < 2) {
        renameSome(journal, true);
    } else {
        JournalWriter branch = journal.Branch();
        OnTwoThreads([&](bool caller) { renameSome(caller ? journal : branch, caller); },
                     [&] { progress.Tell(); });
        journal.Join(std::move(branch));
        // The other thread may have renamed them all: the caller hears of it now.
        progress.Tell();
    }
    for (std::size_t k = firstWithFolders; k < stages.size(); ++k) {
        if (!stages[k].steps.empty()) {
            RenameStage(stages[k], stages[k].Of(all), files, journal, progress, true);
        }
    }
    journal.SetStage(0, 0);
}

// The steps of the stages one after the other, numbered by the files of the run,
// and the places of the folders that have renames, with the folders above them.
std::vector<Step> StepsOfStages(std::vector<TreeStage>& stages, const ScannedFolder& root, RunPlaces& places,
                                std::size_t fileCount) {
    std::vector<Step> steps;
    std::size_t stepCount = 0;
    for (const TreeStage& stage : stages) {
        stepCount += stage.steps.size();
    }
    steps.reserve(stepCount);
    places.ofFile.assign(fileCount, 0);
    std::unordered_map<const ScannedFolder*, std::uint32_t> placeOf{{&root, 0}};
    const std::function<std::uint32_t(const ScannedFolder&)> place = [&](const ScannedFolder& folder) {
        if (const auto it = placeOf.find(&folder); it != placeOf.end()) {
            return it->second;
        }
        const std::uint32_t parent = place(*folder.parent);
        places.places.push_back({parent, folder.device, folder.inode, folder.name});
        const auto k = static_cast<std::uint32_t>(places.places.size());
        placeOf.emplace(&folder, k);
        return k;
    };
    for (TreeStage& stage : stages) {
        stage.firstStep = steps.size();
        if (stage.steps.empty()) {
            continue;
        }
        std::fill_n(places.ofFile.begin() + static_cast<std::ptrdiff_t>(stage.first), stage.count,
                    place(*stage.folder));
        for (Step step : stage.steps) {
            step.file += static_cast<std::uint32_t>(stage.first);
            if (step.after >= 0) {
                step.after += static_cast<std::int64_t>(stage.firstStep);
            }
            steps.push_back(step);
        }
    }
    return steps;
}

} // namespace

const ScannedFolder* TreeRootOf(const TListFiles& files, const std::vector<RunFile>& run) {
    const ScannedFolder* root = nullptr;
    bool below = false;
    for (const RunFile& f : run) {
        const ScannedFolder* folder = files.Items(f.index).SharedFolder().get();
        below = below || folder->parent != nullptr;
        while (folder->parent) {
            folder = folder->parent.get();
        }
        if (root != nullptr && root != folder) {
            return nullptr;
        }
        root = folder;
    }
    return below ? root : nullptr;
}

void RunTree(RunReport& report, const TListFiles& files, const ScannedFolder& root,
             const RunOptions& options) {
    TreeFiles tree(std::move(report.files), files);
    std::vector<RunFile>& all = tree.all;
    std::vector<TreeStage> stages = StagesOf(all, files);
    int rootError = 0;
    UniqueFd rootFd = OpenScannedFolder(files, root, rootError);
    std::optional<FolderIdentity> identity;
    if (rootFd.Valid()) {
        identity = IdentifyFolder(rootFd.Get(), FolderPathOf(rootFd.Get(), root.path));
        rootError = identity ? 0 : errno;
    }
    if (rootError != 0) {
        report.stop = RunReport::Stop::FolderUnreadable;
        report.error = FolderUnreadableText(root.path.ForSystem(), rootError);
        StopAll(all, report.error);
        report.files = tree.Back();
        return;
    }
    std::vector<FileStamp> stamps(options.dryRun ? 0 : all.size());
    PlanStages(stages, all, stamps, files, root, FolderIgnoresCase(rootFd.Get()),
               FileStampKind(identity->stamp.kind), options.dryRun);
    stages = FilesThenFolders(std::move(stages), all, tree.place, stamps);
    if (options.dryRun) {
        for (RunFile& f : all) {
            if (f.verdict == Verdict::Ready) {
                f.outcome = RenameOutcome::Renamed;
            }
        }
    } else {
        RunPlaces places;
        const std::vector<Step> steps = StepsOfStages(stages, root, places, all.size());
        std::optional<JournalWriter> journal;
        std::string why;
        if (!steps.empty()) {
            journal =
                JournalWriter::Create(options.journalFolder.empty() ? JournalFolder() : options.journalFolder,
                                      *identity, all.size(), all, stamps, steps, why, places);
        }
        if (!steps.empty() && !journal) {
            report.stop = RunReport::Stop::NoJournal;
            report.error = NoJournalText(why);
            StopAll(all, report.error);
            for (TreeStage& stage : stages) {
                stage.steps.clear();
            }
        } else if (journal) {
            TreeProgress progress(options.progress, steps.size());
            RenameStages(stages, all, files, *journal, progress);
            report.stopped = progress.Stopped();
            journal->Finished(CountsOf(all));
            if (!journal->Close()) {
                report.journalError = JournalIncompleteText(journal->FailureText());
            }
            report.journals.push_back(journal->Path());
        }
    }
    // The steps in the order of the stages, numbered by the files of the report.
    for (const TreeStage& stage : stages) {
        const std::size_t base = report.steps.size();
        for (Step step : stage.steps) {
            step.file = static_cast<std::uint32_t>(tree.place[stage.first + step.file]);
            if (step.after >= 0) {
                step.after += static_cast<std::int64_t>(base);
            }
            report.steps.push_back(step);
        }
    }
    report.files = tree.Back();
}

} // namespace quorvel
