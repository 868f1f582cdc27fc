#include "batch/exit_status.hpp"
#include "batch/output.hpp"
#include "cli/cli.hpp"

#include <new>
#include <string_view>
#include <vector>

int main(int argc, char** argv) {
    try {
        const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
        return quorvel::cli::Run(args);
    } catch (const std::bad_alloc&) {
        quorvel::Say("quorvel-cli : mémoire insuffisante");
        return quorvel::kNoMemory;
    }
}
