// quorvel-cli pairs and edit: renames given name by name rather than made by a
// script, run as `run` runs its own (checks, order, journal, verification).
#pragma once

#include "cli/command_line.hpp"

namespace quorvel::cli {

// pairs [--dry-run] [-0] FOLDER [LIST]: the pairs "OLD<TAB>NEW" of LIST or of
// standard input.
int Pairs(const Invocation& inv);

// edit [-r] FOLDER [FILTER]: the names of the files in the user's editor; each line
// changed is a pair.
int Edit(const Invocation& inv);

} // namespace quorvel::cli
