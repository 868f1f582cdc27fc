// quorvel-cli preview and run: the script applied to the files of a folder, and of
// the folders below it with -r or --depth; every entry named by its path below the
// folder ("sub/b.txt").
#pragma once

#include "cli/command_line.hpp"

namespace quorvel::cli {

// preview [OPTIONS] SCRIPT FOLDER [FILTER]: old name, TAB, new name for every file.
int Preview(const Invocation& inv);

// run [--dry-run] [OPTIONS] SCRIPT FOLDER [FILTER]: renames every file, without asking.
int RunFolder(const Invocation& inv);

} // namespace quorvel::cli
