// The facts a script's templates ask of the files a run without a window works on.
#pragma once

#include "engine/script.hpp"
#include "files/listing/project_file.hpp"
#include "metadata/read_many.hpp"

#include <cstddef>
#include <span>

namespace quorvel {

// The facts of every file of `selection` that the templates of `script` ask for, in
// the order of `selection`, through `cache`; empty facts when they ask for none.
FactsOfFiles ReadScriptFacts(const ScriptLines& script, const TListFiles& files,
                             std::span<const std::size_t> selection, FactsCache& cache);

} // namespace quorvel
