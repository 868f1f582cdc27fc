// Folder scan, renaming run, undo, planning and memory of the file records, each
// next to the plain C loop (or program) that does the same work.
//
// The folders are made under $QUORVEL_BENCH_DIR (default /tmp), and the journals
// of the runs go to a folder of their own there ($XDG_STATE_HOME is set to it for
// this process and the programs it starts). The renaming benchmarks run rounds of
// one iteration: each one needs a fresh folder, made while the clock is stopped and
// written to disk (syncfs) before the clock starts again, so that no measured sync
// pays for the files the benchmark made. bench/rename_figures.sh runs them mixed
// and prints each figure next to its reference.
#include "engine/codec.hpp"
#include "files/history/recorded_runs.hpp"
#include "files/listing/folder_listing.hpp"
#include "files/listing/scan.hpp"
#include "files/run/plan_folder.hpp"
#include "files/run/rename_run.hpp"
#include "spawn.hpp"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <memory>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace quorvel;

constexpr int kFiles = 100'000;

std::string BenchBase() {
    const char* base = std::getenv("QUORVEL_BENCH_DIR");
    return base && *base ? base : "/tmp";
}

void RemoveAll(const std::string& path);

// Writes the file system of `path` to disk.
void SyncFileSystemOf(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::syncfs(fd);
        ::close(fd);
    }
}

// The folder of the journals: $XDG_STATE_HOME for the whole process, so that the
// runs, the undos and quorvel-cli never write to the user's own.
class StateFolder {
public:
    StateFolder() {
        std::string pattern = BenchBase() + "/quorvel-bench-state-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
            ::setenv("XDG_STATE_HOME", path_.c_str(), 1);
        }
    }
    StateFolder(const StateFolder&) = delete;
    StateFolder& operator=(const StateFolder&) = delete;
    ~StateFolder() {
        if (!path_.empty()) {
            RemoveAll(path_ + "/quorvel");
            RemoveAll(path_);
        }
    }

    // Where the journals are (JournalFolder()).
    std::string Journals() const { return path_ + "/quorvel"; }

private:
    std::string path_;
};

const StateFolder gState;

// A folder of `count` empty files named like a camera's, removed at the end.
class BenchFolder {
public:
    explicit BenchFolder(int count) {
        std::string pattern = BenchBase() + "/quorvel-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("mkdtemp failed in " + BenchBase());
        }
        path_ = pattern;
        const int dir = ::open(path_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        char name[32];
        for (int i = 0; i < count; ++i) {
            std::snprintf(name, sizeof name, "IMG_%06d.JPG", i);
            const int fd = ::openat(dir, name, O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
            if (fd < 0) {
                throw std::runtime_error("cannot create the bench files");
            }
            ::close(fd);
        }
        ::close(dir);
        SyncFileSystemOf(path_);
    }
    BenchFolder(const BenchFolder&) = delete;
    BenchFolder& operator=(const BenchFolder&) = delete;
    ~BenchFolder() { RemoveAll(path_); }

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void RemoveAll(const std::string& path) {
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) {
        return;
    }
    const int fd = ::dirfd(dir);
    while (const dirent* e = ::readdir(dir)) {
        if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
            ::unlinkat(fd, e->d_name, 0);
        }
    }
    ::closedir(dir);
    ::rmdir(path.c_str());
}

// --- Scan and sort ------------------------------------------------------------

