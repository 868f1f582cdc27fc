// Records, the list that owns them, their order, the size text and the filter.
#include "files/listing/filter.hpp"
#include "files/listing/list_error.hpp"
#include "files/listing/project_file.hpp"
#include "files/listing/size_text.hpp"
#include "support/text.hpp"

#include <clocale>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace quorvel {
namespace {

using test::T;
using test::U8;

std::vector<std::string> Names(const TListFiles& list) {
    std::vector<std::string> names;
    for (const TProjectFile& file : list) {
        names.push_back(U8(file.Name()));
    }
    return names;
}

TEST(JoinPathTest, PutsExactlyOneSlashBetween) {
    const std::pair<std::pair<const char*, const char*>, const char*> cases[] = {
        {{"/img", "a.jpg"}, "/img/a.jpg"},  {{"/", "a.jpg"}, "/a.jpg"}, {{"/img/", "a.jpg"}, "/img/a.jpg"},
        {{"/img", "/a.jpg"}, "/img/a.jpg"}, {{"", "*.*"}, "*.*"},       {{"/img", ""}, "/img/"},
    };
    for (const auto& [in, out] : cases) {
        EXPECT_EQ(U8(JoinPath(T(in.first), T(in.second))), out) << in.first << " + " << in.second;
    }
}

TEST(AddFoundFileTest, SplitsAtTheLastSlashAndSharesTheFolder) {
    TListFiles list;
    const std::int64_t big = (std::int64_t{5} << 30) + 7; // 5 Gio: needs 64 bits
    AddFoundFile(list, T("/home/léa/photos/IMG 1.JPG"), big, 1700000000);
    AddFoundFile(list, T("/home/léa/photos/b"), 0, -1);
    AddFoundFile(list, T("bare.txt"), 1, 2);
    AddFoundFile(list, T("/root.txt"), 1, 2);
    ASSERT_EQ(list.Count(), 4u);
    const TProjectFile& first = list.Items(0);
    EXPECT_EQ(U8(first.Name()), "IMG 1.JPG");
    EXPECT_EQ(U8(first.Folder()), "/home/léa/photos/");
    EXPECT_EQ(U8(first.FullPath()), "/home/léa/photos/IMG 1.JPG");
    EXPECT_EQ(first.Size(), big);
    EXPECT_EQ(first.Date(), 1700000000);
    EXPECT_EQ(first.SharedFolder(), list.Items(1).SharedFolder()) << "one folder text per folder";
    EXPECT_EQ(U8(list.Items(2).Folder()), "");
    EXPECT_EQ(U8(list.Items(2).Name()), "bare.txt");
    EXPECT_EQ(U8(list.Items(3).Folder()), "/");
    EXPECT_THROW(static_cast<void>(list.Items(4)), ListIndexError);

    const TProjectFile copy = list.Items(0);
    list.Clear();
    EXPECT_EQ(list.Count(), 0u);
    EXPECT_EQ(U8(copy.FullPath()), "/home/léa/photos/IMG 1.JPG") << "a copy outlives the list";
}

TEST(CompareFileNamesTest, FoldsOnlyAToZ) {
    struct Case {
        const char* a;
        const char* b;
        int sign;
    };
    const Case cases[] = {
        {"A.txt", "b.txt", -1}, {"b.txt", "_x.txt", -1},   {"Z", "_", -1},
        {"abc", "ABC", 0},      {"ab", "abc", -1},         {"z", "é", -1},
        {"É", "é", -1},         {"x\xFF", "x\xC3\xA9", 1}, {"", "", 0},
    };
    for (const Case& c : cases) {
        const int r = CompareFileNames(std::string_view(c.a), std::string_view(c.b));
        EXPECT_EQ((r > 0) - (r < 0), c.sign) << c.a << " vs " << c.b;
        const int back = CompareFileNames(std::string_view(c.b), std::string_view(c.a));
        EXPECT_EQ((back > 0) - (back < 0), -c.sign) << c.b << " vs " << c.a;
    }
}

TEST(ListFilesTest, SortsByNameWithAFixedOrderForEqualNames) {
    TListFiles list;
    for (const char* name : {"b.txt", "_x.txt", "a.txt", "A.txt", "é.txt", "A.txt"}) {
        AddFoundFile(list, T(std::string("/d/") + name), 0, 0);
    }
    list.Sort();
    EXPECT_EQ(Names(list), (std::vector<std::string>{"A.txt", "A.txt", "a.txt", "b.txt", "_x.txt", "é.txt"}));
}

TEST(SizeTextTest, FollowsTheUnitsAndRounding) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "0 o"},
        {1023, "1023 o"},
        {1024, "1 Ko"},
        {1536, "1,5 Ko"},
        {10240, "10 Ko"},
        {123456789, "117,74 Mo"},
        {1048575, "1024 Ko"},
        {1048576, "1 Mo"},
        {1100000, "1,05 Mo"},
        {std::int64_t{3} << 30, "3 Go"},
        {(std::int64_t{5} << 30) + (std::int64_t{1} << 29), "5,5 Go"},
        {std::int64_t{1} << 40, "1024 Go"},
        {std::numeric_limits<std::int64_t>::max(), "8589900000 Go"},
        {-5, "-5 o"},
    };
    for (const auto& [size, text] : cases) {
        EXPECT_EQ(U8(SizeText(size, U',')), text) << size;
    }
    EXPECT_EQ(U8(SizeText(1536, U'.')), "1.5 Ko");
    EXPECT_EQ(U8(SizeText(1536, U'\u066B')), "1\u066B5 Ko");
}

TEST(SizeTextTest, TakesTheSeparatorOfTheLocale) {
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "C"), nullptr);
    EXPECT_EQ(U8(SizeText(1536)), "1.5 Ko");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(FilterPatternTest, MatchesWithTheProgramsOwnRules) {
    struct Case {
        const char* name;
        const char* pattern;
        bool matches;
    };
    const Case cases[] = {
        {"photo.JPG", "*.jpg", true},
        {"photo.jpeg", "*.jpg", false},
        {"README", "*.*", true},
        {"a.b.c", "*.*", true},
        {".hidden", "*.*", true},
        {"abc", "a*.*", true},
        {"a.x", "*x.*", true},
        {"photo", "photo.*", true},
        {"photos", "photo.*", false},
        {"a", "?", true},
        {"ab", "?", false},
        {"IMG_0001.jpeg", "img_????.JP*", true},
        {"[a].txt", "[a].txt", true},
        {"a.txt", "[a].txt", false},
        {"x.png", " *.png", false},
        {" x.png", " *.png", true},
        {"ÉTÉ.txt", "été.TXT", true},
        {"ŒUVRE", "œuvre", true},
        {"Ÿ", "ÿ", true},
        {"ЖУК", "жук", true},
        {"ΣΟΦΙΑ", "σοφια", true},
        {"\xFF.bin", "?.bin", true},
        {"\xFF.bin", "\xDF.bin", false},
        {"abc", "", false},
        {"a*b", "a\\*b", false},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", "*a*a*a*a*a*a*a*a*a*a*c", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchesFilterPattern(T(c.name), T(c.pattern)), c.matches) << c.name << " ~ " << c.pattern;
    }
}

} // namespace
} // namespace quorvel
