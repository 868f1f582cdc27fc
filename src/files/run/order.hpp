// Stage of a run: the order of the renames.
//
// Contract: returns the steps that rename every ready file (Verdict::Ready), so that
// no step needs a name that is still held when the preview's names are free of
// conflicts. A file whose new name is another file's old name moves after it: a chain
// runs from its free end (1->2, 2->3, 3->4 runs 3->4, 2->3, 1->2). A cycle (ab <-> ba)
// goes through one temporary name: its first file moves aside, the others follow one
// another, and it takes its new name last; a lone file that only changes case on a
// folder that ignores case is a cycle of one. Chains and files that wait for nothing
// keep selection order, by their first file. `isTaken` tells which names the folder
// holds, so that temporary names are free. Touches nothing.
#pragma once

#include "files/run/run_file.hpp"

#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace quorvel {

std::vector<Step> Order(std::span<RunFile> files, const std::function<bool(std::string_view)>& isTaken);

} // namespace quorvel