void BM_ScanAndSort(benchmark::State& state) {
    const BenchFolder folder(kFiles);
    const FolderPath path(folder.path());
    for (auto _ : state) {
        TListFiles list;
        ScanFolder(path, list, U"*.*");
        list.Sort();
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_ScanAndSort)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The same work in plain C: readdir, skip folders, stat for size and date, copy
// the name, sort with a-z folded, free.
struct CRecord {
    char* name;
    long long size;
    long long date;
};

int CompareCRecords(const void* a, const void* b) {
    const auto* x = reinterpret_cast<const unsigned char*>(static_cast<const CRecord*>(a)->name);
    const auto* y = reinterpret_cast<const unsigned char*>(static_cast<const CRecord*>(b)->name);
    for (;; ++x, ++y) {
        const int cx = (*x >= 'a' && *x <= 'z') ? *x - 32 : *x;
        const int cy = (*y >= 'a' && *y <= 'z') ? *y - 32 : *y;
        if (cx != cy || cx == 0) {
            return cx - cy;
        }
    }
}

void BM_ScanAndSortPlainC(benchmark::State& state) {
    const BenchFolder folder(kFiles);
    for (auto _ : state) {
        std::size_t count = 0;
        std::size_t capacity = 1024;
        auto* records = static_cast<CRecord*>(std::malloc(capacity * sizeof(CRecord)));
        DIR* dir = ::opendir(folder.path().c_str());
        const int fd = ::dirfd(dir);
        while (const dirent* e = ::readdir(dir)) {
            if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0 ||
                e->d_type == DT_DIR) {
                continue;
            }
            struct stat st {};
            if (::fstatat(fd, e->d_name, &st, 0) != 0 || S_ISDIR(st.st_mode)) {
                continue;
            }
            if (count == capacity) {
                capacity *= 2;
                records = static_cast<CRecord*>(std::realloc(records, capacity * sizeof(CRecord)));
            }
            records[count++] = {::strdup(e->d_name), static_cast<long long>(st.st_size), st.st_mtim.tv_sec};
        }
        ::closedir(dir);
        std::qsort(records, count, sizeof(CRecord), CompareCRecords);
        benchmark::DoNotOptimize(records[0].name);
        for (std::size_t i = 0; i < count; ++i) {
            std::free(records[i].name);
        }
        std::free(records);
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_ScanAndSortPlainC)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// Names only, as quorvel-cli scans: a stat only where readdir does not tell the type.
void BM_ScanAndSortNamesOnly(benchmark::State& state) {
    const BenchFolder folder(kFiles);
    const FolderPath path(folder.path());
    for (auto _ : state) {
        TListFiles list;
        ScanFolder(path, list, U"*.*", ScanDetail::NamesOnly);
        list.Sort();
        benchmark::DoNotOptimize(list.Count());
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_ScanAndSortNamesOnly)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_ReaddirAndSortPlainC(benchmark::State& state) {
    const BenchFolder folder(kFiles);
    for (auto _ : state) {
        std::size_t count = 0;
        std::size_t capacity = 1024;
        auto* records = static_cast<CRecord*>(std::malloc(capacity * sizeof(CRecord)));
        DIR* dir = ::opendir(folder.path().c_str());
        const int fd = ::dirfd(dir);
        while (const dirent* e = ::readdir(dir)) {
            if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0 ||
                e->d_type == DT_DIR) {
                continue;
            }
            struct stat st {};
            if ((e->d_type == DT_UNKNOWN || e->d_type == DT_LNK) &&
                (::fstatat(fd, e->d_name, &st, 0) != 0 || S_ISDIR(st.st_mode))) {
                continue;
            }
            if (count == capacity) {
                capacity *= 2;
                records = static_cast<CRecord*>(std::realloc(records, capacity * sizeof(CRecord)));
            }
            records[count++] = {::strdup(e->d_name), -1, -1};
        }
        ::closedir(dir);
        std::qsort(records, count, sizeof(CRecord), CompareCRecords);
        benchmark::DoNotOptimize(records[0].name);
        for (std::size_t i = 0; i < count; ++i) {
            std::free(records[i].name);
        }
        std::free(records);
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_ReaddirAndSortPlainC)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// The scan of a large folder with the filters people type: every name ("*.*"), one
// extension, and one extension in both cases ("*.jpg;*.JPG", where every name
// matches both patterns). The folder has QUORVEL_BENCH_FILES files (100,000 by
// default; 1000000 for a million), made once for these benchmarks.
int ScanBenchFiles() {
    static const int files = [] {
        const char* value = std::getenv("QUORVEL_BENCH_FILES");
        const int n = value != nullptr ? std::atoi(value) : 0;
        return n > 0 ? n : kFiles;
    }();
    return files;
}

const BenchFolder& ScanBenchFolder() {
    static const BenchFolder folder(ScanBenchFiles());
    return folder;
}

void BM_ScanWithFilter(benchmark::State& state, const char32_t* filter, ScanDetail detail) {
    const FolderPath path(ScanBenchFolder().path());
    std::size_t listed = 0;
    for (auto _ : state) {
        TListFiles list;
        ScanFolder(path, list, filter, detail);
        listed = list.Count();
        benchmark::DoNotOptimize(listed);
    }
    state.counters["listed"] = static_cast<double>(listed);
    state.SetItemsProcessed(state.iterations() * ScanBenchFiles());
}
BENCHMARK_CAPTURE(BM_ScanWithFilter, every_name, U"*.*", ScanDetail::NamesOnly)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);
BENCHMARK_CAPTURE(BM_ScanWithFilter, one_extension, U"*.jpg", ScanDetail::NamesOnly)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);
BENCHMARK_CAPTURE(BM_ScanWithFilter, both_cases, U"*.jpg;*.JPG", ScanDetail::NamesOnly)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);
BENCHMARK_CAPTURE(BM_ScanWithFilter, both_cases_with_details, U"*.jpg;*.JPG", ScanDetail::SizeAndDate)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(3.0);

