// libFuzzer entry point for the script reader and the engine.
#include "fuzz/script_target.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorvel::fuzz::RunScriptTarget(data, size);
    return 0;
}
