// Replays every input of the fuzzing corpus through the script reader and the
// engine, so that inputs that once broke them keep being checked.
#include "fuzz/script_target.hpp"
#include "support/temp_dir.hpp"

#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(FuzzCorpus, EveryInputRunsCleanly) {
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUORVEL_CORPUS_DIR)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string bytes = test::ReadFileBytes(entry.path().string());
        SCOPED_TRACE(entry.path().filename().string());
        fuzz::RunScriptTarget(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++count;
    }
    EXPECT_GT(count, 0U);
}

} // namespace
} // namespace quorvel
