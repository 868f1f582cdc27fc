#include "files/journal.hpp"

#include "files/name_table.hpp"
#include "files/run_messages.hpp"
#include "files/safe_rename.hpp"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

constexpr std::size_t kKeptJournals = 50;
constexpr std::size_t kBatchBytes = std::size_t{1} << 13; // about a thousand records
constexpr std::string_view kMagic = "quorvel journal 1";
constexpr std::string_view kSuffix = ".journal";

void Escape(std::string_view bytes, std::string& out) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b > 0x20 && b < 0x7F && b != '\\') {
            out.push_back(c);
        } else {
            out += "\\x";
            out.push_back(kHex[b >> 4]);
            out.push_back(kHex[b & 15]);
        }
    }
}

std::optional<std::string> Unescape(std::string_view text) {
    if (text.find('\\') == std::string_view::npos) {
        return std::string(text);
    }
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out.push_back(text[i]);
            continue;
        }
        unsigned value = 0;
        if (i + 4 > text.size() || text[i + 1] != 'x' ||
            std::from_chars(text.data() + i + 2, text.data() + i + 4, value, 16).ptr != text.data() + i + 4) {
            return std::nullopt;
        }
        out.push_back(static_cast<char>(value));
        i += 3;
    }
    return out;
}

// The space-separated fields of a line, without a copy. No record has more than
// kMost fields: a line with more counts kMost + 1.
class Fields {
public:
    explicit Fields(std::string_view line) {
        std::size_t start = 0;
        while (start <= line.size() && count_ <= kMost) {
            std::size_t end = line.find(' ', start);
            if (end == std::string_view::npos) {
                end = line.size();
            }
            if (count_ < kMost) {
                fields_[count_] = line.substr(start, end - start);
            }
            ++count_;
            start = end + 1;
        }
    }
    std::size_t size() const { return count_; }
    std::string_view operator[](std::size_t i) const { return fields_[i]; }

private:
    static constexpr std::size_t kMost = 5;
    std::array<std::string_view, kMost> fields_{};
    std::size_t count_ = 0;
};

template <typename T> bool Number(std::string_view text, T& value) {
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

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
    return name + buffer + std::string(kSuffix);
}

void Prune(const std::string& folder) {
    const std::vector<std::string> journals = ListJournals(folder);
    if (journals.size() <= kKeptJournals) {
        return;
    }
    for (std::size_t i = 0; i + kKeptJournals < journals.size(); ++i) {
        ::unlink(journals[i].c_str());
    }
}

std::string ErrorText(int error) {
    return RenameErrorText(error);
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

} // namespace

std::string JournalFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/') {
        return std::string(state) + "/quorvel";
    }
    std::string home;
    if (const char* h = std::getenv("HOME"); h != nullptr && h[0] != '\0') {
        home = h;
    } else if (const passwd* pw = ::getpwuid(::getuid()); pw != nullptr && pw->pw_dir != nullptr) {
        home = pw->pw_dir;
    }
    return home + "/.local/state/quorvel";
}

std::optional<FolderIdentity> IdentifyFolder(int dirfd, std::string path) {
    struct stat st {};
    if (::fstat(dirfd, &st) != 0) {
        return std::nullopt;
    }
    return FolderIdentity{std::move(path), static_cast<std::uint64_t>(st.st_dev),
                          static_cast<std::uint64_t>(st.st_ino)};
}

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

