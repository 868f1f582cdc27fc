#include "files/run/journal_writer.hpp"

#include "engine/descriptor_io.hpp"
#include "files/run/journal.hpp"
#include "files/run/journal_messages.hpp"
#include "files/run/journal_pruning.hpp"
#include "files/run/journal_store.hpp"
#include "files/run/journal_text.hpp"
#include "files/run/safe_rename.hpp"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

constexpr std::size_t kBatchBytes = std::size_t{1} << 13; // about a thousand records
constexpr std::string_view kMagic = "quorvel journal 2";
constexpr std::string_view kMagicTree = "quorvel journal 3";
// The error of a journal that would grow beyond kMostJournalBytes (no errno value).
constexpr int kTooLarge = -1;

bool SyncFolder(const std::string& folder) {
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.Valid() && ::fsync(fd.Get()) == 0;
}

// "20261208T232438.123456789Z-4242.journal": names sort in the order runs began.
std::string NewJournalName() {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    tm utc{};
    ::gmtime_r(&now.tv_sec, &utc);
    char buffer[64];
    const std::size_t n = std::strftime(buffer, sizeof buffer, "%Y%m%dT%H%M%S", &utc);
    std::string name(buffer, n);
    std::snprintf(buffer, sizeof buffer, ".%09ldZ-%ld", static_cast<long>(now.tv_nsec),
                  static_cast<long>(::getpid()));
    return name + buffer + std::string(kJournalSuffix);
}

char KindLetter(StepKind kind) {
    switch (kind) {
    case StepKind::Move:
        return 'M';
    case StepKind::ToTemporary:
        return 'H';
    case StepKind::FromTemporary:
        return 'F';
    }
    return '?';
}

void AppendNumber(std::uint64_t n, std::string& out) {
    char buffer[24];
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, n).ptr);
}

// The plan of the journal, handed to `spill` a piece at a time (about a mebibyte),
// which takes the text and leaves `out` empty.
void PlanText(const FolderIdentity& identity, std::size_t selected, std::span<const RunFile> files,
              std::span<const FileStamp> stamps, const std::vector<Step>& steps,
              const std::vector<std::uint32_t>& order, const std::vector<std::uint32_t>& numbers,
              const RunPlaces& places, const std::function<void(std::string& out)>& spill) {
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    const bool tree = !places.places.empty();
    std::string out;
    out.reserve(kPiece + 4096);
    out.append(tree ? kMagicTree : kMagic).append("\nfolder ");
    out += std::to_string(identity.device) + " " + std::to_string(identity.inode) + " " +
           StampText(identity.stamp) + " ";
    EscapeName(identity.path.Bytes(), out);
    std::size_t unchanged = 0;
    std::size_t refused = 0;
    for (const RunFile& f : files) {
        unchanged += f.verdict == Verdict::Unchanged ? 1 : 0;
        refused += f.verdict != Verdict::Unchanged && f.verdict != Verdict::Ready ? 1 : 0;
    }
    out += "\nbegun " + std::to_string(static_cast<long long>(std::time(nullptr))) + " " +
           std::to_string(selected) + " " + std::to_string(unchanged) + " " + std::to_string(refused) + "\n";
    for (const JournalPlace& place : places.places) {
        out += "place " + std::to_string(place.parent) + " " + std::to_string(place.device) + " " +
               std::to_string(place.inode) + " ";
        EscapeName(place.name, out);
        out.push_back('\n');
    }
    for (const std::uint32_t i : order) {
        const RunFile& f = files[i];
        out.append("file ");
        if (tree) {
            AppendNumber(places.ofFile[i], out);
            out.push_back(' ');
        }
        AppendNumber(f.inode, out);
        out.push_back(' ');
        AppendStamp(i < stamps.size() ? stamps[i] : FileStamp{}, out);
        out.push_back(' ');
        EscapeName(f.oldName, out);
        out.push_back(' ');
        EscapeName(f.newName, out);
        out.push_back(' ');
        if (f.temporary.empty()) {
            out.push_back('-');
        } else {
            EscapeName(f.temporary, out);
        }
        out.push_back('\n');
        if (out.size() >= kPiece) {
            spill(out);
        }
    }
    for (const Step& step : steps) {
        out.append("step ");
        AppendNumber(numbers[step.file], out);
        out.push_back(' ');
        out.push_back(KindLetter(step.kind));
        out.push_back(' ');
        if (step.after < 0) {
            out.append("-1");
        } else {
            AppendNumber(static_cast<std::uint64_t>(step.after), out);
        }
        out.push_back('\n');
        if (out.size() >= kPiece) {
            spill(out);
        }
    }
    out += "planned " + std::to_string(order.size()) + " " + std::to_string(steps.size()) + "\n";
    spill(out);
}

} // namespace

