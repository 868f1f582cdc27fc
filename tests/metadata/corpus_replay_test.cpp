// Replays every input of the corpus of the metadata fuzz target, so that inputs
// that once broke the readers keep being checked.
#include "fuzz/metadata_target.hpp"
#include "support/temp_dir.hpp"

#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(MetadataFuzzCorpus, EveryInputRunsCleanly) {
    const test::TempDir dir;
    std::size_t count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(QUORVEL_METADATA_CORPUS_DIR)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        const std::string bytes = test::ReadFileBytes(entry.path().string());
        SCOPED_TRACE(entry.path().filename().string());
        fuzz::RunMetadataTarget(dir.path(), reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                bytes.size());
        ++count;
    }
    EXPECT_GT(count, 0U);
}

} // namespace
} // namespace quorvel
