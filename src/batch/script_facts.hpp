// The facts a script's templates ask of the files a run without a window works on.
#pragma once

#include "engine/script.hpp"
#include "files/listing/project_file.hpp"
#include "metadata/read_many.hpp"

#include <cstddef>
#include <span>

namespace quorvel {

// The facts of the files of `selection` that the templates of `script` ask for,
// through `cache`, by record (NewNames); none when they ask for none.
std::vector<FileFacts> ReadScriptFacts(const ScriptLines& script, const TListFiles& files,
                                       std::span<const std::size_t> selection, FactsCache& cache);

} // namespace quorvel
