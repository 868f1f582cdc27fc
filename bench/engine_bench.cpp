// Throughput of the rename engine on a five-line script typical of photo folders:
// read line by line for every name, and compiled once for all names.
#include "engine/apply.hpp"
#include "engine/codec.hpp"
#include "engine/compiled_script.hpp"
#include "engine/primitives.hpp"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace quorvel;

ScriptLines PhotoScript() {
    return {
        DecodeName("1|Supprimer les [n=2] premiers caractères"),
        DecodeName("10|Remplacer [Chaine1=img] par [Chaine2=photo]"),
        DecodeName("14|Ajouter [Chaine=new_] au début"),
        DecodeName("20|Ajouter [Numéro=0001] à la fin"),
        DecodeName("12|Remplacer l'extention par [Extension=jpeg]"),
    };
}

std::vector<Text> PhotoNames(std::size_t count) {
    std::vector<Text> names;
    names.reserve(count);
    char buffer[32];
    for (std::size_t i = 0; i < count; ++i) {
        std::snprintf(buffer, sizeof buffer, "IMG_%06zu_img.JPG", i);
        names.push_back(DecodeName(buffer));
    }
    return names;
}

// One million names per iteration, as one preview of a large folder.
void BM_ApplyScriptMillionNames(benchmark::State& state) {
    const ScriptLines script = PhotoScript();
    const std::vector<Text> names = PhotoNames(1'000'000);
    for (auto _ : state) {
        NumberCounter counter = 0;
        for (std::size_t i = 0; i < names.size(); ++i) {
            Text result = ApplyScript(script, names[i], i == 0, counter);
            benchmark::DoNotOptimize(result);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size()));
}
BENCHMARK(BM_ApplyScriptMillionNames)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The same script read once for the whole selection, as previews and runs do.
void BM_CompiledScriptMillionNames(benchmark::State& state) {
    const CompiledScript script(PhotoScript());
    const std::vector<Text> names = PhotoNames(1'000'000);
    Text result;
    for (auto _ : state) {
        NumberCounter counter = 0;
        for (std::size_t i = 0; i < names.size(); ++i) {
            script.ApplyInto(names[i], i == 0, counter, result);
            benchmark::DoNotOptimize(result);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size()));
}
BENCHMARK(BM_CompiledScriptMillionNames)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The compiled script including the decoding of names from bytes and the encoding
// back, as quorvel-cli apply does.
void BM_CompiledScriptFromBytes(benchmark::State& state) {
    const CompiledScript script(PhotoScript());
    std::vector<std::string> names;
    for (const Text& name : PhotoNames(100'000)) {
        names.push_back(EncodeName(name));
    }
    Text decoded;
    Text result;
    std::string encoded;
    for (auto _ : state) {
        NumberCounter counter = 0;
        for (std::size_t i = 0; i < names.size(); ++i) {
            decoded.clear();
            DecodeNameInto(names[i], decoded);
            script.ApplyInto(decoded, i == 0, counter, result);
            encoded.clear();
            EncodeNameInto(result, encoded);
            benchmark::DoNotOptimize(encoded);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size()));
}
BENCHMARK(BM_CompiledScriptFromBytes)->Unit(benchmark::kMillisecond);

void BM_FindNthLongRepetitiveText(benchmark::State& state) {
    const Text hay(static_cast<std::size_t>(state.range(0)), U'a');
    const Text needle(1000, U'a');
    for (auto _ : state) {
        benchmark::DoNotOptimize(FindNth(hay, needle, Length(hay) / 2));
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FindNthLongRepetitiveText)->Range(1 << 12, 1 << 20)->Complexity(benchmark::oN);

} // namespace
