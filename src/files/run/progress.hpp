// How far a run or an undo has come, told to whoever started it, who may stop it.
#pragma once

#include <cstddef>
#include <functional>

namespace quorvel {

// Told after each rename (a cycle counts once, when it is whole) with the steps
// done so far and the steps in all; returns false to stop there. The renames not
// reached are left as they are, and the journal records the run as far as it went,
// so that what was done can be taken back.
using ProgressHook = std::function<bool(std::size_t done, std::size_t total)>;

} // namespace quorvel
