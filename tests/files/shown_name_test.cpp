// Names in messages: nothing in a name can break a line of a report or make it read
// as something else.
#include "files/shown_name.hpp"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(ShownNameTest, EscapesWhatCouldFakeAReport) {
    const std::pair<std::string, std::string> cases[] = {
        {"photo 01.jpg", "photo 01.jpg"},
        {"été.jpg", "été.jpg"},
        {"a\nb\tc\rd", "a\\nb\\tc\\rd"},
        {std::string("\x01\x1B[31m\x7F", 7), "\\x01\\x1B[31m\\x7F"},
        {"back\\slash", "back\\\\slash"},
        {"\xE9t\xE9\xFF", "\\xE9t\\xE9\\xFF"},
        {"gpj.\u202Eexe", "gpj.\\u202Eexe"},
        {"\u2066x\u2069\u200F\u0085", "\\u2066x\\u2069\\u200F\\u0085"},
    };
    for (const auto& [name, shown] : cases) {
        EXPECT_EQ(ShownName(name), shown);
    }
    EXPECT_EQ(Quoted("a\nb"), "« a\\nb »");
}

} // namespace
} // namespace quorvel