// --- Renaming -----------------------------------------------------------------

// The renaming benchmarks: one run per round on a fresh folder, wall time (the
// programs run in processes of their own), kRounds rounds reported with their
// median and their minimum. With --benchmark_enable_random_interleaving=true the
// rounds of the benchmarks compared are mixed, so that the load of the machine
// weighs on all of them alike.
constexpr int kRounds = 7;

double Minimum(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

void FileSystemRounds(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1)
        ->Repetitions(kRounds)
        ->ComputeStatistics("min", Minimum);
}

const ScriptLines kPrefixScript = {U"14|Ajouter [Chaine=x_] au d\u00E9but"};

// Every file of the list, in list order: the whole folder, as quorvel-cli selects it.
std::vector<std::size_t> SelectAll(const TListFiles& files) {
    std::vector<std::size_t> selection(files.Count());
    std::iota(selection.begin(), selection.end(), std::size_t{0});
    return selection;
}

// Whether every file of the folder is as a prefix run left it (`renamed`: "x_" +
// its name), or as it was made.
bool AllRenamed(const BenchFolder& folder, bool renamed) {
    DIR* dir = ::opendir(folder.path().c_str());
    if (dir == nullptr) {
        return false;
    }
    int prefixed = 0;
    int plain = 0;
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_type != DT_DIR) {
            (std::strncmp(e->d_name, "x_IMG_", 6) == 0 ? prefixed : plain) += 1;
        }
    }
    ::closedir(dir);
    return renamed ? prefixed == kFiles && plain == 0 : plain == kFiles && prefixed == 0;
}

// The plain C program: readdir every name that is not a folder, then one
// renameat2(RENAME_NOREPLACE) per name, to "x_" + name, or back from "x_" + name to
// name (`back`). Returns how many were renamed.
int RenameAllPlainC(const std::string& path, bool back) {
    DIR* dir = ::opendir(path.c_str());
    if (dir == nullptr) {
        return 0;
    }
    const int fd = ::dirfd(dir);
    std::vector<std::string> names;
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_type != DT_DIR && (!back || std::strncmp(e->d_name, "x_", 2) == 0)) {
            names.emplace_back(e->d_name);
        }
    }
    char target[300];
    int renamed = 0;
    for (const std::string& name : names) {
        if (back) {
            renamed += ::renameat2(fd, name.c_str(), fd, name.c_str() + 2, RENAME_NOREPLACE) == 0 ? 1 : 0;
        } else {
            std::snprintf(target, sizeof target, "x_%s", name.c_str());
            renamed += ::renameat2(fd, name.c_str(), fd, target, RENAME_NOREPLACE) == 0 ? 1 : 0;
        }
    }
    ::closedir(dir);
    return renamed;
}

