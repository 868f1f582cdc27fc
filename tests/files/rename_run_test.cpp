// Preview and run on real folders. Every file holds its own original name as
// content, so that after each run the test sees which file went where and that
// none was overwritten.
#include "engine/errors.hpp"
#include "files/rename_run.hpp"
#include "methods.hpp"
#include "support/temp_dir.hpp"
#include "support/text.hpp"
#include "support/unprivileged.hpp"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {
namespace {

using test::T;
using test::U8;

// Folder content: name -> bytes, sub-folders shown as "<dir>".
using Content = std::map<std::string, std::string>;

class RenameRunTest : public ::testing::Test {
protected:
    void Files(std::initializer_list<std::string> names) {
        for (const std::string& name : names) {
            WriteFile(folder_ + "/" + name, name);
        }
    }
    Content Folder() const {
        Content content;
        for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
            const std::string name = entry.path().filename().string();
            content[name] = entry.is_directory() ? "<dir>" : test::ReadFileBytes(entry.path().string());
        }
        return content;
    }
    // Scans the folder and selects every row, as the unattended run does.
    void Scan(const char* filter = "*.*") {
        files_.Clear();
        rows_.Clear();
        ScanFolder(DecodeName(folder_), &files_, T(filter));
        files_.Sort();
        rows_.SetSorted(true);
        for (std::size_t row = 1; row <= files_.Count(); ++row) {
            rows_.Add(static_cast<std::int32_t>(row));
        }
    }
    static ScriptLines Script(std::initializer_list<const char*> lines) {
        ScriptLines script;
        for (const char* line : lines) {
            script.push_back(T(line));
        }
        return script;
    }
    std::vector<std::string> Preview(const ScriptLines& script) {
        counter_ = 99;
        std::vector<std::string> names;
        for (const Text& name : PreviewNames(script, files_, rows_, counter_)) {
            names.push_back(U8(name));
        }
        return names;
    }
    RunReport Run(const ScriptLines& script, RenameMethod method = RenameMethod::Atomic) {
        counter_ = 99;
        return RunRenames(script, files_, rows_, counter_, method);
    }

    static void WriteFile(const std::string& path, const std::string& bytes) {
        std::ofstream out(path, std::ios::binary);
        out << bytes;
        ASSERT_TRUE(out.good()) << path;
    }

    test::TempDir dir_;
    std::string folder_ = dir_.path(); // the folder the helpers work on
    TListFiles files_;
    TListInt rows_;
    NumberCounter counter_ = 0;
};

const ScriptLines kAddPrefix = {U"14|Ajouter [Chaine=x_] au d\u00E9but"};
const ScriptLines kNumberAtEnd = {U"20|Ajouter [Num\u00E9ro=1] \u00E0 la fin"};
const ScriptLines kAllToOneName = {U"11|Remplacer tout par [Chaine=same.txt]"};

TEST_F(RenameRunTest, PreviewNumbersInRowOrderAndRestartsEveryTime) {
    Files({"b.txt", "a.txt", "c.txt"});
    Scan();
    const std::vector<std::string> expected = {"a1.txt", "b2.txt", "c3.txt"};
    EXPECT_EQ(Preview(kNumberAtEnd), expected);
    EXPECT_EQ(Preview(kNumberAtEnd), expected);
    EXPECT_EQ(counter_, 3);

    rows_.Clear();
    rows_.Add(3);
    rows_.Add(1);
    EXPECT_EQ(Preview(kNumberAtEnd), (std::vector<std::string>{"a1.txt", "c2.txt"}))
        << "row order, not click order";
    rows_.Clear();
    EXPECT_EQ(Preview(kNumberAtEnd), std::vector<std::string>{});
    EXPECT_EQ(Folder(), (Content{{"a.txt", "a.txt"}, {"b.txt", "b.txt"}, {"c.txt", "c.txt"}}));
}

TEST_F(RenameRunTest, RowsWithoutARecordAreSkippedAndTheFirstFileStartsTheNumbering) {
    Files({"a.txt", "b.txt"});
    Scan();
    rows_.Add(0);
    rows_.Add(-7);
    rows_.Add(5);
    EXPECT_EQ(Preview({U"20|Ajouter [Num\u00E9ro=10] \u00E0 la fin"}),
              (std::vector<std::string>{"a10.txt", "b11.txt"}));
    EXPECT_THROW(Preview({U"20|Ajouter [Num\u00E9ro=x] \u00E0 la fin"}), ConversionError);
}

TEST_F(RenameRunTest, AnInvalidScriptGivesNothingAndTouchesNothing) {
    Files({"a.txt"});
    Scan();
    for (const ScriptLines& script : {ScriptLines{}, Script({"14|Ajouter [Chaine] au début"})}) {
        EXPECT_EQ(Preview(script), std::vector<std::string>{});
        EXPECT_EQ(counter_, 0);
        const RunReport report = Run(script);
        EXPECT_TRUE(report.entries.empty());
        EXPECT_EQ(report.renamed + report.unchanged + report.failed, 0u);
    }
    EXPECT_EQ(Folder(), (Content{{"a.txt", "a.txt"}}));
}

