#include "files/history/recorded_runs.hpp"

#include "files/listing/folder_listing.hpp"
#include "files/listing/listing_index.hpp"
#include "files/run/journal_messages.hpp"
#include "files/run/journal_writer.hpp"
#include "files/run/rename_steps.hpp"
#include "files/run/run_messages.hpp"
#include "files/run/verify.hpp"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <iterator>
#include <span>
#include <sys/file.h>
#include <sys/stat.h>
#include <unordered_map>

namespace quorvel {

namespace {

// A folder as the commands find it: open, identified and listed.
struct OpenedFolder {
    UniqueFd fd;
    FolderIdentity identity; // as it is now; its path is the one it was opened by
    FolderListing listing;
};

// The folder `path` a person names (a symbolic link to it is followed).
std::optional<OpenedFolder> OpenNamed(const FolderPath& path, std::string& error) {
    ListedFolder listed = OpenListedFolder(path);
    int code = listed.error;
    std::optional<FolderIdentity> identity;
    if (code == 0) {
        identity = IdentifyFolder(listed.fd, path);
        code = identity ? 0 : errno;
    }
    if (code != 0) {
        error = FolderUnreadableText(path.Bytes(), code);
        return std::nullopt;
    }
    return OpenedFolder{std::move(listed.opened), std::move(*identity), std::move(listed.listing)};
}

enum class Found { Same, Unreadable, Other };

// The folder of a journal, at its recorded path, never through a symbolic link as
// its last part; it has to be the folder of the run.
std::optional<OpenedFolder> OpenRecorded(const FolderIdentity& recorded, std::string& error, Found& found) {
    OpenedFolder folder;
    folder.fd = UniqueFd(::open(recorded.path.ForSystem(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!folder.fd.Valid()) {
        const int code = errno;
        found = code == ELOOP || code == ENOTDIR ? Found::Other : Found::Unreadable;
        error = found == Found::Other ? NotTheSameFolderText(recorded.path.Bytes())
                                      : FolderUnreadableText(recorded.path.Bytes(), code);
        return std::nullopt;
    }
    auto identity = IdentifyFolder(folder.fd.Get(), recorded.path);
    if (!identity || !SameFolder(recorded, *identity)) {
        found = Found::Other;
        error = NotTheSameFolderText(recorded.path.Bytes());
        return std::nullopt;
    }
    folder.identity = std::move(*identity);
    ListedFolder listed = OpenListedFolder(recorded.path, folder.fd.Get());
    if (listed.error != 0) {
        found = Found::Unreadable;
        error = FolderUnreadableText(recorded.path.Bytes(), listed.error);
        return std::nullopt;
    }
    folder.listing = std::move(listed.listing);
    found = Found::Same;
    return folder;
}

// The journals of the folder of the journals, oldest first, each with its head and
// summary as far as they can be read without the plan; those that cannot be read
// are named in `warnings`. Nothing when the folder is not safe (said in `error`).
struct Entry {
    std::string path;
    JournalSummary summary; // SummaryReading::HeadAndEnd
};

std::optional<std::vector<Entry>> Catalogue(const std::string& journalFolder,
                                            std::vector<std::string>& warnings, std::string& error) {
    const auto store = JournalStore::Open(journalFolder, JournalStore::Use::Read, error);
    if (!store) {
        return std::nullopt;
    }
    std::vector<Entry> entries;
    for (std::string& path : store->Journals()) {
        std::string why;
        if (auto summary = ReadJournalSummary(path, why, SummaryReading::HeadAndEnd)) {
            entries.push_back({std::move(path), std::move(*summary)});
        } else {
            warnings.push_back(JournalLeftOutText(path, why));
        }
    }
    return entries;
}

// Reads a journal whole, checked; a journal that fails is named in `warnings`.
std::optional<Journal> ReadChecked(const std::string& path, std::vector<std::string>& warnings) {
    std::string why;
    auto journal = ReadJournal(path, why);
    if (!journal) {
        warnings.push_back(JournalLeftOutText(path, why));
    }
    return journal;
}

// The folders of a run over a tree as they are now, found from the run's folder:
// each place by one of its names in its parent's place (the one it had, or one the
// run gave it), never through a symbolic link, and only while it is the folder of
// the run (its device and inode).
class PlaceFolders {
public:
    PlaceFolders(const Journal& journal, int rootFd) : journal_(journal), rootFd_(rootFd) {
        for (std::size_t i = 0; i < journal.files.size(); ++i) {
            byInode_.emplace(journal.files[i].inode, i);
        }
    }

    // Place k open, or an invalid descriptor with `error` set.
    UniqueFd Open(std::uint32_t k, int& error) const {
        error = 0;
        if (k == 0) {
            UniqueFd fd(::openat(rootFd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
            error = fd.Valid() ? 0 : errno;
            return fd;
        }
        if (k > journal_.places.size()) {
            error = ENOENT;
            return UniqueFd();
        }
        const JournalPlace& place = journal_.places[k - 1];
        const UniqueFd parent = Open(place.parent, error);
        if (!parent.Valid()) {
            return UniqueFd();
        }
        std::vector<std::string> names{place.name};
        const auto [from, to] = byInode_.equal_range(place.inode);
        for (auto it = from; it != to; ++it) {
            const RunFile& f = journal_.files[it->second];
            if (PlaceOf(journal_, it->second) == place.parent) {
                names.push_back(f.newName);
                names.push_back(f.oldName);
                if (!f.temporary.empty()) {
                    names.push_back(f.temporary.str());
                }
            }
        }
        error = ENOENT;
        for (const std::string& name : names) {
            UniqueFd fd(
                ::openat(parent.Get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
            struct stat st {};
            if (fd.Valid() && ::fstat(fd.Get(), &st) == 0 &&
                static_cast<std::uint64_t>(st.st_dev) == place.device &&
                static_cast<std::uint64_t>(st.st_ino) == place.inode) {
                error = 0;
                return fd;
            }
        }
        return UniqueFd();
    }

    // Its path below the run's folder, by the names it had.
    std::string Relative(std::uint32_t k) const {
        std::string path;
        while (k != 0 && k <= journal_.places.size()) {
            const JournalPlace& place = journal_.places[k - 1];
            path = path.empty() ? place.name : place.name + "/" + path;
            k = place.parent;
        }
        return path;
    }

private:
    const Journal& journal_;
    int rootFd_;
    std::unordered_multimap<std::uint64_t, std::size_t> byInode_;
};

// What every place of a run over a tree holds now; null where the place is not found.
struct PlaceListings {
    std::vector<std::optional<FolderListing>> listings;
    std::vector<const FolderListing*> byPlace;
};

PlaceListings ListPlaces(const Journal& journal, const OpenedFolder& folder) {
    PlaceListings out;
    out.listings.resize(journal.places.size() + 1);
    out.byPlace.assign(journal.places.size() + 1, nullptr);
    out.byPlace[0] = &folder.listing;
    const PlaceFolders places(journal, folder.fd.Get());
    for (std::uint32_t k = 1; k <= journal.places.size(); ++k) {
        int error = 0;
        const UniqueFd fd = places.Open(k, error);
        FolderListing listing;
        if (fd.Valid() && ListFolder(fd.Get(), listing) == 0) {
            out.listings[k] = std::move(listing);
            out.byPlace[k] = &*out.listings[k];
        }
    }
    return out;
}

// The state of the steps from the folders, for a run in one folder or over a tree.
void Reconcile(Journal& journal, const OpenedFolder& folder) {
    if (journal.places.empty()) {
        ReconcileWithFolder(journal, folder.listing);
        return;
    }
    const PlaceListings listings = ListPlaces(journal, folder);
    ReconcileWithFolders(journal, listings.byPlace);
}

// The steps done, as the folder tells them, the records left as they are.
std::size_t DoneOnDisk(Journal& journal, const OpenedFolder& folder) {
    const std::vector<StepState> recorded = journal.state;
    Reconcile(journal, folder);
    const std::size_t done = journal.DoneSteps();
    journal.state = recorded;
    return done;
}

// Whether the run of an entry has renames in place in `folder` (its own folder).
bool InPlace(const Entry& entry, const OpenedFolder& folder, std::vector<std::string>& warnings) {
    const JournalSummary& s = entry.summary;
    if (s.whole && !s.open) {
        return !s.undone && s.done > 0;
    }
    auto journal = ReadChecked(entry.path, warnings);
    return journal && !journal->undone && DoneOnDisk(*journal, folder) > 0;
}

// Whether a run recorded after entry `index` in the same folder has renames in place.
bool LaterInPlace(const std::vector<Entry>& entries, std::size_t index, const OpenedFolder& folder,
                  std::vector<std::string>& warnings) {
    for (std::size_t j = index + 1; j < entries.size(); ++j) {
        if (SameFolder(entries[j].summary.folder, folder.identity) && InPlace(entries[j], folder, warnings)) {
            return true;
        }
    }
    return false;
}

// The same folder for two journals: one of them may not know the stamp.
bool SameRecordedFolder(const FolderIdentity& a, const FolderIdentity& b) {
    return a.device == b.device && a.inode == b.inode &&
           (!a.stamp.Known() || !b.stamp.Known() || a.stamp == b.stamp);
}

// Whether a session holds the lock of the journal `path` now.
bool Locked(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    return fd.Valid() && ::flock(fd.Get(), LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}

void Tally(TakeBackReport& report) {
    report.done = report.failed = 0;
    for (const RunFile& f : report.files) {
        report.done += f.outcome == RenameOutcome::Renamed ? 1 : 0;
        report.failed += f.outcome == RenameOutcome::Failed ? 1 : 0;
    }
    report.status = report.failed == 0 ? TakeBackReport::Status::Done : TakeBackReport::Status::Failures;
}

// Locks the journal for a session and reads it again under the lock when it grew
// since it was read. What the folder tells of the steps is written down first, so
// that the records agree with the disk again, whatever the last session recorded.
std::optional<JournalWriter> Lock(Journal& journal, const OpenedFolder& folder, std::string_view session,
                                  TakeBackReport& report) {
    auto writer = JournalWriter::Reopen(journal.path, report.error);
    if (!writer) {
        report.status = report.error == std::string(kJournalBusyText) ? TakeBackReport::Status::JournalBusy
                                                                      : TakeBackReport::Status::Refused;
        return std::nullopt;
    }
    if (writer->FileSize() != journal.bytes) {
        std::string why;
        auto again = ReadJournal(journal.path, why);
        if (!again) {
            report.status = TakeBackReport::Status::Refused;
            report.error = JournalLeftOutText(journal.path, why);
            return std::nullopt;
        }
        journal = std::move(*again);
    }
    writer->Follow(journal);
    const std::vector<StepState> recorded = journal.state;
    Reconcile(journal, folder);
    for (std::size_t s = 0; s < recorded.size(); ++s) {
        if (journal.state[s] != recorded[s]) {
            journal.state[s] == StepState::Done ? writer->Done(s) : writer->Reverted(s);
        }
    }
    writer->Begin(session);
    report.journal = journal.path;
    return writer;
}

// The files left under their temporary name, said in their reason and listed with
// their path.
void NoteTemporaries(const Journal& journal, const OpenedFolder& folder, std::vector<RunFile>& files,
                     TakeBackReport& report) {
    for (const std::uint32_t i : FilesUnderTemporary(journal)) {
        RunFile& f = files[i];
        const std::string temporary = f.temporary.str();
        const std::string said = LeftUnderText(temporary);
        if (std::string_view(f.reason).find(said) == std::string_view::npos) {
            f.reason = f.reason.empty() ? said : f.reason.str() + " ; " + said;
        }
        f.outcome = RenameOutcome::Failed;
        std::string where = temporary;
        if (const std::uint32_t place = PlaceOf(journal, i); place != 0) {
            where = PlaceFolders(journal, folder.fd.Get()).Relative(place) + "/" + temporary;
        }
        report.underTemporary.push_back({f.oldName, folder.identity.path.EntryPath(where)});
    }
}

// What each file of a journal is, read from the folder where one of its names
// holds it: the verification after a resume tells a folder the run renames from a
// folder that took a file's name.
void TypesFromFolder(std::vector<RunFile>& files, const FolderListing& listing, int dirfd) {
    const ListingIndex names(listing);
    for (RunFile& f : files) {
        for (const std::string_view name :
             {std::string_view(f.oldName), std::string_view(f.temporary), std::string_view(f.newName)}) {
            const std::uint32_t e = name.empty() ? kNoIndex : names.Find(name);
            if (e == kNoIndex || listing.Inode(e) != f.inode) {
                continue;
            }
            f.type = listing.Type(e);
            struct stat st {};
            const std::string path(name);
            if (f.type == DT_UNKNOWN && ::fstatat(dirfd, path.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
                f.type = S_ISDIR(st.st_mode) ? DT_DIR : DT_REG;
            }
            break;
        }
    }
}

// Once the work is done, the files of a run over a tree are named by their paths
// below the run's folder in what is reported.
void NameByPath(Journal& journal, const OpenedFolder& folder) {
    if (journal.places.empty()) {
        return;
    }
    const PlaceFolders places(journal, folder.fd.Get());
    for (std::size_t i = 0; i < journal.files.size(); ++i) {
        if (const std::uint32_t place = PlaceOf(journal, i); place != 0) {
            const std::string below = places.Relative(place) + "/";
            RunFile& f = journal.files[i];
            f.oldName = below + f.oldName;
            f.newName = below + f.newName;
        }
    }
}

// Runs `work` on the files and steps of each stage of `journal` (the whole of it
// for a run in one folder), in the order of the run or the other way round, each
// with its folder open and as it is now. A folder that is not found leaves the
// files of its stage as they are, failed with the reason. After `work` says it was
// stopped, the stages not reached are left as they are.
template <typename Work>
bool ForEachStage(Journal& journal, OpenedFolder& folder, JournalWriter& writer, bool backwards,
                  const Work& work) {
    if (journal.places.empty()) {
        return work(journal.files, journal.steps, journal.state, std::span<const FileStamp>(journal.stamps),
                    folder.fd.Get(), folder.listing);
    }
    std::vector<JournalStage> stages = StagesOf(journal);
    if (backwards) {
        std::reverse(stages.begin(), stages.end());
    }
    const PlaceFolders places(journal, folder.fd.Get());
    bool stopped = false;
    for (const JournalStage& stage : stages) {
        const auto first = static_cast<std::ptrdiff_t>(stage.firstFile);
        const auto end = static_cast<std::ptrdiff_t>(stage.endFile);
        if (stopped) {
            for (auto f = journal.files.begin() + first; f != journal.files.begin() + end; ++f) {
                f->reason = std::string(kStoppedText);
            }
            continue;
        }
        int error = 0;
        const UniqueFd fd = places.Open(stage.place, error);
        FolderListing listing;
        if (fd.Valid()) {
            error = ListFolder(fd.Get(), listing);
        }
        if (error != 0) {
            const std::string why = error == ENOENT
                                        ? NotTheSameFolderText(places.Relative(stage.place))
                                        : FolderUnreadableText(places.Relative(stage.place), error);
            for (auto f = journal.files.begin() + first; f != journal.files.begin() + end; ++f) {
                f->outcome = RenameOutcome::Failed;
                f->reason = why;
            }
            continue;
        }
        Journal part = TakeStage(journal, stage);
        writer.SetStage(stage.firstStep, stage.firstFile);
        stopped = work(part.files, part.steps, part.state, part.stamps, fd.Get(), listing);
        writer.SetStage(0, 0);
        PutStageBack(journal, stage, part);
    }
    return stopped;
}

void CloseSession(JournalWriter& writer, TakeBackReport& report) {
    if (!writer.Close()) {
        report.journalError = JournalIncompleteText(writer.FailureText());
    }
}

TakeBackReport& Undo(Journal& journal, OpenedFolder& folder, const ProgressHook& progress,
                     TakeBackReport& report) {
    auto writer = Lock(journal, folder, "undo", report);
    if (!writer) {
        return report;
    }
    report.stopped =
        ForEachStage(journal, folder, *writer, true,
                     [&](std::vector<RunFile>& files, std::vector<Step>& steps, std::vector<StepState>& state,
                         std::span<const FileStamp> stamps, int dirfd, const FolderListing& listing) {
                         Renamer renamer(dirfd);
                         FolderView view(listing, StampCheck{dirfd, stamps});
                         return UndoSteps(files, steps, state, renamer, *writer, view, progress);
                     });
    if (journal.DoneSteps() == 0) {
        writer->Undone();
    }
    NoteTemporaries(journal, folder, journal.files, report);
    CloseSession(*writer, report);
    NameByPath(journal, folder);
    report.files = std::move(journal.files);
    for (RunFile& f : report.files) {
        std::swap(f.oldName, f.newName);
    }
    Tally(report);
    return report;
}

TakeBackReport& Resume(Journal& journal, OpenedFolder& folder, const ProgressHook& progress,
                       TakeBackReport& report) {
    auto writer = Lock(journal, folder, "resume", report);
    if (!writer) {
        return report;
    }
    std::vector<bool> doneBefore(journal.files.size(), false);
    for (std::size_t i = 0; i < journal.files.size(); ++i) {
        doneBefore[i] = journal.files[i].outcome == RenameOutcome::Renamed;
    }
    report.stopped = ForEachStage(
        journal, folder, *writer, false,
        [&](std::vector<RunFile>& files, std::vector<Step>& steps, std::vector<StepState>& state,
            std::span<const FileStamp> stamps, int dirfd, const FolderListing& listing) {
            TypesFromFolder(files, listing, dirfd);
            Renamer renamer(dirfd);
            FolderView view(listing, StampCheck{dirfd, stamps});
            const bool stopped = RenameSteps(files, steps, state, renamer, *writer, view, progress);
            FolderListing after;
            if (ListFolder(dirfd, after) == 0) {
                PutBack(files, steps, state, Verify(files, after, dirfd, *writer), renamer, *writer);
            }
            return stopped;
        });
    NoteTemporaries(journal, folder, journal.files, report);
    writer->Finished(journal.Counts());
    CloseSession(*writer, report);
    NameByPath(journal, folder);
    // What this session did: files already renamed before it are left out.
    std::vector<RunFile> files;
    for (std::size_t i = 0; i < journal.files.size(); ++i) {
        if (!doneBefore[i] || journal.files[i].outcome != RenameOutcome::Renamed) {
            files.push_back(std::move(journal.files[i]));
        }
    }
    report.files = std::move(files);
    Tally(report);
    return report;
}

// Whether a run may be finished: it did not end, and no undo was tried.
bool Resumable(const Journal& journal) {
    return !journal.counts && !journal.undoStarted;
}

enum class Work { Undo, Resume };

// UndoRun and ResumeRun: the run of one journal.
TakeBackReport OnJournal(const std::string& path, const std::string& journalFolder,
                         const ProgressHook& progress, Work work) {
    TakeBackReport report;
    auto entries = Catalogue(journalFolder, report.warnings, report.error);
    if (!entries) {
        report.status = TakeBackReport::Status::Refused;
        return report;
    }
    const auto at =
        std::find_if(entries->begin(), entries->end(), [&](const Entry& e) { return e.path == path; });
    if (at == entries->end()) {
        // Not a journal of that folder, or one that was left out (in the warnings).
        report.status = TakeBackReport::Status::Refused;
        std::string why;
        for (const std::string& warning : report.warnings) {
            if (warning.find(Quoted(path)) != std::string::npos) {
                why = warning;
            }
        }
        report.error = why.empty() ? NoSuchJournalText(path) : why;
        return report;
    }
    auto journal = ReadChecked(path, report.warnings);
    if (!journal) {
        report.status = TakeBackReport::Status::Refused;
        report.error = report.warnings.back();
        report.warnings.pop_back();
        return report;
    }
    if (work == Work::Resume && !Resumable(*journal)) {
        return report; // NothingToDo
    }
    Found found = Found::Same;
    auto folder = OpenRecorded(journal->folder, report.error, found);
    if (!folder) {
        report.status = found == Found::Other ? TakeBackReport::Status::Refused
                                              : TakeBackReport::Status::FolderUnreadable;
        return report;
    }
    if (LaterInPlace(*entries, static_cast<std::size_t>(at - entries->begin()), *folder, report.warnings)) {
        report.status = TakeBackReport::Status::Refused;
        report.error = kLaterRunText;
        return report;
    }
    if (work == Work::Undo) {
        if (DoneOnDisk(*journal, *folder) == 0) {
            return report; // NothingToDo
        }
        return Undo(*journal, *folder, progress, report);
    }
    return Resume(*journal, *folder, progress, report);
}

// The folder named by the user and the journals of every run, for the work on its
// last run; nothing, with the report saying why, when either cannot be read.
struct FolderWithRuns {
    OpenedFolder folder;
    std::vector<Entry> entries;
};

std::optional<FolderWithRuns> OpenWithRuns(const FolderPath& path, const std::string& journalFolder,
                                           TakeBackReport& report) {
    auto folder = OpenNamed(path, report.error);
    if (!folder) {
        report.status = TakeBackReport::Status::FolderUnreadable;
        return std::nullopt;
    }
    auto entries = Catalogue(journalFolder, report.warnings, report.error);
    if (!entries) {
        report.status = TakeBackReport::Status::Refused;
        return std::nullopt;
    }
    return FolderWithRuns{std::move(*folder), std::move(*entries)};
}

} // namespace

TakeBackReport UndoLastRun(const FolderPath& path, const std::string& journalFolder,
                           const ProgressHook& progress) {
    TakeBackReport report;
    auto opened = OpenWithRuns(path, journalFolder, report);
    if (!opened) {
        return report;
    }
    auto& [folder, entries] = *opened;
    // The newest run that is not undone and has steps done, as the folder tells.
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        const JournalSummary& s = entry->summary;
        if (!SameFolder(s.folder, folder.identity) || (s.whole && !s.open && s.undone)) {
            continue;
        }
        auto journal = ReadChecked(entry->path, report.warnings);
        if (!journal || journal->undone || DoneOnDisk(*journal, folder) == 0) {
            continue;
        }
        return Undo(*journal, folder, progress, report);
    }
    return report;
}

TakeBackReport ResumeLastRun(const FolderPath& path, const std::string& journalFolder,
                             const ProgressHook& progress) {
    TakeBackReport report;
    auto opened = OpenWithRuns(path, journalFolder, report);
    if (!opened) {
        return report;
    }
    auto& [folder, entries] = *opened;
    // Only the newest run of the folder, and only when it did not end.
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if (!SameFolder(entry->summary.folder, folder.identity)) {
            continue;
        }
        auto journal = ReadChecked(entry->path, report.warnings);
        if (!journal) {
            continue;
        }
        if (!Resumable(*journal)) {
            return report;
        }
        return Resume(*journal, folder, progress, report);
    }
    return report;
}

bool HasRunToUndo(const FolderPath& path, const std::string& journalFolder) {
    std::string error;
    auto folder = OpenNamed(path, error);
    std::vector<std::string> warnings;
    auto entries = folder ? Catalogue(journalFolder, warnings, error) : std::nullopt;
    if (!entries) {
        return false;
    }
    for (auto entry = entries->rbegin(); entry != entries->rend(); ++entry) {
        if (SameFolder(entry->summary.folder, folder->identity) && InPlace(*entry, *folder, warnings)) {
            return true;
        }
    }
    return false;
}

TakeBackReport UndoRun(const std::string& journal, const std::string& journalFolder,
                       const ProgressHook& progress) {
    return OnJournal(journal, journalFolder, progress, Work::Undo);
}

TakeBackReport ResumeRun(const std::string& journal, const std::string& journalFolder,
                         const ProgressHook& progress) {
    return OnJournal(journal, journalFolder, progress, Work::Resume);
}

bool ForgetRun(const std::string& path, const std::string& journalFolder, std::string& error) {
    const auto store = JournalStore::Open(journalFolder, JournalStore::Use::Read, error);
    if (!store) {
        return false;
    }
    if (!store->Holds(path)) {
        error = NoSuchJournalText(path);
        return false;
    }
    auto writer = JournalWriter::Reopen(path, error);
    if (!writer) {
        return false;
    }
    std::string why;
    auto journal = ReadJournal(path, why);
    if (!journal) {
        error = JournalLeftOutText(path, why);
        return false;
    }
    writer->Follow(*journal);
    // The records made to agree with the folder when it is there, so that the
    // summary tells what the run left.
    Found found = Found::Same;
    std::string unused;
    if (const auto folder = OpenRecorded(journal->folder, unused, found)) {
        const std::vector<StepState> recorded = journal->state;
        Reconcile(*journal, *folder);
        for (std::size_t s = 0; s < recorded.size(); ++s) {
            if (journal->state[s] != recorded[s]) {
                journal->state[s] == StepState::Done ? writer->Done(s) : writer->Reverted(s);
            }
        }
    }
    writer->Settled();
    if (!writer->Close()) {
        error = JournalIncompleteText(writer->FailureText());
        return false;
    }
    return true;
}

InterruptedRuns ListInterruptedRuns(const std::string& journalFolder) {
    InterruptedRuns list;
    std::string error;
    auto entries = Catalogue(journalFolder, list.warnings, error);
    if (!entries) {
        if (!error.empty()) {
            list.warnings.push_back(error);
        }
        return list;
    }
    for (std::size_t i = entries->size(); i-- > 0;) {
        const Entry& entry = (*entries)[i];
        const JournalSummary& s = entry.summary;
        // A journal whose last session closed tells its state at its end; one of
        // version 1 that closed was never left interrupted.
        if (!s.open && (!s.whole || StateOf(s) != RecordedState::Interrupted)) {
            continue;
        }
        if (Locked(entry.path)) {
            continue; // a run going on
        }
        auto journal = ReadChecked(entry.path, list.warnings);
        if (!journal || StateOf(*journal) != RecordedState::Interrupted) {
            continue;
        }
        InterruptedRun run;
        run.journal = entry.path;
        run.folder = journal->folder.path;
        run.begun = journal->begun;
        run.selected = journal->selected;
        run.files = journal->files.size();
        run.newest = std::none_of(
            entries->begin() + static_cast<std::ptrdiff_t>(i) + 1, entries->end(),
            [&](const Entry& later) { return SameRecordedFolder(later.summary.folder, journal->folder); });
        Found found = Found::Same;
        std::string why;
        if (const auto folder = OpenRecorded(journal->folder, why, found)) {
            Reconcile(*journal, *folder);
            run.fromDisk = true;
            run.folderThere = true;
            run.temporary = FilesUnderTemporary(*journal).size();
            run.laterInPlace = !run.newest && LaterInPlace(*entries, i, *folder, list.warnings);
        } else {
            // Without the folder, the later runs as their records tell.
            run.laterInPlace = std::any_of(entries->begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                           entries->end(), [&](const Entry& later) {
                                               const JournalSummary& l = later.summary;
                                               return SameRecordedFolder(l.folder, journal->folder) &&
                                                      (l.open || !l.whole || (!l.undone && l.done > 0));
                                           });
        }
        run.renamed = journal->Counts().renamed;
        list.runs.push_back(std::move(run));
    }
    return list;
}

std::optional<Journal> NewestInterruptedRun(const std::string& journalFolder) {
    const InterruptedRuns list = ListInterruptedRuns(journalFolder);
    if (list.runs.empty()) {
        return std::nullopt;
    }
    auto journal = ReadJournal(list.runs.front().journal);
    if (journal) {
        journal->everRenamed = list.runs.front().renamed;
    }
    return journal;
}

RunHistory History(const FolderPath& path, const std::string& journalFolder) {
    RunHistory history;
    std::optional<OpenedFolder> only;
    std::string error;
    if (!path.Empty() && !(only = OpenNamed(path, error))) {
        return history;
    }
    const auto store = JournalStore::Open(journalFolder, JournalStore::Use::Read, error);
    if (!store) {
        history.warnings.push_back(error);
        return history;
    }
    for (const std::string& journalPath : store->Journals()) {
        std::string why;
        const auto summary = ReadJournalSummary(journalPath, why);
        if (!summary) {
            history.warnings.push_back(JournalLeftOutText(journalPath, why));
            continue;
        }
        if (only && !SameFolder(summary->folder, only->identity)) {
            continue;
        }
        RecordedRun run;
        run.journal = journalPath;
        run.folder = summary->folder.path;
        run.begun = summary->begun;
        run.selected = summary->selected;
        run.files = summary->files;
        run.state = StateOf(*summary);
        run.counts = summary->counts;
        run.renamed = summary->renamed;
        if (!run.counts) {
            // A run that did not end: how far it went, from the folder.
            std::optional<OpenedFolder> opened;
            if (!only) {
                Found found = Found::Same;
                opened = OpenRecorded(summary->folder, why, found);
            }
            const OpenedFolder* folder = only ? &*only : opened ? &*opened : nullptr;
            if (folder != nullptr) {
                if (auto journal = ReadChecked(journalPath, history.warnings)) {
                    Reconcile(*journal, *folder);
                    run.renamed = journal->Counts().renamed;
                    run.fromDisk = true;
                }
            }
        }
        history.runs.push_back(std::move(run));
    }
    return history;
}

} // namespace quorvel