// The run alone: the folder is scanned, sorted and fully selected beforehand.
void BM_RunRenames(benchmark::State& state) {
    const RunOptions options{gState.Journals(), false, {}, {}};
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<BenchFolder>(kFiles);
        TListFiles files;
        ScanFolder(FolderPath(folder->path()), files, U"*.*");
        files.Sort();
        const std::vector<std::size_t> selection = SelectAll(files);
        NumberCounter counter = 0;
        state.ResumeTiming();
        const RunReport report = RunRenames(kPrefixScript, files, selection, counter, options);
        state.PauseTiming();
        if (report.renamed != kFiles || !AllRenamed(*folder, true)) {
            state.SkipWithError("not every file was renamed");
        }
        folder.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_RunRenames)->Apply(FileSystemRounds);

// The plain C loop alone: renameat2 of every listed name to "x_" + name.
void BM_RenameLoopPlainC(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<BenchFolder>(kFiles);
        std::vector<std::string> names;
        DIR* dir = ::opendir(folder->path().c_str());
        while (const dirent* e = ::readdir(dir)) {
            if (e->d_type != DT_DIR) {
                names.emplace_back(e->d_name);
            }
        }
        ::closedir(dir);
        const int fd = ::open(folder->path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        state.ResumeTiming();
        char target[300];
        int renamed = 0;
        for (const std::string& name : names) {
            std::snprintf(target, sizeof target, "x_%s", name.c_str());
            renamed += ::renameat2(fd, name.c_str(), fd, target, RENAME_NOREPLACE) == 0 ? 1 : 0;
        }
        state.PauseTiming();
        ::close(fd);
        if (renamed != kFiles) {
            state.SkipWithError("not every file was renamed");
        }
        folder.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_RenameLoopPlainC)->Apply(FileSystemRounds);

// Whole programs on the same folder: quorvel-cli run, and Debian's perl rename
// reading the names from standard input.
using quorvel::bench::Spawn;

// Whether `program` is found on $PATH.
bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= dirs.size();) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        const std::string candidate = dirs.substr(start, end - start) + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

// `command` with FOLDER replaced by the folder's path.
std::vector<std::string> InFolder(std::vector<std::string> command, const BenchFolder& folder) {
    for (std::string& a : command) {
        if (a == "FOLDER") {
            a = folder.path();
        }
    }
    return command;
}

void RunProgram(benchmark::State& state, const std::vector<std::string>& command) {
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<BenchFolder>(kFiles);
        const std::vector<std::string> argv = InFolder(command, *folder);
        state.ResumeTiming();
        const int status = Spawn(argv);
        state.PauseTiming();
        if (status != 0 || !AllRenamed(*folder, true)) {
            state.SkipWithError("the program failed or is missing");
        }
        folder.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}