TEST_F(RenameRunTest, ReportsEveryFileWithItsOutcome) {
    Files({"a.txt", "b.txt", "x_b.txt", "keep"});
    Scan("*.txt");
    const RunReport report = Run(kAddPrefix);
    ASSERT_EQ(report.entries.size(), 3u);
    const auto& e = report.entries;
    EXPECT_EQ(U8(e[0].oldName), "a.txt");
    EXPECT_EQ(U8(e[0].newName), "x_a.txt");
    EXPECT_EQ(e[0].outcome, RenameOutcome::Renamed);
    EXPECT_EQ(e[0].reason, "");
    EXPECT_EQ(e[1].outcome, RenameOutcome::Failed) << "x_b.txt is still there when b.txt comes";
    EXPECT_EQ(e[1].reason, "un fichier de ce nom existe déjà");
    EXPECT_EQ(U8(e[2].newName), "x_x_b.txt");
    EXPECT_EQ(e[2].outcome, RenameOutcome::Renamed);
    EXPECT_EQ(report.renamed, 2u);
    EXPECT_EQ(report.unchanged, 0u);
    EXPECT_EQ(report.failed, 1u);
    EXPECT_EQ(
        Folder(),
        (Content{{"x_a.txt", "a.txt"}, {"b.txt", "b.txt"}, {"x_x_b.txt", "x_b.txt"}, {"keep", "keep"}}));

    // The records still hold the old names: a second run does not find a.txt, renames
    // b.txt, whose target is free now, and then finds x_x_b.txt in the way.
    const RunReport again = Run(kAddPrefix);
    EXPECT_EQ(again.entries[0].reason, "le fichier n'existe plus");
    EXPECT_EQ(again.entries[1].outcome, RenameOutcome::Renamed);
    EXPECT_EQ(again.entries[2].reason, "un fichier de ce nom existe déjà");
    EXPECT_EQ(
        Folder(),
        (Content{{"x_a.txt", "a.txt"}, {"x_b.txt", "b.txt"}, {"x_x_b.txt", "x_b.txt"}, {"keep", "keep"}}));
}

// The failure paths of a run, each with the folder it must leave behind, by every
// method of renaming.
class RenameFailureTest : public RenameRunTest, public ::testing::WithParamInterface<RenameMethod> {};

