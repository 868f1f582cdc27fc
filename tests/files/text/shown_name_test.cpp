// Names in messages: nothing in a name can break a line of a report, make it read
// as something else, or hide from the person who reads it.
#include "files/text/shown_name.hpp"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

TEST(ShownNameTest, EscapesWhatCouldFakeAReport) {
    const std::pair<std::string, std::string> cases[] = {
        {"photo 01.jpg", "photo 01.jpg"},
        {"été.jpg", "été.jpg"},
        {"a -> b", "a -> b"},
        {"a\nb\tc\rd", "a\\nb\\tc\\rd"},
        {std::string("\x01\x1B[31m\x7F", 7), "\\x01\\x1B[31m\\x7F"},
        {std::string("nul\0byte", 8), "nul\\x00byte"},
        {"back\\slash", "back\\\\slash"},
        {"\xE9t\xE9\xFF", "\\xE9t\\xE9\\xFF"},
        // UTF-8 of a surrogate is not UTF-8: three bytes.
        {"\xED\xA0\x80", "\\xED\\xA0\\x80"},
        {"gpj.\u202Eexe", "gpj.\\u202Eexe"},
        {"\u2066x\u2069\u200F\u0085", "\\u2066x\\u2069\\u200F\\u0085"},
        // What a terminal takes for a line break, or shows as nothing at all.
        {"line\u2028sep", "line\\u2028sep"},
        {"para\u2029sep", "para\\u2029sep"},
        {"zero\u200Bwidth", "zero\\u200Bwidth"},
        {"\uFEFFbom", "\\uFEFFbom"},
        {"soft\u00ADhyphen", "soft\\u00ADhyphen"},
        {"word\u2060joiner", "word\\u2060joiner"},
        {"arabic\u061Cmark", "arabic\\u061Cmark"},
        // A format character past the first plane: eight digits, never read on.
        {"tag\U000E0041A", "tag\\U000E0041A"},
        // The escapes themselves, typed into a name, stay apart from real ones.
        {"\\u2028", "\\\\u2028"},
        {"\\xFF\xFF", "\\\\xFF\\xFF"},
        // Visible characters, spaces of every width and private ones stay as they are.
        {"日本 😀 \u00A0\u3000\uE000", "日本 😀 \u00A0\u3000\uE000"},
        {"", ""},
    };
    for (const auto& [name, shown] : cases) {
        EXPECT_EQ(ShownName(name), shown) << name;
    }
}

TEST(ShownNameTest, QuotedNamesKeepTheLayoutOfTheMessage) {
    EXPECT_EQ(Quoted("a\nb"), "« a\\nb »");
    EXPECT_EQ(Quoted("a -> b"), "« a -> b »");
    EXPECT_EQ(Quoted("x\u2028y\u200B\uFEFF\u202E\xFF\\"), "« x\\u2028y\\u200B\\uFEFF\\u202E\\xFF\\\\ »");
    // An empty name still shows, so that the fields of the message stay in place.
    EXPECT_EQ(Quoted(""), "«  »");
    // A name cannot close its quotes early; the opening mark is harmless.
    EXPECT_EQ(Quoted("a » -> « b"), "« a \\u00BB -> « b »");
    EXPECT_EQ(Quoted("»»"), "« \\u00BB\\u00BB »");
    EXPECT_EQ(Quoted("« titre ».txt"), "« « titre \\u00BB.txt »");
}

} // namespace
} // namespace quorvel
