// Keys of names that a file system ignoring case would take for one, and the
// detection of such folders.
#include "engine/unique_fd.hpp"
#include "files/tables/name_fold.hpp"
#include "support/temp_dir.hpp"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace quorvel {
namespace {

TEST(NameFoldTest, NamesThatLookEqualShareAKeyAndOthersDoNot) {
    const std::vector<std::pair<std::string, std::string>> same = {
        {"IMG_0001.JPG", "img_0001.jpg"},
        {"e\u0301te\u0301.txt", "\u00E9t\u00E9.TXT"}, // decomposed and precomposed
        {"Stra\u00DFe", "STRASSE"},                   // full folding: one letter to two
        {"\u01C5", "\u01C6"},                         // title case, lower case
        {"\u01C4", "\u01C6"},
        {"\u00C9T\u00C9", "\u00E9t\u00E9"},
        // The folded "ss" composes with the dot below only in the last NFC.
        {"\u1E9E\u0323", "SS\u0323"},
        {std::string(100, 'A') + "\u00C9" + std::string(100, 'B'),
         std::string(100, 'a') + "\u00E9" + std::string(100, 'b')},
    };
    for (const auto& [a, b] : same) {
        EXPECT_EQ(FoldedName(a), FoldedName(b)) << a << " / " << b;
    }
    EXPECT_EQ(FoldedName("IMG_0001.JPG"), "img_0001.jpg");
    EXPECT_EQ(FoldedName("Stra\u00DFe.TXT"), "strasse.txt");

    const std::vector<std::pair<std::string, std::string>> different = {
        {"a.txt", "b.txt"}, {"\u00E9", "e"}, {"i", "\u0131"}, {"\u00E9", "\xE9"}, {"", " "},
    };
    for (const auto& [a, b] : different) {
        EXPECT_NE(FoldedName(a), FoldedName(b)) << a << " / " << b;
    }

    // Bytes that are not UTF-8 (Latin-1, a bare surrogate, an overlong form) stay as
    // they are but for the ASCII letters.
    EXPECT_EQ(FoldedName("\xE9T\xE9"), "\xE9t\xE9");
    EXPECT_EQ(FoldedName("\xC3\x89T\xE9"), "\xC3\x89t\xE9");
    EXPECT_EQ(FoldedName("A\xED\xA0\x80"), "a\xED\xA0\x80");
    EXPECT_EQ(FoldedName("A\xC0\xAF"), "a\xC0\xAF");

    std::string out = "left over from the previous name";
    FoldedNameInto("\u00C9", out);
    EXPECT_EQ(out, "\u00E9");
    FoldedNameInto("X", out);
    EXPECT_EQ(out, "x");
}

TEST(NameFoldTest, AFolderOfThisMachineTellsCaseApart) {
    const test::TempDir dir;
    const UniqueFd fd(::open(dir.path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    ASSERT_TRUE(fd.Valid());
    EXPECT_FALSE(FolderIgnoresCase(fd.Get()));
    EXPECT_FALSE(FolderIgnoresCase(-1));
}

} // namespace
} // namespace quorvel
