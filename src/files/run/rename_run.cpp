#include "files/run/rename_run.hpp"

#include "engine/codec.hpp"
#include "engine/compiled_script.hpp"
#include "files/listing/folder_listing.hpp"
#include "files/listing/scan.hpp"
#include "files/run/by_folder.hpp"
#include "files/run/journal_messages.hpp"
#include "files/run/journal_writer.hpp"
#include "files/run/new_names.hpp"
#include "files/run/plan_folder.hpp"
#include "files/run/rename_steps.hpp"
#include "files/run/run_messages.hpp"
#include "files/run/safe_rename.hpp"
#include "files/run/verify.hpp"
#include "files/tables/name_fold.hpp"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <functional>
#include <optional>
#include <thread>
#include <unordered_map>

namespace quorvel {

namespace {

void Count(RunReport& report) {
    report.renamed = report.unchanged = report.failed = 0;
    for (const RunFile& f : report.files) {
        switch (f.outcome) {
        case RenameOutcome::Renamed:
            ++report.renamed;
            break;
        case RenameOutcome::Unchanged:
            ++report.unchanged;
            break;
        case RenameOutcome::Failed:
            ++report.failed;
            break;
        }
    }
}

RunCounts CountsOf(const std::vector<RunFile>& files) {
    RunCounts counts;
    for (const RunFile& f : files) {
        (f.outcome == RenameOutcome::Renamed     ? counts.renamed
         : f.outcome == RenameOutcome::Unchanged ? counts.unchanged
                                                 : counts.failed)++;
    }
    return counts;
}

// Before anything moves: every file that would have moved fails for `reason`.
void StopAll(std::vector<RunFile>& run, const std::string& reason) {
    for (RunFile& f : run) {
        if (f.verdict == Verdict::Ready) {
            f.outcome = RenameOutcome::Failed;
            f.reason = reason;
        }
    }
}

// What tells each file that moves from a file given its inode number later: its
// stamp, of the kind the folder gives. The inode found now replaces the one of the
// listing when the name holds another file since (the rename moves what the name
// holds).
std::vector<FileStamp> StampsOfMovingFiles(std::vector<RunFile>& run, const std::vector<Step>& steps,
                                           int dirfd, StampKind kind) {
    std::vector<FileStamp> stamps(run.size());
    for (const Step& step : steps) {
        RunFile& f = run[step.file];
        if (step.kind == StepKind::FromTemporary || (kind == StampKind::None && f.inode != 0)) {
            continue; // its file was seen at its first step, or its inode number alone tells it
        }
        if (const auto now = IdentifyEntry(dirfd, f.oldName, kind)) {
            f.inode = now->inode;
            stamps[step.file] = now->stamp;
        }
    }
    return stamps;
}

// The stages of one folder, on the files of the run that are in it.
void RunInFolder(std::vector<RunFile>& run, std::vector<Step>& steps, const TListFiles& list,
                 const std::shared_ptr<const ScannedFolder>& folder, const RunOptions& options,
                 RunReport& report) {
    if (report.stopped) { // in a folder before this one
        for (RunFile& f : run) {
            f.reason = std::string(kStoppedText);
        }
        return;
    }
    const ListedFolder listed = OpenListedFolder(folder->path, list.FolderDescriptor(folder));
    if (listed.error != 0) {
        report.stop = RunReport::Stop::FolderUnreadable;
        report.error = FolderUnreadableText(folder->path.ForSystem(), listed.error);
        StopAll(run, report.error);
        return;
    }
    const int dirfd = listed.fd;
    steps = PlanFolder(run, listed.listing, FolderIgnoresCase(dirfd));
    if (options.dryRun) {
        for (RunFile& f : run) {
            if (f.verdict == Verdict::Ready) {
                f.outcome = RenameOutcome::Renamed;
            }
        }
        return;
    }
    if (steps.empty()) {
        return;
    }
    // The folder is recorded by its real path, which undo opens again without
    // following a symbolic link.
    const auto identity = IdentifyFolder(dirfd, FolderPathOf(dirfd, folder->path));
    std::string why = identity ? std::string() : RenameErrorText(errno);
    std::optional<JournalWriter> journal;
    if (identity) {
        const std::vector<FileStamp> stamps =
            StampsOfMovingFiles(run, steps, dirfd, FileStampKind(identity->stamp.kind));
        journal =
            JournalWriter::Create(options.journalFolder.empty() ? JournalFolder() : options.journalFolder,
                                  *identity, run.size(), run, stamps, steps, why);
    }
    if (!journal) {
        report.stop = RunReport::Stop::NoJournal;
        report.error = NoJournalText(why);
        StopAll(run, report.error);
        steps.clear();
        return;
    }
    // From here on a record that cannot be written (no room left, an I/O error)
    // does not stop the run: the plan is on disk, synced, with the inode and the
    // stamp of every file and its old, temporary and new names, which are all
    // different names of one folder. Reading that folder tells where each file is,
    // hence the state of every step, whatever the records say: undo and resume do
    // so. The failure is reported, and the journal stays without "closed".
    Renamer renamer(dirfd);
    std::vector<StepState> state(steps.size(), StepState::NotDone);
    report.stopped = RenameSteps(run, steps, state, renamer, *journal, options.progress);
    FolderListing after;
    if (ListFolder(dirfd, after) == 0) {
        PutBack(run, steps, state, Verify(run, after, dirfd, *journal), renamer, *journal);
    }
    journal->Finished(CountsOf(run));
    if (!journal->Close() && report.journalError.empty()) {
        report.journalError = JournalIncompleteText(journal->FailureText());
    }
    report.journals.push_back(journal->Path());
}

// The folder of a tree scan the folders of `files` are found below; null when one
// of them was not found by a tree scan or they are below different ones.
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

// One stage of a run over a tree: the files of one folder.
struct TreeStage {
    std::shared_ptr<const ScannedFolder> folder;
    std::vector<std::size_t> members; // their places in the whole run
    std::vector<RunFile> run;
    std::vector<Step> steps;
    std::vector<FileStamp> stamps;
    std::size_t firstStep = 0; // in the plan of the journal
    std::size_t firstFile = 0;
};

// Its path below the run's folder, as shown in messages ("." for that folder).
std::string RelativeOf(const ScannedFolder& folder) {
    return folder.relative.empty() ? std::string(".") : folder.relative.substr(0, folder.relative.size() - 1);
}

// The part of `stage` whose entries are folders (`folders`) or files, with its
// steps numbered within it.
TreeStage PartOf(TreeStage& stage, bool folders) {
    TreeStage part;
    part.folder = stage.folder;
    std::vector<std::uint32_t> fileAt(stage.run.size(), kNoFile);
    for (std::size_t k = 0; k < stage.run.size(); ++k) {
        if (stage.run[k].folder == folders) {
            fileAt[k] = static_cast<std::uint32_t>(part.run.size());
            part.members.push_back(stage.members[k]);
            part.run.push_back(std::move(stage.run[k]));
            if (k < stage.stamps.size()) {
                part.stamps.resize(part.run.size());
                part.stamps.back() = stage.stamps[k];
            }
        }
    }
    std::vector<std::int64_t> stepAt(stage.steps.size(), -1);
    for (std::size_t s = 0; s < stage.steps.size(); ++s) {
        Step step = stage.steps[s];
        if (fileAt[step.file] == kNoFile) {
            continue;
        }
        step.file = fileAt[step.file];
        if (step.after >= 0) {
            step.after = stepAt[static_cast<std::size_t>(step.after)];
        }
        stepAt[s] = static_cast<std::int64_t>(part.steps.size());
        part.steps.push_back(step);
    }
    if (!part.stamps.empty()) {
        part.stamps.resize(part.run.size());
    }
    return part;
}

// The stages in the order of the run: the files of every folder first, in the
// order of the tree, then the folders, the deepest first, so that nothing is
// renamed under a folder already renamed. A folder whose plan ties the rename of a
// file to that of a folder (a file takes the name a folder leaves, a cycle of both)
// renames both together, with the folders.
std::vector<TreeStage> FilesThenFolders(std::vector<TreeStage> stages) {
    std::sort(stages.begin(), stages.end(),
              [](const TreeStage& a, const TreeStage& b) { return a.folder->sequence < b.folder->sequence; });
    std::vector<TreeStage> ordered;
    std::vector<TreeStage> folders;
    for (TreeStage& stage : stages) {
        const bool tied = std::any_of(stage.steps.begin(), stage.steps.end(), [&](const Step& step) {
            return step.after >= 0 &&
                   stage.run[step.file].folder !=
                       stage.run[stage.steps[static_cast<std::size_t>(step.after)].file].folder;
        });
        const bool mixed =
            std::any_of(stage.run.begin(), stage.run.end(), [](const RunFile& f) { return f.folder; }) &&
            std::any_of(stage.run.begin(), stage.run.end(), [](const RunFile& f) { return !f.folder; });
        if (tied || !mixed) {
            const bool hasFolders =
                std::any_of(stage.run.begin(), stage.run.end(), [](const RunFile& f) { return f.folder; });
            (hasFolders ? folders : ordered).push_back(std::move(stage));
            continue;
        }
        ordered.push_back(PartOf(stage, false));
        folders.push_back(PartOf(stage, true));
    }
    std::stable_sort(folders.begin(), folders.end(), [](const TreeStage& a, const TreeStage& b) {
        return a.folder->depth > b.folder->depth;
    });
    for (TreeStage& stage : folders) {
        ordered.push_back(std::move(stage));
    }
    return ordered;
}

// A run over a tree of folders: the stages are planned first, all of them, then
// journaled in one journal, then run one after the other (FilesThenFolders), so
// that no rename happens under a folder already renamed. Each folder is opened
// from the one that holds it, never through a symbolic link, and only while it is
// the folder that was listed.
void RunTree(RunReport& report, const TListFiles& files, const ScannedFolder& root,
             const RunOptions& options) {
    std::vector<TreeStage> stages;
    {
        std::unordered_map<const ScannedFolder*, std::size_t> stageOf;
        for (std::size_t i = 0; i < report.files.size(); ++i) {
            const auto& folder = files.Items(report.files[i].index).SharedFolder();
            const auto [at, added] = stageOf.try_emplace(folder.get(), stages.size());
            if (added) {
                stages.push_back({});
                stages.back().folder = folder;
            }
            stages[at->second].members.push_back(i);
        }
    }
    for (TreeStage& stage : stages) {
        stage.run.reserve(stage.members.size());
        for (const std::size_t i : stage.members) {
            stage.run.push_back(std::move(report.files[i]));
        }
    }
    const auto putBack = [&] {
        for (TreeStage& stage : stages) {
            for (std::size_t k = 0; k < stage.members.size(); ++k) {
                report.files[stage.members[k]] = std::move(stage.run[k]);
            }
        }
    };
    // The plan of every folder before anything moves.
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
        for (TreeStage& stage : stages) {
            StopAll(stage.run, report.error);
        }
        putBack();
        return;
    }
    const bool rootIgnoresCase = FolderIgnoresCase(rootFd.Get());
    const auto plan = [&](TreeStage& stage) {
        // A dry run plans against the folders as they were listed; a run reads
        // each folder again.
        const FolderListing* kept = options.dryRun ? files.KeptListing(stage.folder) : nullptr;
        if (kept != nullptr && stage.folder->device == root.device) {
            stage.steps = PlanFolder(stage.run, *kept, rootIgnoresCase);
            return;
        }
        int error = 0;
        const UniqueFd fd = OpenScannedFolder(files, *stage.folder, error);
        FolderListing listing;
        if (error == 0) {
            error = ListFolder(fd.Get(), listing);
        }
        if (error != 0) {
            StopAll(stage.run, FolderUnreadableText(RelativeOf(*stage.folder), error));
            return;
        }
        stage.steps = PlanFolder(stage.run, listing, FolderIgnoresCase(fd.Get()));
        if (!options.dryRun && !stage.steps.empty()) {
            stage.stamps =
                StampsOfMovingFiles(stage.run, stage.steps, fd.Get(), FileStampKind(identity->stamp.kind));
        }
    };
    // The folders are planned on two threads when there are many: each plan is its
    // folder's alone.
    std::atomic<std::size_t> next{0};
    const auto planSome = [&] {
        for (std::size_t k = next++; k < stages.size(); k = next++) {
            plan(stages[k]);
        }
    };
    if (stages.size() < 8 || std::thread::hardware_concurrency() < 2) {
        planSome();
    } else {
        std::exception_ptr failed;
        std::thread other([&] {
            try {
                planSome();
            } catch (...) {
                failed = std::current_exception();
                next = stages.size();
            }
        });
        try {
            planSome();
        } catch (...) {
            next = stages.size();
            other.join();
            throw;
        }
        other.join();
        if (failed) {
            std::rethrow_exception(failed);
        }
    }
    stages = FilesThenFolders(std::move(stages));
    if (options.dryRun) {
        for (TreeStage& stage : stages) {
            for (RunFile& f : stage.run) {
                if (f.verdict == Verdict::Ready) {
                    f.outcome = RenameOutcome::Renamed;
                }
            }
        }
    }
    // One plan for the journal: the files of the stages one after the other, and
    // the places of the folders that have renames, with the folders above them.
    std::vector<RunFile> all;
    std::vector<Step> steps;
    std::vector<FileStamp> stamps;
    RunPlaces places;
    if (!options.dryRun) {
        std::size_t moving = 0;
        std::size_t stepCount = 0;
        for (const TreeStage& stage : stages) {
            moving += stage.steps.empty() ? 0 : stage.run.size();
            stepCount += stage.steps.size();
        }
        all.reserve(moving);
        stamps.reserve(moving);
        places.ofFile.reserve(moving);
        steps.reserve(stepCount);
    }
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
        stage.firstFile = all.size();
        if (stage.steps.empty() || options.dryRun) {
            continue;
        }
        const std::uint32_t k = place(*stage.folder);
        for (Step step : stage.steps) {
            step.file += static_cast<std::uint32_t>(stage.firstFile);
            if (step.after >= 0) {
                step.after += static_cast<std::int64_t>(stage.firstStep);
            }
            steps.push_back(step);
        }
        for (std::size_t k2 = 0; k2 < stage.run.size(); ++k2) {
            all.push_back(std::move(stage.run[k2]));
            stamps.push_back(k2 < stage.stamps.size() ? stage.stamps[k2] : FileStamp{});
            places.ofFile.push_back(k);
        }
    }
    if (!options.dryRun && !steps.empty()) {
        std::string why;
        auto journal =
            JournalWriter::Create(options.journalFolder.empty() ? JournalFolder() : options.journalFolder,
                                  *identity, report.files.size(), all, stamps, steps, why, places);
        // The files back in their stages, now that the plan is written.
        for (TreeStage& stage : stages) {
            if (!stage.steps.empty()) {
                std::move(all.begin() + static_cast<std::ptrdiff_t>(stage.firstFile),
                          all.begin() + static_cast<std::ptrdiff_t>(stage.firstFile + stage.run.size()),
                          stage.run.begin());
            }
        }
        if (!journal) {
            report.stop = RunReport::Stop::NoJournal;
            report.error = NoJournalText(why);
            for (TreeStage& stage : stages) {
                StopAll(stage.run, report.error);
                stage.steps.clear();
            }
        } else {
            for (TreeStage& stage : stages) {
                if (stage.steps.empty()) {
                    continue;
                }
                if (report.stopped) {
                    for (RunFile& f : stage.run) {
                        if (f.verdict == Verdict::Ready) {
                            f.reason = std::string(kStoppedText);
                        }
                    }
                    continue;
                }
                // Opened again: a folder swapped for another, or for a symbolic
                // link, since the plan is refused; nothing is renamed in it.
                int error = 0;
                const UniqueFd fd = OpenScannedFolder(files, *stage.folder, error);
                if (error != 0) {
                    StopAll(stage.run, FolderUnreadableText(RelativeOf(*stage.folder), error));
                    continue;
                }
                journal->SetStage(stage.firstStep, stage.firstFile);
                Renamer renamer(fd.Get());
                std::vector<StepState> state(stage.steps.size(), StepState::NotDone);
                report.stopped =
                    RenameSteps(stage.run, stage.steps, state, renamer, *journal, options.progress);
                FolderListing after;
                if (ListFolder(fd.Get(), after) == 0) {
                    PutBack(stage.run, stage.steps, state, Verify(stage.run, after, fd.Get(), *journal),
                            renamer, *journal);
                }
            }
            journal->SetStage(0, 0);
            RunCounts counts;
            for (const TreeStage& stage : stages) {
                const RunCounts c = CountsOf(stage.run);
                counts.renamed += c.renamed;
                counts.unchanged += c.unchanged;
                counts.failed += c.failed;
            }
            journal->Finished(counts);
            if (!journal->Close()) {
                report.journalError = JournalIncompleteText(journal->FailureText());
            }
            report.journals.push_back(journal->Path());
        }
    }
    // The steps in the order they were done, numbered by the files of the report.
    for (const TreeStage& stage : stages) {
        const std::size_t base = report.steps.size();
        for (Step step : stage.steps) {
            step.file = static_cast<std::uint32_t>(stage.members[step.file]);
            if (step.after >= 0) {
                step.after += static_cast<std::int64_t>(base);
            }
            report.steps.push_back(step);
        }
    }
    putBack();
}

