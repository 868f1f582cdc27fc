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

} // namespace
} // namespace quorvel
