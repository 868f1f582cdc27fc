// quorvel-cli undo, resume and history: the runs kept in the journals.
#pragma once

#include "cli/command_line.hpp"

namespace quorvel::cli {

// undo FOLDER: takes back the last run of FOLDER that is not undone yet.
int Undo(const Invocation& inv);

// resume FOLDER: finishes the last run of FOLDER when it was interrupted.
int Resume(const Invocation& inv);

// history [FOLDER]: one line per recorded run.
int History(const Invocation& inv);

} // namespace quorvel::cli