std::optional<JournalWriter> JournalWriter::Create(const std::string& folder, const FolderIdentity& identity,
                                                   std::size_t selected, std::span<const RunFile> files,
                                                   std::span<const FileStamp> stamps,
                                                   const std::vector<Step>& steps, std::string& error,
                                                   const RunPlaces& places) {
    const auto store = JournalStore::Open(folder, JournalStore::Use::Write, error);
    if (!store) {
        return std::nullopt;
    }
    std::vector<std::uint32_t> numbers(files.size(), kNoFile);
    std::vector<std::uint32_t> order; // the files that move, in the order of their first step
    for (const Step& step : steps) {
        if (numbers[step.file] == kNoFile) {
            numbers[step.file] = static_cast<std::uint32_t>(order.size());
            order.push_back(step.file);
        }
    }
    const std::string path = store->Path() + "/" + NewJournalName();
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd.Valid() || ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        error = Quoted(path) + " : " +
                (errno == ENOENT || errno == ENOTDIR ? FolderErrorText(errno) : RenameErrorText(errno));
        return std::nullopt;
    }
    JournalWriter writer(std::move(fd), path);
    writer.fileNumbers_ = std::move(numbers);
    writer.folderStamp_ = FileStampKind(identity.stamp.kind);
    writer.files_ = order.size();
    writer.kinds_.reserve(steps.size());
    for (const Step& step : steps) {
        writer.kinds_.push_back(static_cast<std::uint8_t>(step.kind));
    }
    writer.done_.assign(steps.size(), 0);
    // Written as it is made: a plan cut short has no "planned" line, and reads as no
    // plan at all.
    std::uint64_t planBytes = 0;
    PlanText(identity, selected, files, stamps, steps, order, writer.fileNumbers_, places,
             [&](std::string& text) {
                 planBytes += text.size();
                 if (planBytes <= kMostPlanBytes) {
                     writer.pending_.swap(text);
                     writer.Flush();
                 }
                 text.clear();
             });
    if (planBytes > kMostPlanBytes) {
        error = kPlanTooLargeText;
        ::unlink(path.c_str());
        return std::nullopt;
    }
    if (writer.failed_ || ::fsync(writer.fd_.Get()) != 0 || !SyncFolder(store->Path())) {
        error = Quoted(path) + " : " + RenameErrorText(writer.error_ != 0 ? writer.error_ : errno);
        ::unlink(path.c_str());
        return std::nullopt;
    }
    PruneJournals(*store, path);
    return writer;
}

std::optional<JournalWriter> JournalWriter::Reopen(const std::string& path, std::string& error) {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC));
    struct stat st {};
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0) {
        error = Quoted(path) + " : " + RenameErrorText(errno);
        return std::nullopt;
    }
    if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        error = JournalLeftOutText(path, std::string(kJournalUnsafeText));
        return std::nullopt;
    }
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? std::string(kJournalBusyText)
                                     : Quoted(path) + " : " + RenameErrorText(errno);
        return std::nullopt;
    }
    JournalWriter writer(std::move(fd), path);
    writer.written_->store(static_cast<std::uint64_t>(st.st_size));
    return writer;
}

JournalWriter::~JournalWriter() {
    if (fd_.Valid() && !closed_) {
        Flush();
    }
}

JournalWriter JournalWriter::Branch() const {
    JournalWriter branch(UniqueFd(::fcntl(fd_.Get(), F_DUPFD_CLOEXEC, 0)), path_);
    if (!branch.fd_.Valid()) {
        branch.Fail(errno);
    }
    branch.written_ = written_;
    branch.fileNumbers_ = fileNumbers_;
    branch.folderStamp_ = folderStamp_;
    branch.done_ = done_;
    branch.branchedFrom_ = done_;
    if (failed_) {
        branch.Fail(error_);
    }
    return branch;
}

void JournalWriter::Join(JournalWriter&& branch) {
    branch.Flush();
    branch.closed_ = true;
    if (branch.failed_) {
        Fail(branch.error_);
    }
    for (std::size_t s = 0; s < done_.size() && s < branch.done_.size(); ++s) {
        if (branch.done_[s] != branch.branchedFrom_[s]) {
            done_[s] = branch.done_[s];
        }
    }
}

