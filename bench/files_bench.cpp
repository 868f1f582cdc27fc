// Folder scan, renaming run and memory of the file records, each next to the plain
// C loop (or program) that does the same work.
//
// The folders are made under $QUORVEL_BENCH_DIR (default /tmp). The file-system
// benchmarks run a fixed number of iterations: each one needs a fresh folder.
#include "engine/codec.hpp"
#include "files/rename_run.hpp"

#include <benchmark/benchmark.h>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
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
    const Text path = DecodeName(folder.path());
    for (auto _ : state) {
        TListFiles list;
        ScanFolder(path, &list, U"*.*");
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
    const Text path = DecodeName(folder.path());
    for (auto _ : state) {
        TListFiles list;
        ScanFolder(path, &list, U"*.*", ScanDetail::NamesOnly);
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

// --- Renaming -----------------------------------------------------------------

const ScriptLines kPrefixScript = {U"14|Ajouter [Chaine=x_] au d\u00E9but"};

// The run alone: the folder is scanned, sorted and fully selected beforehand.
void BM_RunRenames(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<BenchFolder>(kFiles);
        TListFiles files;
        ScanFolder(DecodeName(folder->path()), &files, U"*.*");
        files.Sort();
        TListInt rows;
        rows.SetSorted(true);
        for (std::size_t row = 1; row <= files.Count(); ++row) {
            rows.Add(static_cast<std::int32_t>(row));
        }
        NumberCounter counter = 0;
        state.ResumeTiming();
        const RunReport report = RunRenames(kPrefixScript, files, rows, counter);
        state.PauseTiming();
        if (report.renamed != kFiles) {
            state.SkipWithError("not every file was renamed");
        }
        folder.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_RunRenames)->Unit(benchmark::kMillisecond)->Iterations(5);

// The plain C loop: renameat2 of every listed name to "x_" + name.
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
BENCHMARK(BM_RenameLoopPlainC)->Unit(benchmark::kMillisecond)->Iterations(5);

// Whole programs on the same folder: quorvel-cli run, and Debian's perl rename
// reading the names from standard input.
int Spawn(const std::vector<std::string>& argv) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        return -1;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void RunProgram(benchmark::State& state, const std::vector<std::string>& command) {
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<BenchFolder>(kFiles);
        std::vector<std::string> argv = command;
        for (std::string& a : argv) {
            if (a == "FOLDER") {
                a = folder->path();
            }
        }
        state.ResumeTiming();
        const int status = Spawn(argv);
        state.PauseTiming();
        struct stat st {};
        const bool done = ::stat((folder->path() + "/x_IMG_000000.JPG").c_str(), &st) == 0;
        if (status != 0 || !done) {
            state.SkipWithError("the program failed or is missing");
        }
        folder.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}

void BM_QuorvelCliRun(benchmark::State& state) {
    const std::string script = BenchBase() + "/quorvel-bench-prefix.script";
    if (FILE* f = std::fopen(script.c_str(), "wb")) {
        std::fputs("14|Ajouter [Chaine=x_] au d\xE9"
                   "but\r\n",
                   f);
        std::fclose(f);
    }
    RunProgram(state, {QUORVEL_CLI, "run", script, "FOLDER"});
    std::remove(script.c_str());
}
BENCHMARK(BM_QuorvelCliRun)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PerlRename(benchmark::State& state) {
    RunProgram(state,
               {"/bin/sh", "-c", "cd \"$1\" && printf '%s\\0' * | rename -0 's/^/x_/'", "sh", "FOLDER"});
}
BENCHMARK(BM_PerlRename)->Unit(benchmark::kMillisecond)->Iterations(5);

// The plain C program's work in one process: list the folder, rename every file.
void BM_ListAndRenamePlainC(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<BenchFolder>(kFiles);
        state.ResumeTiming();
        DIR* dir = ::opendir(folder->path().c_str());
        const int fd = ::dirfd(dir);
        std::vector<std::string> names;
        while (const dirent* e = ::readdir(dir)) {
            if (e->d_type != DT_DIR) {
                names.emplace_back(e->d_name);
            }
        }
        char target[300];
        for (const std::string& name : names) {
            std::snprintf(target, sizeof target, "x_%s", name.c_str());
            ::renameat2(fd, name.c_str(), fd, target, RENAME_NOREPLACE);
        }
        ::closedir(dir);
        state.PauseTiming();
        folder.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_ListAndRenamePlainC)->Unit(benchmark::kMillisecond)->Iterations(5);

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