std::vector<std::string> ListJournals(const std::string& folder) {
    std::vector<std::string> names;
    int error = 0;
    const UniqueFd fd = OpenFolder(folder, error);
    FolderListing listing;
    if (!fd.Valid() || ListFolder(fd.Get(), listing) != 0) {
        return names;
    }
    for (std::size_t i = 0; i < listing.Count(); ++i) {
        const std::string_view name = listing.Name(i);
        if (name.ends_with(kSuffix) && name.front() != '.') {
            names.emplace_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    for (std::string& name : names) {
        name.insert(0, folder + "/");
    }
    return names;
}

namespace {

// Up to `size` bytes of the regular file `path` from `offset` (from the end when
// `fromEnd`); nothing when it is not a regular file that can be read.
std::optional<std::string> ReadPart(const std::string& path, std::size_t size, bool fromEnd) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    const auto length = static_cast<std::size_t>(st.st_size);
    const std::size_t offset = fromEnd && length > size ? length - size : 0;
    std::string bytes(std::min(size, length), '\0');
    const ssize_t n = ::pread(fd.Get(), bytes.data(), bytes.size(), static_cast<off_t>(offset));
    if (n < 0) {
        return std::nullopt;
    }
    bytes.resize(static_cast<std::size_t>(n));
    return bytes;
}

} // namespace

std::optional<FolderIdentity> ReadJournalFolder(const std::string& path) {
    const auto head = ReadPart(path, 8192, false);
    if (!head || !head->starts_with(std::string(kMagic) + "\n")) {
        return std::nullopt;
    }
    const std::size_t start = kMagic.size() + 1;
    const std::size_t end = head->find('\n', start);
    if (end == std::string::npos) {
        return std::nullopt;
    }
    const Fields f(std::string_view(*head).substr(start, end - start));
    FolderIdentity identity;
    auto folderPath = f.size() == 4 && f[0] == "folder" ? Unescape(f[3]) : std::nullopt;
    if (!folderPath || !Number(f[1], identity.device) || !Number(f[2], identity.inode)) {
        return std::nullopt;
    }
    identity.path = std::move(*folderPath);
    return identity;
}

bool JournalClosed(const std::string& path) {
    const auto tail = ReadPart(path, 64, true);
    return tail && tail->ends_with("\nclosed\n");
}

std::optional<Journal> ReadJournal(const std::string& path) {
    const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(fd.Get(), bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    bytes.erase(bytes.rfind('\n') == std::string::npos ? 0 : bytes.rfind('\n') + 1); // a torn last line

    Journal journal;
    journal.path = path;
    journal.bytes = got;
    // Every file and every step takes a line: room for them all at once.
    const auto lines = static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n'));
    journal.files.reserve(lines / 2);
    journal.steps.reserve(lines / 2);
    std::vector<bool> everDone; // per file: its last step was done at some time
    bool planned = false;
    std::size_t at = 0;
    std::size_t lineNumber = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find('\n', at);
        const std::string_view line(bytes.data() + at, end - at);
        at = end + 1;
        const Fields f(line);
        if (lineNumber++ == 0) {
            if (line != kMagic) {
                return std::nullopt;
            }
            continue;
        }
        const std::string_view key = f[0];
        if (!planned) {
            if (key == "folder" && f.size() == 4) {
                auto folderPath = Unescape(f[3]);
                if (!folderPath || !Number(f[1], journal.folder.device) ||
                    !Number(f[2], journal.folder.inode)) {
                    return std::nullopt;
                }
                journal.folder.path = std::move(*folderPath);
            } else if (key == "begun" && f.size() == 5) {
                if (!Number(f[1], journal.begun) || !Number(f[2], journal.selected) ||
                    !Number(f[3], journal.unchanged) || !Number(f[4], journal.refused)) {
                    return std::nullopt;
                }
            } else if (key == "file" && f.size() == 5) {
                RunFile file;
                auto oldName = Unescape(f[2]);
                auto newName = Unescape(f[3]);
                auto temporary = f[4] == "-" ? std::optional<std::string>("") : Unescape(f[4]);
                if (!Number(f[1], file.inode) || !oldName || !newName || !temporary) {
                    return std::nullopt;
                }
                file.oldName = std::move(*oldName);
                file.newName = std::move(*newName);
                file.temporary = std::move(*temporary);
                file.outcome = RenameOutcome::Failed;
                journal.files.push_back(std::move(file));
            } else if (key == "step" && f.size() == 4) {
                Step step;
                const auto kind = KindOf(f[2]);
                if (!Number(f[1], step.file) || step.file >= journal.files.size() || !kind ||
                    !Number(f[3], step.after) || step.after < -1 ||
                    step.after >= static_cast<std::int64_t>(journal.steps.size())) {
                    return std::nullopt;
                }
                step.kind = *kind;
                const bool needsTemporary = step.kind != StepKind::Move;
                if (needsTemporary && journal.files[step.file].temporary.empty()) {
                    return std::nullopt;
                }
                journal.steps.push_back(step);
            } else if (key == "planned" && f.size() == 3) {
                std::size_t files = 0;
                std::size_t steps = 0;
                if (!Number(f[1], files) || !Number(f[2], steps) || files != journal.files.size() ||
                    steps != journal.steps.size()) {
                    return std::nullopt;
                }
                planned = true;
                journal.state.assign(steps, StepState::NotDone);
                everDone.assign(files, false);
            } else {
                return std::nullopt;
            }
            continue;
        }
        std::size_t n = 0;
        if ((key == "d" || key == "r") && f.size() == 2 && Number(f[1], n) && n < journal.steps.size()) {
            journal.state[n] = key == "d" ? StepState::Done : StepState::NotDone;
            if (key == "d" && journal.steps[n].kind != StepKind::ToTemporary) {
                everDone[journal.steps[n].file] = true;
            }
            journal.open = true;
        } else if (key == "i" && f.size() == 3 && Number(f[1], n) && n < journal.files.size()) {
            Number(f[2], journal.files[n].inode);
        } else if (key == "end" && f.size() == 4) {
            RunCounts counts;
            if (Number(f[1], counts.renamed) && Number(f[2], counts.unchanged) &&
                Number(f[3], counts.failed)) {
                journal.counts = counts;
            }
        } else if (key == "resume" || key == "undo") {
            journal.open = true;
            journal.undoStarted = journal.undoStarted || key == "undo";
        } else if (key == "undone") {
            journal.undone = true;
        } else if (key == "closed") {
            journal.open = false;
        }
        // Anything else is a record of a later version: left out.
    }
    if (!planned) {
        return std::nullopt;
    }
    for (std::size_t i = 0; i < journal.steps.size(); ++i) {
        if (journal.state[i] == StepState::Done && journal.steps[i].kind != StepKind::ToTemporary) {
            journal.files[journal.steps[i].file].outcome = RenameOutcome::Renamed;
        }
    }
    journal.everRenamed = static_cast<std::size_t>(std::count(everDone.begin(), everDone.end(), true));
    return journal;
}

void ReconcileWithFolder(Journal& journal, const FolderListing& now) {
    if (!journal.open) {
        return;
    }
    NameTable names(now.Count());
    for (std::size_t i = 0; i < now.Count(); ++i) {
        names.Insert(now.Name(i), static_cast<std::uint32_t>(i));
    }
    const auto holds = [&](std::string_view name, std::uint64_t inode) {
        const std::uint32_t e = names.Find(name);
        return e != NameTable::kAbsent && now.Inode(e) == inode;
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

std::optional<JournalWriter> JournalWriter::Create(const std::string& folder, const FolderIdentity& identity,
                                                   std::size_t selected, const std::vector<RunFile>& files,
                                                   const std::vector<Step>& steps, std::string& error) {
    if (!MakeFolders(folder)) {
        error = Quoted(folder) + " : " + FolderErrorText(errno);
        return std::nullopt;
    }
    const std::string path = folder + "/" + NewJournalName();
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600));
    if (!fd.Valid() || ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        error = Quoted(path) + " : " +
                (errno == ENOENT || errno == ENOTDIR ? FolderErrorText(errno) : ErrorText(errno));
        return std::nullopt;
    }
    JournalWriter writer(std::move(fd), path);
    writer.fileNumbers_.assign(files.size(), kNoFile);
    std::vector<std::uint32_t> order; // the files that move, in the order of their first step
    for (const Step& step : steps) {
        if (writer.fileNumbers_[step.file] == kNoFile) {
            writer.fileNumbers_[step.file] = static_cast<std::uint32_t>(order.size());
            order.push_back(step.file);
        }
    }
    std::string& out = writer.pending_;
    out.reserve((files.size() + steps.size()) * 48);
    out.append(kMagic).append("\nfolder ");
    out += std::to_string(identity.device) + " " + std::to_string(identity.inode) + " ";
    Escape(identity.path, out);
    std::size_t unchanged = 0;
    std::size_t refused = 0;
    for (const RunFile& f : files) {
        unchanged += f.verdict == Verdict::Unchanged ? 1 : 0;
        refused += f.verdict != Verdict::Unchanged && f.verdict != Verdict::Ready ? 1 : 0;
    }
    out += "\nbegun " + std::to_string(static_cast<long long>(std::time(nullptr))) + " " +
           std::to_string(selected) + " " + std::to_string(unchanged) + " " + std::to_string(refused) + "\n";
    for (const std::uint32_t i : order) {
        const RunFile& f = files[i];
        out += "file " + std::to_string(f.inode) + " ";
        Escape(f.oldName, out);
        out.push_back(' ');
        Escape(f.newName, out);
        out.push_back(' ');
        if (f.temporary.empty()) {
            out.push_back('-');
        } else {
            Escape(f.temporary, out);
        }
        out.push_back('\n');
    }
    for (const Step& step : steps) {
        out += "step " + std::to_string(writer.fileNumbers_[step.file]) + " " + KindLetter(step.kind) + " " +
               std::to_string(step.after) + "\n";
    }
    out += "planned " + std::to_string(order.size()) + " " + std::to_string(steps.size()) + "\n";
    if (!writer.Flush() || ::fsync(writer.fd_.Get()) != 0 || !SyncFolder(folder)) {
        error = path + " : " + ErrorText(errno == 0 ? EIO : errno);
        ::unlink(path.c_str());
        return std::nullopt;
    }
    Prune(folder);
    return writer;
}

std::optional<JournalWriter> JournalWriter::Reopen(const std::string& path, std::string& error) {
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
    if (!fd.Valid()) {
        error = Quoted(path) + " : " + ErrorText(errno);
        return std::nullopt;
    }
    if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) {
        error =
            errno == EWOULDBLOCK ? std::string(kJournalBusyText) : Quoted(path) + " : " + ErrorText(errno);
        return std::nullopt;
    }
    return JournalWriter(std::move(fd), path);
}