TEST_P(RenameFailureTest, NothingIsEverOverwrittenOrMovedAway) {
    struct Case {
        const char* what;
        std::initializer_list<std::string> files;
        ScriptLines script;
        std::vector<RenameOutcome> outcomes;
        std::vector<std::string> reasons;
        Content after;
    };
    using enum RenameOutcome;
    const Case cases[] = {
        {"target exists",
         {"a", "x_a"},
         kAddPrefix,
         {Failed, Renamed},
         {"un fichier de ce nom existe déjà", ""},
         {{"a", "a"}, {"x_x_a", "x_a"}}},
        {"two files mapped to one name",
         {"a", "b", "c"},
         kAllToOneName,
         {Renamed, Failed, Failed},
         {"", "un fichier de ce nom existe déjà", "un fichier de ce nom existe déjà"},
         {{"same.txt", "a"}, {"b", "b"}, {"c", "c"}}},
        {"empty name",
         {"ab", "abcdef"},
         Script({"1|Supprimer les [n=3] premiers caractères"}),
         {Failed, Renamed},
         {"le nouveau nom est vide", ""},
         {{"ab", "ab"}, {"def", "abcdef"}}},
        {"dot names",
         {"a", "b"},
         Script({"11|Remplacer tout par [Chaine=..]"}),
         {Failed, Failed},
         {"le nom « .. » est réservé", "le nom « .. » est réservé"},
         {{"a", "a"}, {"b", "b"}}},
        {"slash in a name",
         {"a.txt"},
         Script({"14|Ajouter [Chaine=sub/] au début"}),
         {Failed},
         {"le nouveau nom contient « / »"},
         {{"a.txt", "a.txt"}, {"sub", "<dir>"}}},
        {"unchanged name",
         {"a.txt"},
         Script({"10|Remplacer [Chaine1=zzz] par [Chaine2=yyy]"}),
         {Unchanged},
         {""},
         {{"a.txt", "a.txt"}}},
        {"a folder in the way",
         {"a"},
         Script({"11|Remplacer tout par [Chaine=sub]"}),
         {Failed},
         {"un fichier de ce nom existe déjà"},
         {{"a", "a"}, {"sub", "<dir>"}}},
        {"name too long",
         {std::string(253, 'n'), std::string(254, 'm')},
         kAddPrefix,
         {Failed, Renamed},
         {"nom trop long", ""},
         {{std::string(254, 'm'), std::string(254, 'm')},
          {"x_" + std::string(253, 'n'), std::string(253, 'n')}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        folder_ = dir_ / ("case" + std::to_string(++n));
        std::filesystem::create_directory(folder_);
        std::filesystem::create_directory(folder_ + "/sub");
        Files(c.files);
        Scan();
        const RunReport report = Run(c.script, GetParam());
        ASSERT_EQ(report.entries.size(), c.outcomes.size());
        for (std::size_t i = 0; i < c.outcomes.size(); ++i) {
            EXPECT_EQ(report.entries[i].outcome, c.outcomes[i]) << i;
            EXPECT_EQ(report.entries[i].reason, c.reasons[i]) << i;
        }
        Content after = c.after;
        after.emplace("sub", "<dir>");
        EXPECT_EQ(Folder(), after);
        EXPECT_TRUE(std::filesystem::is_empty(folder_ + "/sub"));
    }
}

TEST_P(RenameFailureTest, AFileThatVanishedSinceTheScanFailsAlone) {
    Files({"a", "b", "c"});
    Scan();
    std::filesystem::remove(dir_ / "b");
    dir_.Write("x_c", "new file");
    const RunReport report = Run(kAddPrefix, GetParam());
    ASSERT_EQ(report.entries.size(), 3u);
    EXPECT_EQ(report.entries[0].outcome, RenameOutcome::Renamed);
    EXPECT_EQ(report.entries[1].reason, "le fichier n'existe plus");
    EXPECT_EQ(report.entries[2].reason, "un fichier de ce nom existe déjà");
    EXPECT_EQ(Folder(), (Content{{"x_a", "a"}, {"c", "c"}, {"x_c", "new file"}}));
}

INSTANTIATE_TEST_SUITE_P(Methods, RenameFailureTest, test::kAllMethods, test::MethodName);

TEST_F(RenameRunTest, EngineErrorsComeBeforeAnyRename) {
    Files({"a.txt", "b.txt", "c_a.txt"});
    Scan();
    EXPECT_THROW(Run({U"19|Ajouter [Num\u00E9ro=1x] au d\u00E9but"}), ConversionError);
    // Only the last file grows beyond any limit: still nothing may be renamed.
    ScriptLines doubling = {U"14|Ajouter [Chaine=z] au d\u00E9but"};
    for (int i = 0; i < 17; ++i) {
        doubling.push_back(U"10|Remplacer [Chaine1=c] par [Chaine2=cc]");
    }
    EXPECT_THROW(Run(doubling), NameTooLongError);
    EXPECT_EQ(Folder(), (Content{{"a.txt", "a.txt"}, {"b.txt", "b.txt"}, {"c_a.txt", "c_a.txt"}}));
}

TEST_F(RenameRunTest, UnusualNamesRenameByteForByte) {
    const std::initializer_list<std::string> names = {"line\nbreak", "tab\there",     "-rf",
                                                      "--",          "\xE9t\xE9\xFF", std::string(253, 'l')};
    Files(names);
    Scan();
    const RunReport report = Run(kAddPrefix);
    EXPECT_EQ(report.renamed, names.size());
    Content expected;
    for (const std::string& name : names) {
        expected["x_" + name] = name;
    }
    EXPECT_EQ(Folder(), expected);
}

TEST_F(RenameRunTest, APlanForeseesWhatTheRunDoesAndTouchesNothing) {
    Files({"a", "b", "c", "x_a", "zz"});
    Scan();
    std::filesystem::remove(dir_ / "c");
    const ScriptLines script =
        Script({"14|Ajouter [Chaine=x_] au début", "10|Remplacer [Chaine1=x_zz] par [Chaine2=zz]"});
    const Content before = Folder();
    const RunReport plan = PlanRenames(script, files_, rows_, counter_);
    EXPECT_EQ(Folder(), before);
    const RunReport run = Run(script);
    ASSERT_EQ(plan.entries.size(), run.entries.size());
    for (std::size_t i = 0; i < run.entries.size(); ++i) {
        EXPECT_EQ(plan.entries[i].newName, run.entries[i].newName);
        EXPECT_EQ(plan.entries[i].outcome, run.entries[i].outcome) << i;
        EXPECT_EQ(plan.entries[i].reason, run.entries[i].reason) << i;
    }
    EXPECT_EQ(run.renamed, 2u);
    EXPECT_EQ(run.unchanged, 1u);
    EXPECT_EQ(run.failed, 2u);
}

TEST_F(RenameRunTest, AReadOnlyFolderRefusesEveryRename) {
    Files({"a", "b"});
    Scan();
    // Root is not bound by permissions: the run happens in a child without them. The
    // folder can be read and entered by everybody, written by nobody.
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0555), 0);
    const auto status = test::InChildWithoutRoot([&] {
        const RunReport report = Run(kAddPrefix);
        const bool ok = report.failed == 2 && report.entries[0].reason == "accès refusé" &&
                        report.entries[1].reason == "accès refusé";
        return ok ? 0 : 1;
    });
    ::chmod(dir_.path().c_str(), 0700);
    if (!status) {
        GTEST_SKIP() << "cannot run without root rights here";
    }
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(Folder(), (Content{{"a", "a"}, {"b", "b"}}));
}

} // namespace
} // namespace quorvel
