#include "batch/exit_status.hpp"
#include "batch/output.hpp"
#include "cli/cli.hpp"
#include "files/run/run_messages.hpp"

#include <malloc.h>
#include <new>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    // A run of a big folder goes through large tables that live for one stage each:
    // the memory a stage frees is kept for the next one, rather than given back to
    // the system and taken again page by page (each page a fault).
    ::mallopt(M_MMAP_THRESHOLD, 32 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 512 << 20);
    try {
        // English or French as the locale says; the catalogues beside the program.
        if (const std::string catalogues = quorvel::CatalogueFolderOfProgram(); !catalogues.empty()) {
            quorvel::BindMessageCatalogues(catalogues);
        }
        quorvel::SetMessageLanguage(quorvel::MessageLanguageOfEnvironment());
        const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
        return quorvel::cli::Run(args);
    } catch (const std::bad_alloc&) {
        quorvel::Say(quorvel::Tr("quorvel-cli : mémoire insuffisante"));
        return quorvel::kNoMemory;
    }
}