// The script that prefixes every name with "x_", as a script file.
class PrefixScriptFile {
public:
    PrefixScriptFile() : path_(BenchBase() + "/quorvel-bench-prefix.script") {
        if (FILE* f = std::fopen(path_.c_str(), "wb")) {
            std::fputs("14|Ajouter [Chaine=x_] au d\xE9"
                       "but\r\n",
                       f);
            std::fclose(f);
        }
    }
    PrefixScriptFile(const PrefixScriptFile&) = delete;
    PrefixScriptFile& operator=(const PrefixScriptFile&) = delete;
    ~PrefixScriptFile() { std::remove(path_.c_str()); }

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// The whole program: scan, new names, checks, order, journal (synced), renames and
// the reading of the folder after them.
void BM_QuorvelCliRun(benchmark::State& state) {
    const PrefixScriptFile script;
    RunProgram(state, {QUORVEL_CLI, "run", script.path(), "FOLDER"});
}
BENCHMARK(BM_QuorvelCliRun)->Apply(FileSystemRounds);

// Debian's perl rename (package "rename"; file-rename is the program behind its
// /usr/bin/rename), given the names on standard input. Skipped when it is missing.
void BM_PerlRename(benchmark::State& state) {
    if (!OnPath("file-rename")) {
        state.SkipWithError("perl rename is missing (apt-get install rename)");
        for (auto _ : state) {
        }
        return;
    }
    RunProgram(state,
               {"/bin/sh", "-c", "cd \"$1\" && printf '%s\\0' * | file-rename -0 's/^/x_/'", "sh", "FOLDER"});
}
BENCHMARK(BM_PerlRename)->Apply(FileSystemRounds);

// The plain C program's work in one process: list the folder, rename every file.
// The reference for quorvel-cli run.
void BM_ListAndRenamePlainC(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<BenchFolder>(kFiles);
        state.ResumeTiming();
        const int renamed = RenameAllPlainC(folder->path(), false);
        state.PauseTiming();
        if (renamed != kFiles || !AllRenamed(*folder, true)) {
            state.SkipWithError("not every file was renamed");
        }
        folder.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_ListAndRenamePlainC)->Apply(FileSystemRounds);

// The same, then written to disk (syncfs): what the C loop costs once its renames
// are as durable as a journaled run's. For comparison only.
void BM_ListAndRenamePlainCSynced(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<BenchFolder>(kFiles);
        state.ResumeTiming();
        const int renamed = RenameAllPlainC(folder->path(), false);
        SyncFileSystemOf(folder->path());
        state.PauseTiming();
        if (renamed != kFiles || !AllRenamed(*folder, true)) {
            state.SkipWithError("not every file was renamed");
        }
        folder.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_ListAndRenamePlainCSynced)->Apply(FileSystemRounds);

// --- Undo ---------------------------------------------------------------------

// quorvel-cli undo of a quorvel-cli run of the whole folder: the journal is found,
// read and reconciled with the folder, every step taken back and recorded.
void BM_QuorvelCliUndo(benchmark::State& state) {
    const PrefixScriptFile script;
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<BenchFolder>(kFiles);
        const int ran = Spawn({QUORVEL_CLI, "run", script.path(), folder->path()});
        SyncFileSystemOf(folder->path());
        if (ran != 0 || !AllRenamed(*folder, true)) {
            state.SkipWithError("quorvel-cli run failed");
            break;
        }
        state.ResumeTiming();
        const int status = Spawn({QUORVEL_CLI, "undo", folder->path()});
        state.PauseTiming();
        if (status != 0 || !AllRenamed(*folder, false)) {
            state.SkipWithError("quorvel-cli undo failed");
        }
        folder.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_QuorvelCliUndo)->Apply(FileSystemRounds);

// The undo alone, in this process, after a run made in this process.
void BM_UndoLastRun(benchmark::State& state) {
    const RunOptions options{gState.Journals(), false, {}, {}};
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<BenchFolder>(kFiles);
        {
            TListFiles files;
            ScanFolder(FolderPath(folder->path()), files, U"*.*", ScanDetail::NamesOnly);
            files.Sort();
            NumberCounter counter = 0;
            if (RunRenames(kPrefixScript, files, SelectAll(files), counter, options).renamed != kFiles) {
                state.SkipWithError("the run failed");
                break;
            }
        }
        SyncFileSystemOf(folder->path());
        state.ResumeTiming();
        const TakeBackReport report = UndoLastRun(FolderPath(folder->path()), options.journalFolder);
        state.PauseTiming();
        if (report.status != TakeBackReport::Status::Done || report.done != kFiles ||
            !AllRenamed(*folder, false)) {
            state.SkipWithError("the undo failed");
        }
        folder.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_UndoLastRun)->Apply(FileSystemRounds);

// The plain C program renaming back: list the folder, rename every "x_" + name to
// name. The reference for the undo.
void BM_ListAndUndoPlainC(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<BenchFolder>(kFiles);
        const int forward = RenameAllPlainC(folder->path(), false);
        SyncFileSystemOf(folder->path());
        if (forward != kFiles) {
            state.SkipWithError("the renames before the undo failed");
            break;
        }
        state.ResumeTiming();
        const int renamed = RenameAllPlainC(folder->path(), true);
        state.PauseTiming();
        if (renamed != kFiles || !AllRenamed(*folder, false)) {
            state.SkipWithError("not every file was renamed back");
        }
        folder.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_ListAndUndoPlainC)->Apply(FileSystemRounds);

// --- Planning -----------------------------------------------------------------

std::string CameraName(std::size_t i) {
    char name[32];
    std::snprintf(name, sizeof name, "IMG_%07zu.JPG", i);
    return name;
}

// A folder of `count` camera names, every one of them selected, file i to take
// the name `target(i)`; no disk involved.
struct SyntheticRun {
    FolderListing listing;
    std::vector<RunFile> files;
};

template <typename Target> SyntheticRun MakeSyntheticRun(std::size_t count, const Target& target) {
    SyntheticRun run;
    run.files.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        RunFile f;
        f.index = i;
        f.oldName = CameraName(i);
        f.newName = CameraName(target(i));
        run.listing.Add(f.oldName, DT_REG, i + 2);
        run.files.push_back(std::move(f));
    }
    return run;
}

