#include "files/run/rename_run.hpp"

#include "engine/codec.hpp"
#include "engine/compiled_script.hpp"
#include "files/listing/folder_listing.hpp"
#include "files/run/by_folder.hpp"
#include "files/run/journal_messages.hpp"
#include "files/run/journal_writer.hpp"
#include "files/run/new_names.hpp"
#include "files/run/plan_folder.hpp"
#include "files/run/rename_steps.hpp"
#include "files/run/run_messages.hpp"
#include "files/run/run_parts.hpp"
#include "files/run/safe_rename.hpp"
#include "files/run/tree_run.hpp"
#include "files/run/verify.hpp"
#include "files/tables/name_fold.hpp"

#include <optional>

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
        std::vector<FileStamp> stamps(run.size());
        StampsOfMovingFiles(run, steps, dirfd, FileStampKind(identity->stamp.kind), stamps);
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

// Every stage after the new names, on `report.files`.
void RunNamed(RunReport& report, const TListFiles& files, const RunOptions& options) {
    if (const ScannedFolder* root = TreeRootOf(files, report.files)) {
        RunTree(report, files, *root, options);
        Count(report);
        return;
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
}

RunReport Run(const ScriptLines& script, const TListFiles& files, std::span<const std::size_t> selection,
              NumberCounter& counter, const RunOptions& options) {
    counter = 0;
    RunReport report;
    if (!ScriptIsValid(script)) {
        return report;
    }
    report.files = NewNames(script, files, selection, counter, options.facts);
    RunNamed(report, files, options);
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

RunReport RunGivenNames(const TListFiles& files, std::span<const std::size_t> selection,
                        std::span<const std::string> newNames, const RunOptions& options) {
    RunReport report;
    report.files = GivenNames(files, selection, newNames);
    RunNamed(report, files, options);
    return report;
}

} // namespace quorvel
