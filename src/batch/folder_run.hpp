// A script run on the files of a folder (and of the folders below it, when asked)
// that match a filter, every file selected, without asking: `quorvel-cli run` and
// `quorvel SCRIPT FOLDER [FILTER]` both come here. The plan of a dry run goes to standard output, the report
// to standard error.
#pragma once

#include "batch/load_script.hpp"
#include "batch/whole_folder.hpp"
#include "files/listing/folder_path.hpp"
#include "files/run/file_order.hpp"

#include <string_view>

namespace quorvel {

struct FolderRunRequest {
    using Voice = ScriptVoice;
    Voice voice = Voice::Cli;
    std::string_view script; // path, as bytes
    FolderPath folder;
    FolderScope scope;       // the folder alone, files only, unless asked
    FileOrder order;         // of the files, and so of their numbering
    std::string_view filter; // as bytes; empty: "*.*"
    bool dryRun = false;
    bool null = false; // the plan of a dry run separated by NUL
};

// Returns an ExitStatus.
int RunScriptOnFolder(const FolderRunRequest& request);

} // namespace quorvel
