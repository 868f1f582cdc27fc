// Timings of the main window on a folder of 100,000 files, offscreen: listing the
// folder (scan, sort, model reset, first paint), listing a tree of as many files
// with "Sous-dossiers", Ctrl+A, the silent preview after
// a click with every file selected, scrolling, redrawing a long script, and a run
// from the window next to quorvel-cli run on the same folder.
//
// QUORVEL_BENCH_FILES sets the number of files (1000000 for a million). The peak
// resident memory of the process so far is reported as the counter peak_MB. The
// runs take rounds of one iteration, each on a fresh folder made while the clock
// is stopped; their journals go to a state folder of their own.
#include "browser/file_grid.hpp"
#include "browser/file_list_model.hpp"
#include "browser/file_selection.hpp"
#include "editor/example_list.hpp"
#include "editor/script_document.hpp"
#include "engine/codec.hpp"
#include "settings/environment.hpp"
#include "shell/main_window.hpp"
#include "shell/rename_controller.hpp"
#include "spawn.hpp"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using namespace quorvel;

// The number of files of the folders: QUORVEL_BENCH_FILES, 100,000 by default.
int Files() {
    static const int files = [] {
        bool ok = false;
        const int n = qEnvironmentVariableIntValue("QUORVEL_BENCH_FILES", &ok);
        return ok && n > 0 ? n : 100'000;
    }();
    return files;
}

void ReportPeakMemory(benchmark::State& state) {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0; // ru_maxrss is in KiB
}

