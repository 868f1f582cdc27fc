// quorvel-cli preview and run: the script applied to the files of a folder.
#pragma once

#include <span>
#include <string_view>

namespace quorvel::cli {

// preview [-0] SCRIPT FOLDER [FILTER]: old name, TAB, new name for every file.
int Preview(std::span<const std::string_view> args);

// run [--dry-run] [-0] SCRIPT FOLDER [FILTER]: renames every file, without asking.
int RunFolder(std::span<const std::string_view> args);

} // namespace quorvel::cli