JournalWriter::~JournalWriter() {
    if (fd_.Valid()) {
        Flush();
    }
}

void JournalWriter::Record(std::string_view line) {
    pending_.append(line);
    pending_.push_back('\n');
    if (pending_.size() >= kBatchBytes) {
        Flush();
    }
}

void JournalWriter::Done(std::size_t step) {
    Record("d " + std::to_string(step));
}

void JournalWriter::Reverted(std::size_t step) {
    Record("r " + std::to_string(step));
}

void JournalWriter::Inode(std::size_t file, std::uint64_t inode) {
    if (!fileNumbers_.empty()) {
        if (fileNumbers_[file] == kNoFile) {
            return;
        }
        file = fileNumbers_[file];
    }
    Record("i " + std::to_string(file) + " " + std::to_string(inode));
}

void JournalWriter::Finished(const RunCounts& counts) {
    Record("end " + std::to_string(counts.renamed) + " " + std::to_string(counts.unchanged) + " " +
           std::to_string(counts.failed));
}

void JournalWriter::Begin(std::string_view session) {
    Record(session);
    Flush();
}

void JournalWriter::Undone() {
    Record("undone");
}

bool JournalWriter::Close() {
    if (closed_) {
        return !failed_;
    }
    closed_ = true;
    Record("closed");
    return Flush() && ::fdatasync(fd_.Get()) == 0;
}

std::optional<std::uint64_t> JournalWriter::FileSize() const {
    struct stat st {};
    if (::fstat(fd_.Get(), &st) != 0) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(st.st_size);
}

bool JournalWriter::Flush() {
    if (!pending_.empty() && !failed_) {
        failed_ = !WriteAll(fd_.Get(), pending_);
    }
    pending_.clear();
    return !failed_;
}

} // namespace quorvel