// Makes `count` empty files named by `format` (one %06d) in the new folder `path`.
void MakeFiles(const std::string& path, const char* format, int count) {
    const int dir = ::open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    char name[64];
    for (int i = 0; i < count; ++i) {
        std::snprintf(name, sizeof name, format, i);
        ::close(::openat(dir, name, O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    }
    ::syncfs(dir);
    ::close(dir);
}

std::string TempFolder(const char* prefix) {
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    return ::mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
}

// A folder of Files() empty files, made once per run of the program (or the folder
// named by QUORVEL_BENCH_FOLDER, which is left as it is).
bool OwnFolder() {
    return qEnvironmentVariableIsEmpty("QUORVEL_BENCH_FOLDER");
}

const std::string& BigFolder() {
    static const std::string folder = [] {
        if (!OwnFolder()) {
            return qEnvironmentVariable("QUORVEL_BENCH_FOLDER").toStdString();
        }
        std::string path = TempFolder("quorvel-gui-bench");
        MakeFiles(path, "IMG_%06d_img.JPG", Files());
        return path;
    }();
    return folder;
}

// The journals of the runs: $XDG_STATE_HOME for the whole process and the programs
// it starts, never the user's own.
const std::string& StateFolder() {
    static const std::string folder = [] {
        std::string path = TempFolder("quorvel-gui-bench-state");
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString(path));
        return path;
    }();
    return folder;
}

// The window, made at its first use and closed by main while the application
// still runs.
std::unique_ptr<MainWindow> gWindow;

// The folder of the window's program, where it keeps its settings; removed at the end.
const std::string& ProgramFolder() {
    static const std::string folder = TempFolder("quorvel-gui-bench-program");
    return folder;
}

MainWindow& Window() {
    if (!gWindow) {
        gWindow = std::make_unique<MainWindow>(
            ProgramEnvironment::ForProgramAt(QString::fromStdString(ProgramFolder() + "/quorvel"), {}));
        gWindow->resize(1000, 700);
        gWindow->show();
        (void)QTest::qWaitForWindowExposed(gWindow.get());
    }
    return *gWindow;
}

// The control of the window named `name`, as the language files name it.
template <class T> T* Control(MainWindow& w, const char* name) {
    return w.findChild<T*>(QString::fromLatin1(name));
}

TFileGrid* Grid(MainWindow& w) {
    return Control<TFileGrid>(w, "StringGridFiles");
}

// What the window works with: the files, the selection, the script.
RenameController& Controller(MainWindow& w) {
    return *w.findChild<RenameController*>();
}

void ListFolder(MainWindow& w, const std::string& folder) {
    Controller(w).listFolder(QByteArray::fromStdString(folder), QStringLiteral("*.*"));
}

void ListFolder(MainWindow& w) {
    ListFolder(w, BigFolder());
    Grid(w)->viewport()->repaint();
}

void BM_ListFolderAndPaint(benchmark::State& state) {
    MainWindow& w = Window();
    (void)BigFolder(); // made before the clock starts
    for (auto _ : state) {
        ListFolder(w);
    }
    state.counters["files"] = static_cast<double>(Controller(w).Files().Files().Count());
    ReportPeakMemory(state);
}
BENCHMARK(BM_ListFolderAndPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

// A tree of Files() empty files, 100 a folder (a million files: ten thousand
// folders), in folders of 25 such folders (or the tree named by QUORVEL_BENCH_TREE,
// left as it is).
std::string gTree; // removed by main once made

const std::string& BigTree() {
    static const std::string tree = [] {
        if (!qEnvironmentVariableIsEmpty("QUORVEL_BENCH_TREE")) {
            return qEnvironmentVariable("QUORVEL_BENCH_TREE").toStdString();
        }
        gTree = TempFolder("quorvel-gui-bench-tree");
        char name[64];
        for (int made = 0, folder = 0; made < Files(); made += 100, ++folder) {
            std::snprintf(name, sizeof name, "/dir%03d/sub%02d", folder / 25, folder % 25);
            std::filesystem::create_directories(gTree + name);
            MakeFiles(gTree + name, "IMG_%06d.JPG", std::min(100, Files() - made));
        }
        return gTree;
    }();
    return tree;
}

// "Sous-dossiers": the whole tree read, sorted folder by folder and shown.
void BM_ListTreeAndPaint(benchmark::State& state) {
    MainWindow& w = Window();
    (void)BigTree(); // made before the clock starts
    Controller(w).SetScope({.subFolders = true, .folders = false});
    for (auto _ : state) {
        ListFolder(w, BigTree());
        Grid(w)->viewport()->repaint();
    }
    state.counters["files"] = static_cast<double>(Controller(w).Files().Files().Count());
    Controller(w).SetScope({});
    Controller(w).listFolder({}, QStringLiteral("*.*"));
    ReportPeakMemory(state);
}
BENCHMARK(BM_ListTreeAndPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SelectAll(benchmark::State& state) {
    MainWindow& w = Window();
    ListFolder(w);
    for (auto _ : state) {
        QTest::keyClick(Grid(w), Qt::Key_A, Qt::ControlModifier);
        Grid(w)->viewport()->repaint();
    }
    state.counters["selected"] = static_cast<double>(Controller(w).Selection().Rows().Count());
}
BENCHMARK(BM_SelectAll)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SilentPreviewOfEveryFile(benchmark::State& state) {
    MainWindow& w = Window();
    ListFolder(w);
    Controller(w).Script().Load({DecodeName("1|Supprimer les [n=2] premiers caractères"),
                                 DecodeName("10|Remplacer [Chaine1=img] par [Chaine2=photo]"),
                                 DecodeName("20|Ajouter [Numéro=0001] à la fin")});
    QTest::keyClick(Grid(w), Qt::Key_A, Qt::ControlModifier);
    // The first preview after a listing also pays for the memory of the previews
    // that follow it: its time is shown apart.
    std::vector<double> times;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        Controller(w).preview(PreviewMode::Silent);
        Control<TExampleList>(w, "MemoExemple")->viewport()->repaint();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["lines"] = Control<TExampleList>(w, "MemoExemple")->LineCount();
    if (!times.empty()) {
        state.counters["first_ms"] = times.front();
        state.counters["after_ms"] =
            times.size() > 1 ? *std::max_element(times.begin() + 1, times.end()) : 0.0;
    }
    ReportPeakMemory(state);
}
BENCHMARK(BM_SilentPreviewOfEveryFile)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ScrollThroughTheGrid(benchmark::State& state) {
    MainWindow& w = Window();
    ListFolder(w);
    QScrollBar* bar = Grid(w)->verticalScrollBar();
    int step = 0;
    for (auto _ : state) {
        bar->setValue((step++ * 997) % std::max(1, bar->maximum()));
        Grid(w)->viewport()->repaint();
    }
}
BENCHMARK(BM_ScrollThroughTheGrid)->Unit(benchmark::kMillisecond)->Iterations(200);

// Every line a different command of the catalogue with its own values.
void BM_ShowScriptOfAThousandLines(benchmark::State& state) {
    MainWindow& w = Window();
    ScriptLines script;
    for (int i = 0; i < 1000; ++i) {
        script.push_back(DecodeName("16|Ajouter [Chaine=IMG_" + std::to_string(i) +
                                    "] à la [nième=" + std::to_string(i % 7) + "] postion"));
    }
    for (auto _ : state) {
        Controller(w).Script().Load(script);
    }
}
BENCHMARK(BM_ShowScriptOfAThousandLines)->Unit(benchmark::kMillisecond)->Iterations(10);

// The same line a thousand times: the worst case for the view's formats.
void BM_ShowScriptOfAThousandEqualLines(benchmark::State& state) {
    MainWindow& w = Window();
    const ScriptLines script(1000, DecodeName("3|Supprimer du [nième=2] au [mième=4] caractères"));
    for (auto _ : state) {
        Controller(w).Script().Load(script);
    }
}
BENCHMARK(BM_ShowScriptOfAThousandEqualLines)->Unit(benchmark::kMillisecond)->Iterations(10);

// --- Runs ---------------------------------------------------------------------

constexpr int kRounds = 7;

double Minimum(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

// One run per round on a fresh folder, wall time, the median and the minimum of
// the rounds; with --benchmark_enable_random_interleaving=true the rounds of the
// window and of quorvel-cli are mixed.
void RunRounds(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMillisecond)
        ->UseRealTime()
        ->Iterations(1)
        ->Repetitions(kRounds)
        ->ComputeStatistics("min", Minimum);
}

const char* const kRunFormat = "IMG_%06d.JPG";
const char* const kPrefixLine = "14|Ajouter [Chaine=x_] au d\xC3\xA9"
                                "but"; // UTF-8

// A fresh folder of Files() files for one round, removed with the object.
class RunFolder {
public:
    RunFolder() : path_(TempFolder("quorvel-gui-bench-run")) { MakeFiles(path_, kRunFormat, Files()); }
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;
    ~RunFolder() { std::filesystem::remove_all(path_); }
    const std::string& path() const { return path_; }

    // Whether every file has the prefix "x_".
    bool AllRenamed() const {
        int renamed = 0;
        for (const auto& entry : std::filesystem::directory_iterator(path_)) {
            renamed += entry.path().filename().string().starts_with("x_") ? 1 : 0;
        }
        return renamed == Files();
    }

private:
    std::string path_;
};

// The window, confirmation skipped: the run through the controller and the
// listing of the folder after it, with the renamed files selected.
void BM_RunFromTheWindow(benchmark::State& state) {
    (void)StateFolder();
    MainWindow& w = Window();
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<RunFolder>();
        ListFolder(w, folder->path());
        Controller(w).Script().Load({DecodeName(kPrefixLine)});
        QTest::keyClick(Grid(w), Qt::Key_A, Qt::ControlModifier);
        state.ResumeTiming();
        Controller(w).run(RunMode::Unattended);
        state.PauseTiming();
        if (!folder->AllRenamed() ||
            Controller(w).Selection().Rows().Count() != static_cast<std::size_t>(Files())) {
            state.SkipWithError("the run did not rename every file");
        }
        Controller(w).listFolder({}, QStringLiteral("*.*"));
        folder.reset();
        state.ResumeTiming();
    }
    ReportPeakMemory(state);
}
BENCHMARK(BM_RunFromTheWindow)->Apply(RunRounds);

// A folder of Files() photos, copies of one small JPEG with its date taken, made
// by Pillow and exiv2 at the first use; empty when they cannot be made.
std::string gPhotos; // removed by main once made

const std::string& PhotoFolder() {
    static const std::string folder = [] {
        std::string path = TempFolder("quorvel-gui-bench-photos");
        const std::string first = path + "/IMG_000000.jpg";
        if (quorvel::bench::Spawn({"/usr/bin/python3", "-c",
                                   "import sys\nfrom PIL import Image\n"
                                   "Image.new('RGB', (64, 48), (200, 100, 50)).save(sys.argv[1])\n",
                                   first}) != 0 ||
            quorvel::bench::Spawn(
                {"exiv2", "-Mset Exif.Photo.DateTimeOriginal 2024:07:14 15:30:12", first}) != 0) {
            std::filesystem::remove_all(path);
            return std::string();
        }
        char name[64];
        for (int i = 1; i < Files(); ++i) {
            std::snprintf(name, sizeof name, "/IMG_%06d.jpg", i);
            std::filesystem::copy_file(first, path + name);
        }
        gPhotos = path;
        return path;
    }();
    return folder;
}

// The preview of every photo selected, with a template of the name and with one of
// the date taken: the second and later previews with the date read nothing again.
void BM_PreviewWithDateTaken(benchmark::State& state) {
    if (PhotoFolder().empty()) {
        state.SkipWithError("the photos could not be made (python3-pil and exiv2 needed)");
        return;
    }
    MainWindow& w = Window();
    ListFolder(w, PhotoFolder());
    QTest::keyClick(Grid(w), Qt::Key_A, Qt::ControlModifier);
    const auto previewTime = [&] {
        const auto start = std::chrono::steady_clock::now();
        Controller(w).preview(PreviewMode::Silent);
        Control<TExampleList>(w, "MemoExemple")->viewport()->repaint();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    Controller(w).Script().Load({DecodeName("40|Composer le nom avec [Modèle={name}_{n:000001}]")});
    previewTime();
    // The best of each, so that the machine's other work weighs on neither.
    double without = 1e9;
    double first = 0;
    double with = 1e9;
    for (auto _ : state) {
        Controller(w).Script().Load({DecodeName("40|Composer le nom avec [Modèle={name}_{n:000001}]")});
        without = std::min(without, previewTime());
        Controller(w).Script().Load({DecodeName("40|Composer le nom avec [Modèle={taken}_{n:000001}]")});
        const double once = previewTime();
        first = first == 0 ? once : first;
        for (int again = 0; again < 3; ++again) {
            with = std::min(with, previewTime());
        }
        Controller(w).Script().Load({DecodeName("40|Composer le nom avec [Modèle={name}_{n:000001}]")});
        without = std::min(without, previewTime());
    }
    state.counters["without_ms"] = without;
    state.counters["with_first_ms"] = first;
    state.counters["with_again_ms"] = with;
    state.counters["ratio"] = without > 0 ? with / without : 0;
    state.counters["lines"] = Control<TExampleList>(w, "MemoExemple")->LineCount();
    Controller(w).listFolder({}, QStringLiteral("*.*"));
}
BENCHMARK(BM_PreviewWithDateTaken)->Unit(benchmark::kMillisecond)->Iterations(5);

using quorvel::bench::Spawn;

// The same run by quorvel-cli, timed the same way: the whole program.
void BM_QuorvelCliRun(benchmark::State& state) {
    const std::string script = StateFolder() + "/prefix.script";
    if (FILE* f = std::fopen(script.c_str(), "wb")) {
        std::fputs(kPrefixLine, f);
        std::fclose(f);
    }
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<RunFolder>();
        state.ResumeTiming();
        const int status = Spawn({QUORVEL_CLI, "run", script, folder->path()});
        state.PauseTiming();
        if (status != 0 || !folder->AllRenamed()) {
            state.SkipWithError("quorvel-cli failed or is missing");
        }
        folder.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_QuorvelCliRun)->Apply(RunRounds);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    (void)StateFolder();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gWindow.reset();
    if (!ProgramFolder().empty()) {
        std::filesystem::remove_all(ProgramFolder());
    }
    if (OwnFolder()) {
        std::filesystem::remove_all(BigFolder());
    }
    if (!gTree.empty()) {
        std::filesystem::remove_all(gTree);
    }
    if (!gPhotos.empty()) {
        std::filesystem::remove_all(gPhotos);
    }
    if (!StateFolder().empty()) {
        std::filesystem::remove_all(StateFolder());
    }
    return 0;
}
