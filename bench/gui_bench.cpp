// Timings of the main window on a folder of 100,000 files, offscreen: listing the
// folder (scan, sort, model reset, first paint), Ctrl+A, the silent preview after
// a click with every file selected, scrolling, and redrawing a long script.
#include "browser/file_list_model.hpp"
#include "browser/file_selection.hpp"
#include "editor/example_list.hpp"
#include "editor/script_document.hpp"
#include "engine/codec.hpp"
#include "settings/environment.hpp"
#include "shell/main_window.hpp"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

using namespace quorvel;

constexpr int kFiles = 100'000;

// A folder of 100,000 empty files, made once per run of the program (or the folder
// named by QUORVEL_BENCH_FOLDER, which is left as it is).
bool OwnFolder() {
    return qEnvironmentVariableIsEmpty("QUORVEL_BENCH_FOLDER");
}

const std::string& BigFolder() {
    static const std::string folder = [] {
        if (!OwnFolder()) {
            return qEnvironmentVariable("QUORVEL_BENCH_FOLDER").toStdString();
        }
        char pattern[] = "/tmp/quorvel-gui-bench-XXXXXX";
        std::string path = ::mkdtemp(pattern);
        char name[64];
        for (int i = 0; i < kFiles; ++i) {
            std::snprintf(name, sizeof name, "/IMG_%06d_img.JPG", i);
            ::close(::open((path + name).c_str(), O_CREAT | O_WRONLY, 0644));
        }
        return path;
    }();
    return folder;
}

MainWindow& Window() {
    static const std::string program = [] {
        char pattern[] = "/tmp/quorvel-gui-bench-program-XXXXXX";
        return std::string(::mkdtemp(pattern)) + "/quorvel";
    }();
    static std::unique_ptr<MainWindow> window = [] {
        auto w =
            std::make_unique<MainWindow>(ProgramEnvironment::ForProgramAt(QString::fromStdString(program), {}));
        w->resize(1000, 700);
        w->show();
        (void)QTest::qWaitForWindowExposed(w.get());
        return w;
    }();
    return *window;
}

void ListFolder(MainWindow& w) {
    w.FillFileList(QByteArray::fromStdString(BigFolder()));
    w.StringGridFiles->viewport()->repaint();
}

void BM_ListFolderAndPaint(benchmark::State& state) {
    MainWindow& w = Window();
    for (auto _ : state) {
        ListFolder(w);
    }
    state.counters["files"] = static_cast<double>(w.FileList->Files().Count());
}
BENCHMARK(BM_ListFolderAndPaint)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SelectAll(benchmark::State& state) {
    MainWindow& w = Window();
    ListFolder(w);
    for (auto _ : state) {
        QTest::keyClick(w.StringGridFiles, Qt::Key_A, Qt::ControlModifier);
        w.StringGridFiles->viewport()->repaint();
    }
    state.counters["selected"] = static_cast<double>(w.Selection->Rows().Count());
}
BENCHMARK(BM_SelectAll)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_SilentPreviewOfEveryFile(benchmark::State& state) {
    MainWindow& w = Window();
    ListFolder(w);
    w.Script->Load({DecodeName("1|Supprimer les [n=2] premiers caractères"),
                    DecodeName("10|Remplacer [Chaine1=img] par [Chaine2=photo]"),
                    DecodeName("20|Ajouter [Numéro=0001] à la fin")});
    QTest::keyClick(w.StringGridFiles, Qt::Key_A, Qt::ControlModifier);
    for (auto _ : state) {
        w.Action_VoirExempleExecute(PreviewMode::Silent);
        w.MemoExemple->viewport()->repaint();
    }
    state.counters["lines"] = w.MemoExemple->LineCount();
}
BENCHMARK(BM_SilentPreviewOfEveryFile)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ScrollThroughTheGrid(benchmark::State& state) {
    MainWindow& w = Window();
    ListFolder(w);
    QScrollBar* bar = w.StringGridFiles->verticalScrollBar();
    int step = 0;
    for (auto _ : state) {
        bar->setValue((step++ * 997) % std::max(1, bar->maximum()));
        w.StringGridFiles->viewport()->repaint();
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
        w.Script->Load(script);
    }
}
BENCHMARK(BM_ShowScriptOfAThousandLines)->Unit(benchmark::kMillisecond)->Iterations(10);

// The same line a thousand times: the worst case for the view's formats.
void BM_ShowScriptOfAThousandEqualLines(benchmark::State& state) {
    MainWindow& w = Window();
    const ScriptLines script(1000, DecodeName("3|Supprimer du [nième=2] au [mième=4] caractères"));
    for (auto _ : state) {
        w.Script->Load(script);
    }
}
BENCHMARK(BM_ShowScriptOfAThousandEqualLines)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (OwnFolder()) {
        std::filesystem::remove_all(BigFolder());
    }
    return 0;
}