void JournalWriter::Follow(const Journal& journal) {
    folderStamp_ = FileStampKind(journal.folder.stamp.kind);
    files_ = journal.files.size();
    kinds_.clear();
    kinds_.reserve(journal.steps.size());
    for (const Step& step : journal.steps) {
        kinds_.push_back(static_cast<std::uint8_t>(step.kind));
    }
    done_.assign(journal.steps.size(), 0);
    for (std::size_t s = 0; s < journal.state.size() && s < done_.size(); ++s) {
        done_[s] = journal.state[s] == StepState::Done ? 1 : 0;
    }
    if (journal.counts) {
        end_ = std::array<std::size_t, 3>{journal.counts->renamed, journal.counts->unchanged,
                                          journal.counts->failed};
    }
    undoStarted_ = journal.undoStarted;
    undone_ = journal.undone;
    settled_ = journal.settled;
}

void JournalWriter::Record(std::string_view line) {
    pending_.append(line);
    pending_.push_back('\n');
    if (pending_.size() >= kBatchBytes) {
        Flush();
    }
}

void JournalWriter::Done(std::size_t step) {
    step += stepOffset_;
    if (step < done_.size()) {
        done_[step] = 1;
    }
    Record("d " + std::to_string(step));
}

void JournalWriter::Reverted(std::size_t step) {
    step += stepOffset_;
    if (step < done_.size()) {
        done_[step] = 0;
    }
    Record("r " + std::to_string(step));
}

void JournalWriter::Inode(std::size_t file, std::uint64_t inode, const FileStamp& stamp) {
    file += fileOffset_;
    if (!fileNumbers_.empty()) {
        if (fileNumbers_[file] == kNoFile) {
            return;
        }
        file = fileNumbers_[file];
    }
    Record("i " + std::to_string(file) + " " + std::to_string(inode) + " " + StampText(stamp));
}

void JournalWriter::Finished(const RunCounts& counts) {
    end_ = std::array<std::size_t, 3>{counts.renamed, counts.unchanged, counts.failed};
    Record("end " + std::to_string(counts.renamed) + " " + std::to_string(counts.unchanged) + " " +
           std::to_string(counts.failed));
}

void JournalWriter::Begin(std::string_view session) {
    undoStarted_ = undoStarted_ || session == "undo";
    Record(session);
    Flush();
}

void JournalWriter::Undone() {
    undone_ = true;
    Record("undone");
}

void JournalWriter::Settled() {
    settled_ = true;
    Record("settled");
}

std::string JournalWriter::SummaryLine() const {
    std::size_t done = 0;
    std::size_t renamed = 0;
    for (std::size_t s = 0; s < done_.size(); ++s) {
        done += done_[s];
        renamed += done_[s] != 0 && kinds_[s] != static_cast<std::uint8_t>(StepKind::ToTemporary) ? 1 : 0;
    }
    std::string flags;
    flags += undoStarted_ ? "u" : "";
    flags += undone_ ? "d" : "";
    flags += settled_ ? "s" : "";
    std::string line = "summary " + std::to_string(files_) + " " + std::to_string(done_.size()) + " " +
                       std::to_string(done) + " " + std::to_string(renamed) + " " +
                       (flags.empty() ? "-" : flags);
    if (end_) {
        for (const std::size_t n : *end_) {
            line += " " + std::to_string(n);
        }
    } else {
        line += " - - -";
    }
    return line;
}

bool JournalWriter::Close() {
    if (closed_) {
        return !failed_;
    }
    closed_ = true;
    Record(SummaryLine());
    Record("closed");
    if (Flush() && ::fdatasync(fd_.Get()) != 0) {
        Fail(errno);
    }
    return !failed_;
}

std::optional<std::uint64_t> JournalWriter::FileSize() const {
    struct stat st {};
    if (::fstat(fd_.Get(), &st) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(st.st_size);
}

void JournalWriter::Fail(int error) {
    if (!failed_) {
        failed_ = true;
        error_ = error != 0 ? error : EIO;
    }
}

bool JournalWriter::Flush() {
    if (!pending_.empty() && !failed_) {
        const std::uint64_t before = written_->fetch_add(pending_.size());
        if (before + pending_.size() > kMostJournalBytes) {
            written_->fetch_sub(pending_.size());
            Fail(kTooLarge);
        } else if (!WriteAll(fd_.Get(), pending_)) {
            Fail(errno);
        }
    }
    pending_.clear();
    return !failed_;
}

std::string JournalWriter::FailureText() const {
    return error_ == kTooLarge ? std::string(kJournalTooLargeText) : RenameErrorText(error_);
}

} // namespace quorvel
