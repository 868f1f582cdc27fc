// quorvel-cli preview and run: the script applied to the files of a folder.
#pragma once

#include "cli/command_line.hpp"

namespace quorvel::cli {

// preview [-0] SCRIPT FOLDER [FILTER]: old name, TAB, new name for every file.
int Preview(const Invocation& inv);

// run [--dry-run] [-0] SCRIPT FOLDER [FILTER]: renames every file, without asking.
int RunFolder(const Invocation& inv);

} // namespace quorvel::cli
