// Runs over a tree of folders, each next to the program or plain C loop that does
// the least the same work: the dry run next to `find FOLDER -type f`, the run next
// to a C walk that opens each folder from its parent and renames each file with
// renameat2(RENAME_NOREPLACE), and the listing of a million files in ten thousand
// folders as the window lists them.
//
// The trees are made under $QUORVEL_BENCH_DIR (default /dev/shm, a tmpfs); the
// journals go to a folder of their own there.
#include "files/listing/given_files.hpp"
#include "files/listing/scan.hpp"
#include "files/run/rename_run.hpp"
#include "spawn.hpp"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <numeric>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace quorvel;

std::string BenchBase() {
    const char* base = std::getenv("QUORVEL_BENCH_DIR");
    return base && *base ? base : "/dev/shm";
}

// A tree of `folders` folders (a tenth of them at the top, the rest spread below
// them) holding `files` files in all.
class BenchTree {
public:
    BenchTree(int folders, int files)
        : path_(BenchBase() + "/quorvel-tree-" + std::to_string(::getpid()) + "-" + std::to_string(++made_)) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directory(path_);
        const int top = std::max(1, folders / 10);
        std::vector<std::string> all;
        for (int t = 0; t < top; ++t) {
            all.push_back(path_ + "/top" + std::to_string(t));
            ::mkdir(all.back().c_str(), 0755);
        }
        for (int f = top; f < folders; ++f) {
            all.push_back(all[static_cast<std::size_t>(f % top)] + "/sub" + std::to_string(f));
            ::mkdir(all.back().c_str(), 0755);
        }
        for (int i = 0; i < files; ++i) {
            const std::string name =
                all[static_cast<std::size_t>(i % folders)] + "/IMG_" + std::to_string(i) + ".jpg";
            const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    BenchTree(const BenchTree&) = delete;
    BenchTree& operator=(const BenchTree&) = delete;
    ~BenchTree() { std::filesystem::remove_all(path_); }
    const std::string& path() const { return path_; }

private:
    static inline int made_ = 0;
    std::string path_;
};

constexpr int kTreeFolders = 2'000;
constexpr int kTreeFiles = 200'000;

// The folder of the journals of the runs, removed when the program ends.
class JournalFolderOfRuns {
public:
    JournalFolderOfRuns() : path_(BenchBase() + "/quorvel-tree-journals-" + std::to_string(::getpid())) {
        std::filesystem::create_directories(path_);
    }
    JournalFolderOfRuns(const JournalFolderOfRuns&) = delete;
    JournalFolderOfRuns& operator=(const JournalFolderOfRuns&) = delete;
    ~JournalFolderOfRuns() { std::filesystem::remove_all(path_); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string Journals() {
    static const JournalFolderOfRuns folder;
    return folder.path();
}

void Rounds(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Repetitions(5);
}

const ScriptLines kPrefix = {U"14|Ajouter [Chaine=x_] au d\u00E9but"};

TreeScan WholeTree() {
    TreeScan scan;
    scan.depth = 0;
    scan.detail = ScanDetail::NamesOnly;
    return scan;
}

// The dry run of the library as quorvel-cli makes it: the tree listed, every name
// made and checked, the order found.
void BM_TreeDryRun(benchmark::State& state) {
    static const BenchTree tree(kTreeFolders, kTreeFiles);
    for (auto _ : state) {
        TListFiles files;
        ScanTree(FolderPath(tree.path()), files, U"*", WholeTree());
        std::vector<std::size_t> selection(files.Count());
        std::iota(selection.begin(), selection.end(), std::size_t{0});
        NumberCounter counter = 0;
        const RunReport plan = PlanRenames(kPrefix, files, selection, counter, {Journals(), true, {}, {}});
        if (plan.renamed != kTreeFiles) {
            state.SkipWithError("not every file would be renamed");
        }
    }
}
BENCHMARK(BM_TreeDryRun)->Apply(Rounds);

// The same through quorvel-cli, its plan written to /dev/null.
void BM_QuorvelCliTreeDryRun(benchmark::State& state) {
    static const BenchTree tree(kTreeFolders, kTreeFiles);
    const std::string script = BenchBase() + "/quorvel-tree-prefix.script";
    if (FILE* f = std::fopen(script.c_str(), "wb")) {
        std::fputs("14|Ajouter [Chaine=x_] au d\xE9"
                   "but\r\n",
                   f);
        std::fclose(f);
    }
    for (auto _ : state) {
        if (bench::Spawn({QUORVEL_CLI, "run", "--dry-run", "-r", script, tree.path()}, true) != 0) {
            state.SkipWithError("quorvel-cli failed");
        }
    }
    std::remove(script.c_str());
}
BENCHMARK(BM_QuorvelCliTreeDryRun)->Apply(Rounds);

void BM_FindFiles(benchmark::State& state) {
    static const BenchTree tree(kTreeFolders, kTreeFiles);
    for (auto _ : state) {
        if (bench::Spawn({"find", tree.path(), "-type", "f"}, true) != 0) {
            state.SkipWithError("find failed");
        }
    }
}
BENCHMARK(BM_FindFiles)->Apply(Rounds);

// The run: listed, planned, journaled, renamed, verified; a fresh tree per round.
void BM_TreeRun(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<BenchTree>(kTreeFolders, kTreeFiles);
        state.ResumeTiming();
        TListFiles files;
        ScanTree(FolderPath(tree->path()), files, U"*", WholeTree());
        std::vector<std::size_t> selection(files.Count());
        std::iota(selection.begin(), selection.end(), std::size_t{0});
        NumberCounter counter = 0;
        const RunReport run = RunRenames(kPrefix, files, selection, counter, {Journals(), false, {}, {}});
        state.PauseTiming();
        if (run.renamed != kTreeFiles) {
            state.SkipWithError("not every file was renamed");
        }
        tree.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TreeRun)->Apply(Rounds);

// The plain C floor: each folder opened from its parent (O_NOFOLLOW), read, and
// every file renamed to "x_" + its name with renameat2(RENAME_NOREPLACE).
int RenameTreePlainC(int dirfd) {
    const int own = ::openat(dirfd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = ::fdopendir(own);
    if (dir == nullptr) {
        return 0;
    }
    std::vector<std::string> files;
    std::vector<std::string> folders;
    while (const dirent* e = ::readdir(dir)) {
        if (e->d_type == DT_DIR) {
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
                folders.emplace_back(e->d_name);
            }
        } else {
            files.emplace_back(e->d_name);
        }
    }
    ::closedir(dir);
    int renamed = 0;
    char target[300];
    for (const std::string& name : files) {
        std::snprintf(target, sizeof target, "x_%s", name.c_str());
        renamed += ::renameat2(dirfd, name.c_str(), dirfd, target, RENAME_NOREPLACE) == 0 ? 1 : 0;
    }
    for (const std::string& name : folders) {
        const int fd = ::openat(dirfd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd >= 0) {
            renamed += RenameTreePlainC(fd);
            ::close(fd);
        }
    }
    return renamed;
}

void BM_TreeRenamePlainC(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto tree = std::make_unique<BenchTree>(kTreeFolders, kTreeFiles);
        state.ResumeTiming();
        const int fd = ::open(tree->path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int renamed = RenameTreePlainC(fd);
        ::close(fd);
        state.PauseTiming();
        if (renamed != kTreeFiles) {
            state.SkipWithError("not every file was renamed");
        }
        tree.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TreeRenamePlainC)->Apply(Rounds);

// A million files in ten thousand folders listed as the window lists them.
void BM_ListMillionFilesInTenThousandFolders(benchmark::State& state) {
    static const BenchTree tree(10'000, 1'000'000);
    for (auto _ : state) {
        TListFiles files;
        ScanTree(FolderPath(tree.path()), files, U"*", WholeTree());
        files.Sort();
        if (files.Count() != 1'000'000) {
            state.SkipWithError("not every file was listed");
        }
    }
}
BENCHMARK(BM_ListMillionFilesInTenThousandFolders)->Apply(Rounds);

// Every file of the tree given one by one, by absolute path, in an order that is
// not the tree's (as a long --files-from list hands them over), next to the
// listing of the same tree.
const std::vector<std::string>& GivenPaths() {
    static const BenchTree tree(kTreeFolders, kTreeFiles);
    static const std::vector<std::string> paths = [] {
        TListFiles files;
        ScanTree(FolderPath(tree.path()), files, U"*", WholeTree());
        std::vector<std::string> all;
        for (std::size_t i = 0; i < files.Count(); ++i) {
            all.push_back(tree.path() + "/" + files.Items(i).RelativeBytes());
        }
        std::reverse(all.begin(), all.end());
        return all;
    }();
    return paths;
}

void BM_ListGivenFiles(benchmark::State& state) {
    const std::vector<std::string>& paths = GivenPaths();
    for (auto _ : state) {
        TListFiles files;
        const GivenFilesReport report = ListGivenFiles(paths, files);
        if (files.Count() != paths.size() || !report.refused.empty()) {
            state.SkipWithError("not every file was listed");
        }
    }
}
BENCHMARK(BM_ListGivenFiles)->Apply(Rounds);

// The least any program does with such a list: lstat(2) each path once.
void BM_StatGivenPathsPlainC(benchmark::State& state) {
    const std::vector<std::string>& paths = GivenPaths();
    for (auto _ : state) {
        std::size_t found = 0;
        for (const std::string& path : paths) {
            struct stat st {};
            found += ::lstat(path.c_str(), &st) == 0 ? 1 : 0;
        }
        if (found != paths.size()) {
            state.SkipWithError("not every file was found");
        }
    }
}
BENCHMARK(BM_StatGivenPathsPlainC)->Apply(Rounds);

void BM_ListTree(benchmark::State& state) {
    static const BenchTree tree(kTreeFolders, kTreeFiles);
    for (auto _ : state) {
        TListFiles files;
        ScanTree(FolderPath(tree.path()), files, U"*", WholeTree());
        files.Sort();
        if (files.Count() != static_cast<std::size_t>(kTreeFiles)) {
            state.SkipWithError("not every file was listed");
        }
    }
}
BENCHMARK(BM_ListTree)->Apply(Rounds);

} // namespace
