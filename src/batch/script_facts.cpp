#include "batch/script_facts.hpp"

#include "engine/compiled_script.hpp"
#include "files/run/selection_facts.hpp"

namespace quorvel {

std::vector<FileFacts> ReadScriptFacts(const ScriptLines& script, const TListFiles& files,
                                       std::span<const std::size_t> selection, FactsCache& cache) {
    const FactSet wanted = NeedsOf(script).facts;
    if (wanted.Empty()) {
        return {};
    }
    return FactsByRecord(ReadFactsOfSelection(wanted, files, selection, cache), selection, files.Count());
}

} // namespace quorvel