// The plan of a run in one folder, as the run makes it before its journal: the
// checks, the table of the folder's names, the order.
void BM_Plan(benchmark::State& state, const SyntheticRun& run, bool ignoresCase, std::size_t expectedSteps) {
    std::vector<RunFile> files;
    std::vector<Step> steps;
    for (auto _ : state) {
        state.PauseTiming();
        files = run.files;
        steps.clear();
        state.ResumeTiming();
        steps = PlanFolder(files, run.listing, ignoresCase);
        benchmark::DoNotOptimize(steps.data());
        state.PauseTiming();
        if (steps.size() != expectedSteps) {
            state.SkipWithError("unexpected plan");
        }
        state.ResumeTiming();
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A shift: file i takes the name of file i + 1, the last one a free name. One chain
// of N files, planned from its free end.
void BM_PlanShift(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const SyntheticRun run = MakeSyntheticRun(n, [](std::size_t i) { return i + 1; });
    BM_Plan(state, run, false, n);
}
BENCHMARK(BM_PlanShift)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(2'000'000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->Complexity(benchmark::oN);

// The same shift on a folder that ignores case: every name folded.
void BM_PlanShiftIgnoringCase(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const SyntheticRun run = MakeSyntheticRun(n, [](std::size_t i) { return i + 1; });
    BM_Plan(state, run, true, n);
}
BENCHMARK(BM_PlanShiftIgnoringCase)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(2'000'000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->Complexity(benchmark::oN);

// Swaps: files 2k and 2k + 1 exchange their names, N / 2 cycles of two, each
// through a temporary name (three steps).
void BM_PlanSwaps(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const SyntheticRun run = MakeSyntheticRun(n, [](std::size_t i) { return i ^ 1; });
    BM_Plan(state, run, false, n / 2 * 3);
}
BENCHMARK(BM_PlanSwaps)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Arg(2'000'000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->Complexity(benchmark::oN);

// --- Memory -------------------------------------------------------------------

std::size_t HeapInUse() {
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

// One million records of one folder, with names of state.range(0) characters
// (camera names of 12, phone names of 23, descriptive names of 36).
void BM_MillionRecordsMemory(benchmark::State& state) {
    const auto length = static_cast<int>(state.range(0));
    const Text folder = U"/home/utilisateur/Images/Vacances \u00E9t\u00E9 2023/";
    double megabytes = 0;
    for (auto _ : state) {
        const std::size_t before = HeapInUse();
        TListFiles list;
        char number[16];
        for (int i = 0; i < 1'000'000; ++i) {
            std::snprintf(number, sizeof number, "%07d", i);
            Text path = folder;
            path.append(static_cast<std::size_t>(length) - 11, U'p');
            path.append(DecodeName(number));
            path.append(U".jpg");
            AddFoundFile(list, path, 123456, 1700000000);
        }
        megabytes = static_cast<double>(HeapInUse() - before) / 1e6;
        benchmark::DoNotOptimize(list.Count());
    }
    state.counters["MB"] = megabytes; // for a million records: also the bytes per record
}
BENCHMARK(BM_MillionRecordsMemory)->Arg(12)->Arg(23)->Arg(36)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
