// quorvel-cli undo, resume and history: the runs kept in the journals.
#pragma once

#include <span>
#include <string_view>

namespace quorvel::cli {

// undo FOLDER: takes back the last run of FOLDER that is not undone yet.
int Undo(std::span<const std::string_view> args);

// resume FOLDER: finishes the last run of FOLDER when it was interrupted.
int Resume(std::span<const std::string_view> args);

// history [FOLDER]: one line per recorded run.
int History(std::span<const std::string_view> args);

} // namespace quorvel::cli
