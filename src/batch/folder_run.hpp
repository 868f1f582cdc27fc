// A script run on the files of a folder that match a filter, every file selected,
// without asking: `quorvel-cli run` and `quorvel SCRIPT FOLDER [FILTER]` both come
// here. The plan of a dry run goes to standard output, the report to standard error.
#pragma once

#include <string_view>

namespace quorvel {

struct FolderRunRequest {
    // How problems with the script file are told: quorvel-cli's "Impossible d'ouvrir
    // le fichier ..." (exit 66), or the window program's "Le fichier ... n'existe
    // pas" (exit 2) and "Une erreur est survenue !" before an engine error.
    enum class Voice { Cli, Window } voice = Voice::Cli;
    std::string_view script; // path, as bytes
    std::string_view folder; // as bytes
    std::string_view filter; // as bytes; empty: "*.*"
    bool dryRun = false;
    bool null = false; // the plan of a dry run separated by NUL
};

// Returns an ExitStatus.
int RunScriptOnFolder(const FolderRunRequest& request);

} // namespace quorvel
