#include "engine/codec.hpp"
#include "engine/errors.hpp"
#include "files/run/new_names.hpp"

#include <gtest/gtest.h>

namespace quorvel {
namespace {

// A selection large enough to be named on two threads gets the names, the failures
// and the numbering of the line-by-line engine applied one file after the other,
// a file in the second half failing alone.
TEST(NewNamesTest, ALargeSelectionIsNamedAsOneFileAfterTheOther) {
    TListFiles files;
    constexpr std::size_t kFiles = 60001;
    for (std::size_t i = 0; i < kFiles; ++i) {
        const std::string name = i == 45000 ? std::string(40000, 'a') : "n" + std::to_string(i) + ".txt";
        AddFoundFile(files, DecodeName("/f/" + name), -1, -1);
    }
    std::vector<std::size_t> selection(kFiles);
    for (std::size_t i = 0; i < kFiles; ++i) {
        selection[i] = kFiles - 1 - i; // not in list order
    }
    selection.push_back(kFiles + 3); // no file: skipped
    const ScriptLines script = {U"20|Ajouter [Num\u00E9ro=0098] \u00E0 la fin",
                                U"10|Remplacer [Chaine1=a] par [Chaine2=aa]"};
    NumberCounter counter = 7;
    const std::vector<RunFile> run = NewNames(script, files, selection, counter);
    ASSERT_EQ(run.size(), kFiles);
    NumberCounter expected = 0;
    std::size_t failures = 0;
    for (std::size_t k = 0; k < kFiles; ++k) {
        const RunFile& f = run[k];
        ASSERT_EQ(f.index, selection[k]);
        const NumberCounter before = expected;
        try {
            const Text name = ApplyScript(script, files.Items(f.index).Name(), k == 0, expected);
            ASSERT_EQ(f.newName, EncodeName(name)) << k;
            ASSERT_EQ(f.verdict, Verdict::Ready);
        } catch (const NameTooLongError&) {
            expected = before;
            AdvanceNumbering(script, k == 0, expected);
            ++failures;
            EXPECT_EQ(f.verdict, Verdict::EngineFailure);
        }
    }
    EXPECT_EQ(failures, 1u);
    EXPECT_EQ(counter, expected);
    EXPECT_THROW(NewNames({U"20|Ajouter [Num\u00E9ro=x] \u00E0 la fin"}, files, selection, counter),
                 ConversionError);
}

// Each file is told its folder's name and its places: in the selection, and among
// the selected files of its folder. A file without a value fails alone, with its
// reason; a template that cannot be read stops everything.
TEST(NewNamesTest, TemplatesAreToldEachFilesFolderAndPlaces) {
    TListFiles files;
    for (const char* path :
         {"/p/Alpha/a1.jpg", "/p/Beta/b1.jpg", "/p/Alpha/a2.jpg", "/p/Beta/b2.jpg", "/c.jpg"}) {
        AddFoundFile(files, DecodeName(path), -1, -1);
    }
    const std::vector<std::size_t> selection = {0, 1, 2, 3, 4};
    NumberCounter counter = 0;
    const std::vector<RunFile> run =
        NewNames({U"40|Composer le nom avec [Mod\u00E8le={folder,name}_{n:01:1:folder}_{n:0:10}]"}, files,
                 selection, counter);
    ASSERT_EQ(run.size(), 5u);
    std::vector<std::string> names;
    for (const RunFile& file : run) {
        names.push_back(file.newName);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha_01_0.jpg", "Beta_01_10.jpg", "Alpha_02_20.jpg",
                                               "Beta_02_30.jpg", "c_01_40.jpg"}));

    const std::vector<RunFile> dated = NewNames(
        {U"41|Composer [Mod\u00E8le={taken}_] au d\u00E9but", U"20|Ajouter [Num\u00E9ro=1] \u00E0 la fin"},
        files, selection, counter);
    ASSERT_EQ(dated.size(), 5u);
    for (const RunFile& file : dated) {
        EXPECT_EQ(file.verdict, Verdict::ValueMissing);
        EXPECT_EQ(file.reason.str(), "pas de date de prise de vue");
    }
    EXPECT_EQ(counter, 5) << "the numbering goes on as if every name had been made";

    // Each file is told its own facts, in the order of the selection; the one that
    // has none fails alone and the numbering does not skip.
    std::vector<FileFacts> facts(selection.size());
    for (std::size_t k : {0u, 1u, 3u, 4u}) {
        LocalTime taken;
        taken.year = 2024;
        taken.month = 7;
        taken.day = static_cast<int>(k) + 10;
        facts[k].taken = Sourced<LocalTime>{taken, "DateTimeOriginal"};
    }
    const std::vector<RunFile> told = NewNames(
        {U"41|Composer [Mod\u00E8le={taken:%d}_] au d\u00E9but", U"20|Ajouter [Num\u00E9ro=1] \u00E0 la fin"},
        files, selection, counter, facts);
    ASSERT_EQ(told.size(), 5u);
    EXPECT_EQ(told[0].newName, "10_a11.jpg");
    EXPECT_EQ(told[1].newName, "11_b12.jpg");
    EXPECT_EQ(told[2].verdict, Verdict::ValueMissing);
    EXPECT_EQ(told[3].newName, "13_b24.jpg");
    EXPECT_EQ(told[4].newName, "14_c5.jpg");
    EXPECT_THROW(NewNames({U"40|Composer le nom avec [Mod\u00E8le={x}]"}, files, selection, counter),
                 InvalidTemplateError);
}

} // namespace
} // namespace quorvel
