#include "batch/exit_status.hpp"
#include "batch/output.hpp"
#include "cli/cli.hpp"
#include "files/run_messages.hpp"

#include <new>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
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