RunReport Run(const ScriptLines& script, const TListFiles& files, std::span<const std::size_t> selection,
              NumberCounter& counter, const RunOptions& options) {
    counter = 0;
    RunReport report;
    if (!ScriptIsValid(script)) {
        return report;
    }
    report.files = NewNames(script, files, selection, counter, options.facts);
    if (const ScannedFolder* root = TreeRootOf(files, report.files)) {
        RunTree(report, files, *root, options);
        Count(report);
        return report;
    }
    ByFolder(report.files, files,
             [&](std::vector<RunFile>& run, const std::shared_ptr<const ScannedFolder>& folder,
                 const FolderMembers& members) {
                 std::vector<Step> steps;
                 RunInFolder(run, steps, files, folder, options, report);
                 for (Step& step : steps) {
                     step.file = static_cast<std::uint32_t>(members[step.file]);
                     if (step.after >= 0) {
                         step.after += static_cast<std::int64_t>(report.steps.size());
                     }
                 }
                 if (report.steps.empty()) {
                     report.steps = std::move(steps);
                 } else {
                     report.steps.insert(report.steps.end(), steps.begin(), steps.end());
                 }
             });
    Count(report);
    return report;
}

} // namespace

std::vector<Text> PreviewNames(const ScriptLines& script, const TListFiles& files,
                               std::span<const std::size_t> selection, NumberCounter& counter) {
    counter = 0;
    std::vector<Text> names;
    if (!ScriptIsValid(script)) {
        return names;
    }
    names.reserve(selection.size());
    const CompiledScript compiled(script);
    for (const std::size_t index : selection) {
        if (index < files.Count()) {
            names.push_back(compiled.Apply(files.Items(index).Name(), names.empty(), counter));
        }
    }
    return names;
}

RunReport RunRenames(const ScriptLines& script, const TListFiles& files,
                     std::span<const std::size_t> selection, NumberCounter& counter,
                     const RunOptions& options) {
    RunOptions run = options;
    run.dryRun = false;
    return Run(script, files, selection, counter, run);
}

RunReport PlanRenames(const ScriptLines& script, const TListFiles& files,
                      std::span<const std::size_t> selection, NumberCounter& counter,
                      const RunOptions& options) {
    RunOptions plan = options;
    plan.dryRun = true;
    return Run(script, files, selection, counter, plan);
}

} // namespace quorvel
