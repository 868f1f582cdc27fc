#include "files/run/journal.hpp"

#include "engine/descriptor_io.hpp"
#include "files/listing/listing_index.hpp"
#include "files/run/journal_messages.hpp"
#include "files/run/journal_text.hpp"
#include "files/run/safe_rename.hpp"

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace quorvel {

namespace {

constexpr std::string_view kMagic1 = "quorvel journal 1";
constexpr std::string_view kMagic2 = "quorvel journal 2";
constexpr std::string_view kMagic3 = "quorvel journal 3";

std::optional<StepKind> KindOf(std::string_view letter) {
    if (letter == "M") {
        return StepKind::Move;
    }
    if (letter == "H") {
        return StepKind::ToTemporary;
    }
    if (letter == "F") {
        return StepKind::FromTemporary;
    }
    return std::nullopt;
}

// Reads a journal line by line into `journal`. With `keepFiles` false the plan's
// names are checked and let go: the files are only counted.
class Parser {
public:
    Parser(Journal& journal, bool keepFiles) : journal_(journal), keepFiles_(keepFiles) {}

    // False, with Why() set, when the journal fails a check.
    bool Line(std::string_view line) {
        ++lineNumber_;
        if (lineNumber_ == 1) {
            journal_.version = line == kMagic3 ? 3 : line == kMagic2 ? 2 : line == kMagic1 ? 1 : 0;
            return journal_.version != 0 || Fail(kNotAJournalText);
        }
        const Fields f(line);
        return planned_ ? Record(f) : Plan(f);
    }

    // After the last line: whether the plan is whole.
    bool Finish() {
        if (!planned_) {
            return lineNumber_ == 0 ? Fail(kNotAJournalText) : Fail(kJournalNoPlanText);
        }
        for (std::size_t i = 0; i < journal_.steps.size(); ++i) {
            if (journal_.state[i] == StepState::Done && journal_.steps[i].kind != StepKind::ToTemporary &&
                keepFiles_) {
                journal_.files[journal_.steps[i].file].outcome = RenameOutcome::Renamed;
            }
        }
        journal_.everRenamed = static_cast<std::size_t>(std::count(everDone_.begin(), everDone_.end(), true));
        return true;
    }

    // Whether the lines so far hold the folder and the start of the run.
    bool HasHead() const { return journal_.folder.inode != 0 && begun_; }
    std::size_t FileCount() const { return fileCount_; }
    const std::string& Why() const { return why_; }

private:
    bool Fail(std::string why) {
        why_ = std::move(why);
        return false;
    }
    bool Malformed() { return Fail(JournalMalformedText(lineNumber_)); }

    // A name of the plan, checked as the run checks new names.
    bool Name(std::string_view text, std::string& out) {
        if (!UnescapeName(text, out)) {
            return Malformed();
        }
        if (const auto bad = BadNameReason(out)) {
            return Fail(JournalBadNameText(out, *bad));
        }
        return true;
    }

    bool Plan(const Fields& f) {
        const std::string_view key = f[0];
        const bool v2 = journal_.version >= 2;
        if (key == "folder" && f.size() == (v2 ? 5u : 4u)) {
            FolderIdentity& folder = journal_.folder;
            std::string path;
            const auto stamp = v2 ? ParseStamp(f[3]) : std::optional<FileStamp>(FileStamp{});
            if (!Number(f[1], folder.device) || !Number(f[2], folder.inode) || !stamp ||
                !UnescapeName(f[v2 ? 4 : 3], path)) {
                return Malformed();
            }
            folder.path = FolderPath(path);
            folder.stamp = *stamp;
            if (folder.inode == 0) {
                return Fail(kJournalInodeZeroText);
            }
            if (!path.starts_with('/') || path.find('\0') != std::string::npos) {
                return Fail(kJournalRelativeFolderText);
            }
            return true;
        }
        if (key == "begun" && f.size() == 5) {
            begun_ = true;
            return (Number(f[1], journal_.begun) && Number(f[2], journal_.selected) &&
                    Number(f[3], journal_.unchanged) && Number(f[4], journal_.refused)) ||
                   Malformed();
        }
        const bool v3 = journal_.version >= 3;
        if (key == "place" && v3 && f.size() == 5 && fileCount_ == 0) {
            JournalPlace place;
            if (!Number(f[1], place.parent) || place.parent > journal_.places.size() ||
                !Number(f[2], place.device) || !Number(f[3], place.inode) || !Name(f[4], place.name)) {
                return Malformed();
            }
            if (place.inode == 0) {
                return Fail(kJournalInodeZeroText);
            }
            journal_.places.push_back(std::move(place));
            return true;
        }
        if (key == "file" && f.size() == (v3 ? 7u : v2 ? 6u : 5u)) {
            const std::size_t at = v3 ? 1 : 0;       // fields after the place
            const std::size_t n = at + (v2 ? 3 : 2); // the first name
            std::uint64_t inode = 0;
            std::uint32_t place = 0;
            const auto stamp = v2 ? ParseStamp(f[at + 2]) : std::optional<FileStamp>(FileStamp{});
            if (!Number(f[at + 1], inode) || !stamp ||
                (v3 && (!Number(f[1], place) || place > journal_.places.size()))) {
                return Malformed();
            }
            if (v3) {
                filePlace_.push_back(place);
            }
            if (inode == 0) {
                return Fail(kJournalInodeZeroText);
            }
            if (!Name(f[n], oldName_) || !Name(f[n + 1], newName_) ||
                (f[n + 2] != "-" && !Name(f[n + 2], temporary_))) {
                return false;
            }
            if (f[n + 2] == "-") {
                temporary_.clear();
            }
            if (keepFiles_) {
                RunFile file;
                file.inode = inode;
                file.oldName = oldName_;
                file.newName = newName_;
                file.temporary = temporary_;
                file.outcome = RenameOutcome::Failed;
                journal_.files.push_back(std::move(file));
                journal_.stamps.push_back(*stamp);
            }
            hasTemporary_.push_back(!temporary_.empty());
            ++fileCount_;
            return true;
        }
        if (key == "step" && f.size() == 4) {
            Step step;
            const auto kind = KindOf(f[2]);
            if (!Number(f[1], step.file) || step.file >= fileCount_ || !kind || !Number(f[3], step.after) ||
                step.after < -1 || step.after >= static_cast<std::int64_t>(journal_.steps.size())) {
                return Malformed();
            }
            if (!filePlace_.empty() && !InStage(step)) {
                return Malformed();
            }
            step.kind = *kind;
            if (step.kind != StepKind::Move && !hasTemporary_[step.file]) {
                return Malformed();
            }
            // Each file moves once, or through its temporary name and out of it.
            shape_.resize(fileCount_, 0);
            std::uint8_t& shape = shape_[step.file];
            const std::uint8_t bit = step.kind == StepKind::Move          ? 1
                                     : step.kind == StepKind::ToTemporary ? 2
                                                                          : 4;
            if ((shape & bit) != 0 || (bit == 4 && (shape & 2) == 0)) {
                return Malformed();
            }
            shape |= bit;
            journal_.steps.push_back(step);
            return true;
        }
        if (key == "planned" && f.size() == 3) {
            std::size_t files = 0;
            std::size_t steps = 0;
            if (!Number(f[1], files) || !Number(f[2], steps) || files != fileCount_ ||
                steps != journal_.steps.size() || !HasHead()) {
                return Fail(kJournalNoPlanText);
            }
            shape_.resize(fileCount_, 0);
            for (const std::uint8_t shape : shape_) {
                if (shape != 1 && shape != 6) {
                    return Fail(kJournalNoPlanText);
                }
            }
            shape_ = {};
            hasTemporary_ = {};
            planned_ = true;
            if (keepFiles_) {
                journal_.filePlace = filePlace_;
            }
            journal_.state.assign(steps, StepState::NotDone);
            everDone_.assign(files, false);
            return true;
        }
        return Malformed();
    }

    bool Record(const Fields& f) {
        const std::string_view key = f[0];
        std::size_t n = 0;
        if ((key == "d" || key == "r") && f.size() == 2 && Number(f[1], n) && n < journal_.steps.size()) {
            journal_.state[n] = key == "d" ? StepState::Done : StepState::NotDone;
            if (key == "d" && journal_.steps[n].kind != StepKind::ToTemporary) {
                everDone_[journal_.steps[n].file] = true;
            }
            journal_.open = true;
        } else if (key == "i" && (f.size() == 3 || f.size() == 4) && Number(f[1], n) && n < fileCount_) {
            std::uint64_t inode = 0;
            const auto stamp = f.size() == 4 ? ParseStamp(f[3]) : std::optional<FileStamp>(FileStamp{});
            if (!Number(f[2], inode) || !stamp) {
                return Malformed();
            }
            if (inode == 0) {
                return Fail(kJournalInodeZeroText);
            }
            if (keepFiles_) {
                journal_.files[n].inode = inode;
                journal_.stamps[n] = *stamp;
            }
        } else if (key == "end" && f.size() == 4) {
            RunCounts counts;
            if (Number(f[1], counts.renamed) && Number(f[2], counts.unchanged) &&
                Number(f[3], counts.failed)) {
                journal_.counts = counts;
            }
        } else if (key == "resume" || key == "undo") {
            journal_.open = true;
            journal_.undoStarted = journal_.undoStarted || key == "undo";
        } else if (key == "undone") {
            journal_.undone = true;
        } else if (key == "settled") {
            journal_.settled = true;
        } else if (key == "closed") {
            journal_.open = false;
        }
        // Anything else is a record of a later version, or the summary: left out.
        return true;
    }

    // Whether `step` keeps the stages of a run over a tree: the steps of a stage
    // (one place) follow each other, move files that come after those of the
    // stages before, and wait only for a step of their stage.
    bool InStage(const Step& step) {
        const std::uint32_t place = filePlace_[step.file];
        if (journal_.steps.empty() || place != stagePlace_) {
            if (!journal_.steps.empty() && step.file <= stageLastFile_) {
                return false;
            }
            stagePlace_ = place;
            stageFirstStep_ = journal_.steps.size();
            stageFirstFile_ = step.file;
        }
        stageLastFile_ = std::max(stageLastFile_, step.file);
        return step.file >= stageFirstFile_ &&
               (step.after < 0 || static_cast<std::size_t>(step.after) >= stageFirstStep_);
    }

    Journal& journal_;
    bool keepFiles_;
    std::vector<std::uint32_t> filePlace_;
    std::uint32_t stagePlace_ = 0;
    std::size_t stageFirstStep_ = 0;
    std::uint32_t stageFirstFile_ = 0;
    std::uint32_t stageLastFile_ = 0;
    std::size_t lineNumber_ = 0;
    std::size_t fileCount_ = 0;
    bool begun_ = false;
    bool planned_ = false;
    std::string oldName_;
    std::string newName_;
    std::string temporary_;
    std::vector<bool> hasTemporary_;
    std::vector<std::uint8_t> shape_;
    std::vector<bool> everDone_; // per file: its last step was done at some time
    std::string why_;
};

// Reads the journal `path` through `parser`, the plan whole.
std::optional<std::uint64_t> Parse(const std::string& path, Parser& parser, std::string& why) {
    std::uint64_t size = 0;
    const UniqueFd fd = OpenJournalFile(path, size, why);
    if (!fd.Valid()) {
        return std::nullopt;
    }
    JournalLines lines(fd.Get());
    while (const auto line = lines.Next()) {
        if (!parser.Line(*line)) {
            why = parser.Why();
            return std::nullopt;
        }
    }
    if (lines.Failed()) {
        why = lines.TooLong() ? std::string(kNotAJournalText)
                              : JournalUnreadableText(RenameErrorText(lines.Error()));
        return std::nullopt;
    }
    if (!parser.Finish()) {
        why = parser.Why();
        return std::nullopt;
    }
    return lines.BytesRead();
}

// Bytes of `fd` from `offset`, at most `size`.
std::optional<std::string> ReadAt(int fd, std::uint64_t offset, std::size_t size) {
    std::string bytes(size, '\0');
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = Retried(
            [&] { return ::pread(fd, bytes.data() + got, size - got, static_cast<off_t>(offset + got)); });
        if (n < 0) {
            return std::nullopt;
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

// The head of a journal (its first three lines) through `parser`.
bool ParseHead(int fd, std::uint64_t size, Parser& parser, std::string& why) {
    for (const std::size_t want : {std::size_t{4096}, 2 * JournalLines::kLongestLine}) {
        const auto bytes = ReadAt(fd, 0, static_cast<std::size_t>(std::min<std::uint64_t>(want, size)));
        if (!bytes) {
            why = JournalUnreadableText(RenameErrorText(errno));
            return false;
        }
        std::size_t lines = 0;
        std::size_t at = 0;
        for (std::size_t end; lines < 3 && (end = bytes->find('\n', at)) != std::string::npos; at = end + 1) {
            ++lines;
        }
        if (lines < 3 && bytes->size() == want) {
            continue; // a long folder path: read further
        }
        at = 0;
        for (std::size_t i = 0; i < lines; ++i) {
            const std::size_t end = bytes->find('\n', at);
            if (!parser.Line(std::string_view(*bytes).substr(at, end - at))) {
                why = parser.Why();
                return false;
            }
            at = end + 1;
        }
        if (!parser.HasHead()) {
            why = lines == 0 ? std::string(kNotAJournalText) : std::string(kJournalNoPlanText);
            return false;
        }
        return true;
    }
    why = kNotAJournalText;
    return false;
}

// "summary FILES STEPS DONE RENAMED FLAGS R U F" then "closed" at the very end.
bool ParseTailSummary(int fd, std::uint64_t size, JournalSummary& summary, bool& closed) {
    constexpr std::size_t kTail = 512;
    const std::uint64_t from = size > kTail ? size - kTail : 0;
    const auto tail = ReadAt(fd, from, static_cast<std::size_t>(size - from));
    constexpr std::string_view kClosed = "\nclosed\n";
    closed = tail && tail->ends_with(kClosed);
    if (!closed) {
        return false;
    }
    const std::size_t end = tail->size() - kClosed.size();
    const std::size_t start = tail->rfind('\n', end - 1);
    if (start == std::string::npos || end == 0) {
        return false;
    }
    const Fields f(std::string_view(*tail).substr(start + 1, end - start - 1));
    if (f[0] != "summary" || f.size() != 9 || !Number(f[1], summary.files) || !Number(f[2], summary.steps) ||
        !Number(f[3], summary.done) || !Number(f[4], summary.renamed) || summary.done > summary.steps ||
        summary.renamed > summary.files) {
        return false;
    }
    for (const char flag : f[5]) {
        summary.undoStarted = summary.undoStarted || flag == 'u';
        summary.undone = summary.undone || flag == 'd';
        summary.settled = summary.settled || flag == 's';
    }
    RunCounts counts;
    if (Number(f[6], counts.renamed) && Number(f[7], counts.unchanged) && Number(f[8], counts.failed)) {
        summary.counts = counts;
    }
    summary.open = false;
    return true;
}

void TakeHead(const Journal& journal, JournalSummary& summary) {
    summary.path = journal.path;
    summary.version = journal.version;
    summary.folder = journal.folder;
    summary.begun = journal.begun;
    summary.selected = journal.selected;
}

} // namespace

std::size_t Journal::DoneSteps() const {
    return static_cast<std::size_t>(std::count(state.begin(), state.end(), StepState::Done));
}

RunCounts Journal::Counts() const {
    RunCounts now;
    for (const RunFile& f : files) {
        (f.outcome == RenameOutcome::Renamed ? now.renamed : now.failed)++;
    }
    now.unchanged = unchanged;
    now.failed += refused;
    return now;
}

namespace {

template <typename Run> RecordedState StateFrom(const Run& run) {
    if (run.undone) {
        return RecordedState::Undone;
    }
    if (run.undoStarted) {
        return RecordedState::PartlyUndone;
    }
    if (run.counts) {
        return RecordedState::Complete;
    }
    return run.settled ? RecordedState::Settled : RecordedState::Interrupted;
}

} // namespace

RecordedState StateOf(const Journal& journal) {
    return StateFrom(journal);
}

RecordedState StateOf(const JournalSummary& summary) {
    return StateFrom(summary);
}

std::optional<Journal> ReadJournal(const std::string& path, std::string& why) {
    std::string reason;
    Journal journal;
    journal.path = path;
    Parser parser(journal, true);
    const auto bytes = Parse(path, parser, reason);
    if (!bytes) {
        why = std::move(reason);
        return std::nullopt;
    }
    journal.bytes = *bytes;
    return journal;
}

std::optional<JournalSummary> ReadJournalSummary(const std::string& path, std::string& why,
                                                 SummaryReading reading) {
    std::string reason;
    std::uint64_t size = 0;
    JournalSummary summary;
    {
        const UniqueFd fd = OpenJournalFile(path, size, reason);
        Journal head;
        head.path = path;
        Parser parser(head, false);
        if (fd.Valid() && ParseHead(fd.Get(), size, parser, reason)) {
            TakeHead(head, summary);
            summary.bytes = size;
            bool closed = false;
            if (ParseTailSummary(fd.Get(), size, summary, closed)) {
                return summary;
            }
            if (reading == SummaryReading::HeadAndEnd) {
                summary.whole = false;
                summary.open = !closed;
                return summary;
            }
        }
    }
    if (reason.empty()) {
        // No summary at the end: the last session did not close, or the journal is
        // of version 1. The records are read, the names checked and let go.
        Journal journal;
        journal.path = path;
        Parser parser(journal, false);
        if (const auto bytes = Parse(path, parser, reason)) {
            TakeHead(journal, summary);
            summary.bytes = *bytes;
            summary.files = parser.FileCount();
            summary.steps = journal.steps.size();
            summary.done = journal.DoneSteps();
            summary.renamed = 0;
            for (std::size_t s = 0; s < journal.steps.size(); ++s) {
                summary.renamed +=
                    journal.state[s] == StepState::Done && journal.steps[s].kind != StepKind::ToTemporary ? 1
                                                                                                          : 0;
            }
            summary.counts = journal.counts;
            summary.undone = journal.undone;
            summary.undoStarted = journal.undoStarted;
            summary.settled = journal.settled;
            summary.open = journal.open;
            return summary;
        }
    }
    why = std::move(reason);
    return std::nullopt;
}

std::optional<FolderIdentity> ReadJournalFolder(const std::string& path, std::string& why) {
    std::string reason;
    std::uint64_t size = 0;
    const UniqueFd fd = OpenJournalFile(path, size, reason);
    Journal head;
    Parser parser(head, false);
    if (fd.Valid() && ParseHead(fd.Get(), size, parser, reason)) {
        return std::move(head.folder);
    }
    why = std::move(reason);
    return std::nullopt;
}

void ReconcileWithFolder(Journal& journal, const FolderListing& now) {
    const ListingIndex names(now);
    const auto holds = [&](std::string_view name, std::uint64_t inode) {
        const std::uint32_t e = names.Find(name);
        return e != kNoIndex && now.Inode(e) == inode;
    };
    // Where each file is now: 0 old name, 1 temporary name, 2 new name, -1 unknown.
    std::vector<int> position(journal.files.size(), -1);
    for (std::size_t i = 0; i < journal.files.size(); ++i) {
        const RunFile& f = journal.files[i];
        if (f.inode == 0) {
            continue;
        }
        const bool atOld = holds(f.oldName, f.inode);
        const bool atTemporary = !f.temporary.empty() && holds(f.temporary, f.inode);
        const bool atNew = holds(f.newName, f.inode);
        if (atOld + atTemporary + atNew == 1) {
            position[i] = atOld ? 0 : atTemporary ? 1 : 2;
        }
    }
    for (std::size_t s = 0; s < journal.steps.size(); ++s) {
        const Step& step = journal.steps[s];
        const int p = position[step.file];
        if (p < 0) {
            continue;
        }
        const bool done = step.kind == StepKind::ToTemporary ? p >= 1 : p == 2;
        journal.state[s] = done ? StepState::Done : StepState::NotDone;
    }
    for (std::size_t i = 0; i < journal.files.size(); ++i) {
        if (position[i] >= 0) {
            journal.files[i].outcome = position[i] == 2 ? RenameOutcome::Renamed : RenameOutcome::Failed;
        }
    }
}

void ReconcileWithFolders(Journal& journal, const std::vector<const FolderListing*>& byPlace) {
    for (const JournalStage& stage : StagesOf(journal)) {
        const FolderListing* listing = stage.place < byPlace.size() ? byPlace[stage.place] : nullptr;
        if (listing == nullptr) {
            continue;
        }
        Journal part = TakeStage(journal, stage);
        ReconcileWithFolder(part, *listing);
        PutStageBack(journal, stage, part);
    }
}

Journal TakeStage(Journal& journal, const JournalStage& stage) {
    Journal part;
    const auto first = static_cast<std::ptrdiff_t>(stage.firstFile);
    const auto end = static_cast<std::ptrdiff_t>(stage.endFile);
    part.files.assign(std::make_move_iterator(journal.files.begin() + first),
                      std::make_move_iterator(journal.files.begin() + end));
    if (journal.stamps.size() >= stage.endFile) {
        part.stamps.assign(journal.stamps.begin() + first, journal.stamps.begin() + end);
    }
    for (std::size_t s = stage.firstStep; s < stage.endStep; ++s) {
        Step step = journal.steps[s];
        step.file -= static_cast<std::uint32_t>(stage.firstFile);
        if (step.after >= 0) {
            step.after -= static_cast<std::int64_t>(stage.firstStep);
        }
        part.steps.push_back(step);
        part.state.push_back(journal.state[s]);
    }
    return part;
}

void PutStageBack(Journal& journal, const JournalStage& stage, Journal& part) {
    std::move(part.files.begin(), part.files.end(),
              journal.files.begin() + static_cast<std::ptrdiff_t>(stage.firstFile));
    std::copy(part.state.begin(), part.state.end(),
              journal.state.begin() + static_cast<std::ptrdiff_t>(stage.firstStep));
}

std::vector<JournalStage> StagesOf(const Journal& journal) {
    std::vector<JournalStage> stages;
    for (std::size_t s = 0; s < journal.steps.size(); ++s) {
        const std::size_t file = journal.steps[s].file;
        const std::uint32_t place = PlaceOf(journal, file);
        if (stages.empty() || stages.back().place != place) {
            if (!stages.empty()) {
                stages.back().endStep = s;
            }
            stages.push_back({place, s, s, file, file + 1});
        }
        stages.back().endFile = std::max(stages.back().endFile, file + 1);
    }
    if (!stages.empty()) {
        stages.back().endStep = journal.steps.size();
    }
    return stages;
}

std::optional<Journal> ReadJournal(const std::string& path) {
    std::string why;
    return ReadJournal(path, why);
}

std::optional<JournalSummary> ReadJournalSummary(const std::string& path, SummaryReading reading) {
    std::string why;
    return ReadJournalSummary(path, why, reading);
}

std::vector<std::uint32_t> FilesUnderTemporary(const Journal& journal) {
    // A file is under its temporary name when its step into it is done and its step
    // out of it is not.
    std::vector<std::uint8_t> at(journal.files.size(), 0);
    for (std::size_t s = 0; s < journal.steps.size(); ++s) {
        const Step& step = journal.steps[s];
        if (step.kind == StepKind::ToTemporary && journal.state[s] == StepState::Done) {
            at[step.file] |= 1;
        } else if (step.kind == StepKind::FromTemporary && journal.state[s] == StepState::Done) {
            at[step.file] |= 2;
        }
    }
    std::vector<std::uint32_t> files;
    for (std::size_t i = 0; i < at.size(); ++i) {
        if (at[i] == 1) {
            files.push_back(static_cast<std::uint32_t>(i));
        }
    }
    return files;
}

} // namespace quorvel
