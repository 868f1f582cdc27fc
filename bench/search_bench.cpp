// "Rechercher" on a million names, whole programs: quorvel-cli apply with
//   37|Rechercher [Motif=(\d+)] et remplacer par [Chaine2=<$1>]
// against perl -pe 's/(\d+)/<$1>/g' on the same names. Before timing, both outputs
// are compared and must be equal. Bound: quorvel-cli in at most half perl's time.
//
//   build/release/bench/search_bench --benchmark_min_time=3
#include "spawn.hpp"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kNames = 1'000'000;

std::string BenchBase() {
    const char* dir = std::getenv("QUORVEL_BENCH_DIR");
    return dir != nullptr ? dir : "/tmp";
}

// The names, the script and the outputs, in files removed at the end.
class Inputs {
public:
    Inputs()
        : names_(BenchBase() + "/quorvel-search-names"), script_(BenchBase() + "/quorvel-search.script"),
          out_(BenchBase() + "/quorvel-search-out"), perlOut_(BenchBase() + "/quorvel-search-perl-out") {
        std::ofstream names(names_, std::ios::binary);
        // Names as cameras, phones and scanners give them: digits in one to three runs.
        for (int i = 0; i < kNames; ++i) {
            switch (i % 4) {
            case 0:
                names << "IMG_" << i << ".JPG\n";
                break;
            case 1:
                names << "PXL_2024" << (i % 10000) << "_" << i << ".jpg\n";
                break;
            case 2:
                names << "Scan " << i % 97 << " page " << i << " v2.pdf\n";
                break;
            default:
                names << "holiday-photo-" << i << ".png\n";
                break;
            }
        }
        std::ofstream(script_, std::ios::binary)
            << "37|Rechercher [Motif=(\\d+)] et remplacer par [Chaine2=<$1>]\r\n";
    }
    Inputs(const Inputs&) = delete;
    Inputs& operator=(const Inputs&) = delete;
    ~Inputs() {
        for (const std::string* path : {&names_, &script_, &out_, &perlOut_}) {
            std::remove(path->c_str());
        }
    }

    // The shell command that runs `program` on the names into `out`.
    std::vector<std::string> Quorvel(const std::string& out) const {
        return {"/bin/sh", "-c", "exec \"$1\" apply \"$2\" <\"$3\" >\"$4\"", "sh", QUORVEL_CLI, script_,
                names_,    out};
    }
    std::vector<std::string> Perl(const std::string& out) const {
        return {"/bin/sh", "-c", "exec perl -pe 's/(\\d+)/<$1>/g' <\"$1\" >\"$2\"", "sh", names_, out};
    }
    const std::string& out() const { return out_; }
    const std::string& perlOut() const { return perlOut_; }

private:
    std::string names_;
    std::string script_;
    std::string out_;
    std::string perlOut_;
};

const Inputs& TheInputs() {
    static const Inputs inputs;
    return inputs;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

// Whether both programs give the same bytes; checked once.
bool SameOutputs() {
    static const bool same = [] {
        const Inputs& in = TheInputs();
        if (quorvel::bench::Spawn(in.Quorvel(in.out())) != 0 ||
            quorvel::bench::Spawn(in.Perl(in.perlOut())) != 0) {
            return false;
        }
        const std::string ours = Read(in.out());
        return !ours.empty() && ours == Read(in.perlOut());
    }();
    return same;
}

void Run(benchmark::State& state, const std::vector<std::string>& command) {
    if (!SameOutputs()) {
        state.SkipWithError("quorvel-cli and perl disagree, or one of them failed");
        for (auto _ : state) {
        }
        return;
    }
    for (auto _ : state) {
        if (quorvel::bench::Spawn(command) != 0) {
            state.SkipWithError("the program failed");
        }
    }
    state.SetItemsProcessed(state.iterations() * kNames);
}

void BM_QuorvelCliApplySearch(benchmark::State& state) {
    Run(state, TheInputs().Quorvel(TheInputs().out()));
}
BENCHMARK(BM_QuorvelCliApplySearch)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_PerlSearch(benchmark::State& state) {
    Run(state, TheInputs().Perl(TheInputs().perlOut()));
}
BENCHMARK(BM_PerlSearch)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

} // namespace
