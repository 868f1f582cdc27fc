// The preview and the run on real folders, through every stage: the checks before
// the first rename, the order of the renames, the renames and the check after them.
#include "engine/errors.hpp"
#include "files/run/order.hpp"
#include "files/run/preview_renames.hpp"
#include "files/run/validate.hpp"
#include "methods.hpp"
#include "run_fixture.hpp"
#include "support/unprivileged.hpp"

#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {
namespace {

using test::Content;
using test::kAddPrefix;
using test::kRotate;
using test::kShiftUp;
using test::Script;
using test::U8;

const ScriptLines kNumberAtEnd = {U"20|Ajouter [Num\u00E9ro=1] \u00E0 la fin"};
const ScriptLines kAllToOneName = {U"11|Remplacer tout par [Chaine=same.txt]"};

class RenameRunTest : public test::RunFixture {
protected:
    std::vector<std::string> Preview(const ScriptLines& script) {
        counter_ = 99;
        std::vector<std::string> names;
        for (const Text& name : PreviewNames(script, files_, selection_, counter_)) {
            names.push_back(U8(name));
        }
        return names;
    }
};

std::string Temporary(int serial) {
    return ".quorvel-" + std::to_string(::getpid()) + "-" + std::to_string(serial) + ".tmp";
}

TEST_F(RenameRunTest, PreviewNumbersInSelectionOrderAndRestartsEveryTime) {
    Files({"b.txt", "a.txt", "c.txt"});
    Scan();
    const std::vector<std::string> expected = {"a1.txt", "b2.txt", "c3.txt"};
    EXPECT_EQ(Preview(kNumberAtEnd), expected);
    EXPECT_EQ(Preview(kNumberAtEnd), expected);
    EXPECT_EQ(counter_, 3);
    selection_ = {0, 2, 7};
    EXPECT_EQ(Preview(kNumberAtEnd), (std::vector<std::string>{"a1.txt", "c2.txt"})) << "7 is no file";
    EXPECT_THROW(Preview({U"20|Ajouter [Num\u00E9ro=x] \u00E0 la fin"}), ConversionError);
    selection_.clear();
    EXPECT_EQ(Preview(kNumberAtEnd), std::vector<std::string>{});
    EXPECT_EQ(Folder(), Itself({"a.txt", "b.txt", "c.txt"}));
}

TEST_F(RenameRunTest, AnInvalidScriptGivesNothingAndTouchesNothing) {
    Files({"a.txt"});
    Scan();
    for (const ScriptLines& script : {ScriptLines{}, Script({"14|Ajouter [Chaine] au début"})}) {
        EXPECT_EQ(Preview(script), std::vector<std::string>{});
        EXPECT_EQ(counter_, 0);
        const RunReport report = Run(script);
        EXPECT_TRUE(report.files.empty());
        EXPECT_EQ(report.renamed + report.unchanged + report.failed, 0u);
    }
    EXPECT_EQ(Folder(), Itself({"a.txt"}));
}

// Shifts, swaps and cycles: the run produces the names the preview showed, by each
// way of renaming.
class RenameOrderTest : public RenameRunTest, public ::testing::WithParamInterface<test::Method> {
protected:
    test::UsingMethod method_{GetParam()};
};

TEST_P(RenameOrderTest, ShiftsSwapsAndCyclesGiveWhatThePreviewShowed) {
    struct Case {
        const char* what;
        std::initializer_list<std::string> files;
        ScriptLines script;
        std::vector<std::string> steps;
        Content after;
    };
    const Case cases[] = {
        {"a shift up runs from its free end",
         {"1.txt", "2.txt", "3.txt"},
         kShiftUp,
         {"3.txt>4.txt", "2.txt>3.txt", "1.txt>2.txt"},
         {{"2.txt", "1.txt"}, {"3.txt", "2.txt"}, {"4.txt", "3.txt"}}},
        {"a shift down needs no waiting",
         {"2.txt", "3.txt", "4.txt"},
         {U"1|Supprimer les [n=1] premiers caract\u00E8res", U"19|Ajouter [Num\u00E9ro=1] au d\u00E9but"},
         {"2.txt>1.txt", "3.txt>2.txt", "4.txt>3.txt"},
         {{"1.txt", "2.txt"}, {"2.txt", "3.txt"}, {"3.txt", "4.txt"}}},
        {"a swap and a cycle of three go through one temporary name each, a lone file keeps its place",
         {"ab", "abc", "ba", "bca", "cab", "xy"},
         kRotate,
         {"ab>" + Temporary(0), "ba>ab", Temporary(0) + ">ba", "abc>" + Temporary(1), "cab>abc", "bca>cab",
          Temporary(1) + ">bca", "xy>yx"},
         {{"ba", "ab"}, {"ab", "ba"}, {"bca", "abc"}, {"cab", "bca"}, {"abc", "cab"}, {"yx", "xy"}}},
        {"a name taken by a file that moves on is free in time",
         {"a", "b", "x_b"},
         kAddPrefix,
         {"a>x_a", "x_b>x_x_b", "b>x_b"},
         {{"x_a", "a"}, {"x_b", "b"}, {"x_x_b", "x_b"}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        folder_ = dir_ / ("case" + std::to_string(++n));
        std::filesystem::create_directory(folder_);
        Files(c.files);
        Scan();
        const std::vector<std::string> preview = Preview(c.script);
        const RunReport report = Run(c.script);
        EXPECT_EQ(Steps(report), c.steps);
        EXPECT_EQ(report.renamed, c.files.size());
        for (std::size_t i = 0; i < report.files.size(); ++i) {
            EXPECT_EQ(report.files[i].newName, preview[i]);
            EXPECT_EQ(report.files[i].outcome, RenameOutcome::Renamed) << report.files[i].reason;
        }
        EXPECT_EQ(Folder(), c.after) << "no temporary name is left";
        ASSERT_EQ(report.journals.size(), 1u);
    }
}

// The refusals of a run, each with the folder it must leave behind.
TEST_P(RenameOrderTest, NothingIsEverOverwrittenOrMovedAway) {
    struct Case {
        const char* what;
        std::initializer_list<std::string> files;
        const char* filter;
        ScriptLines script;
        std::vector<Verdict> verdicts;
        std::vector<std::string> reasons;
        Content after;
    };
    using enum Verdict;
    const std::string held = "un fichier de ce nom existe déjà";
    const Case cases[] = {
        {"a name held by a file that stays",
         {"a", "x_a"},
         "a",
         kAddPrefix,
         {TargetHeld},
         {held},
         Itself({"a", "x_a"})},
        {"two files mapped to one name",
         {"a", "b", "c"},
         "*.*",
         kAllToOneName,
         {Ready, DuplicateTarget, DuplicateTarget},
         {"", "« a » reçoit déjà ce nom", "« a » reçoit déjà ce nom"},
         {{"same.txt", "a"}, {"b", "b"}, {"c", "c"}}},
        {"a file that matches two patterns is listed and moved once",
         {"a.txt"},
         "*.txt;*.TXT",
         kAddPrefix,
         {Ready},
         {""},
         {{"x_a.txt", "a.txt"}}},
        {"empty name, and a chain that waited for it",
         {"ab", "abcdef", "b"},
         "*.*",
         {U"1|Supprimer les [n=1] premiers caract\u00E8res"},
         {TargetHeld, Ready, BadName},
         {held, "", "le nouveau nom est vide"},
         {{"ab", "ab"}, {"bcdef", "abcdef"}, {"b", "b"}}},
        {"dot names",
         {"a", "b"},
         "*.*",
         Script({"11|Remplacer tout par [Chaine=..]"}),
         {BadName, BadName},
         {"le nom « .. » est réservé", "le nom « .. » est réservé"},
         Itself({"a", "b"})},
        {"slash in a name",
         {"a.txt"},
         "*.*",
         Script({"14|Ajouter [Chaine=sub/] au début"}),
         {BadName},
         {"le nouveau nom contient « / »"},
         Itself({"a.txt"})},
        {"unchanged name",
         {"a.txt"},
         "*.*",
         Script({"10|Remplacer [Chaine1=zzz] par [Chaine2=yyy]"}),
         {Unchanged},
         {""},
         Itself({"a.txt"})},
        {"a folder in the way",
         {"a"},
         "*.*",
         Script({"11|Remplacer tout par [Chaine=sub]"}),
         {TargetHeld},
         {held},
         Itself({"a"})},
        {"a name longer than 255 bytes",
         {std::string(253, 'n'), std::string(254, 'm')},
         "*.*",
         kAddPrefix,
         {BadName, Ready},
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
        Scan(c.filter);
        const RunReport report = Run(c.script);
        ASSERT_EQ(report.files.size(), c.verdicts.size());
        for (std::size_t i = 0; i < c.verdicts.size(); ++i) {
            EXPECT_EQ(report.files[i].verdict, c.verdicts[i]) << i;
            EXPECT_EQ(report.files[i].reason, c.reasons[i]) << i;
        }
        Content after = c.after;
        after.emplace("sub", "<dir>");
        EXPECT_EQ(Folder(), after);
        EXPECT_TRUE(std::filesystem::is_empty(folder_ + "/sub"));
    }
}

TEST_P(RenameOrderTest, AFileSelectedTwiceMovesOnce) {
    Files({"a.txt", "b.txt"});
    Scan();
    selection_ = {0, 1, 0};
    const RunReport report = Run(kAddPrefix);
    ASSERT_EQ(report.files.size(), 3u);
    EXPECT_EQ(report.files[0].verdict, Verdict::Ready);
    EXPECT_EQ(report.files[1].verdict, Verdict::Ready);
    EXPECT_EQ(report.files[2].verdict, Verdict::ListedTwice);
    EXPECT_EQ(report.files[2].reason, "ce fichier figure déjà plus haut dans la sélection");
    EXPECT_EQ(report.renamed, 2u);
    EXPECT_EQ(Folder(), (Content{{"x_a.txt", "a.txt"}, {"x_b.txt", "b.txt"}}));
}

TEST_P(RenameOrderTest, AFileThatVanishedSinceTheScanFailsAlone) {
    Files({"a", "b", "c"});
    Scan();
    std::filesystem::remove(dir_ / "b");
    dir_.Write("x_c", "new file");
    const RunReport report = Run(kAddPrefix);
    ASSERT_EQ(report.files.size(), 3u);
    EXPECT_EQ(report.files[0].outcome, RenameOutcome::Renamed);
    EXPECT_EQ(report.files[1].reason, "le fichier n'existe plus");
    EXPECT_EQ(report.files[2].reason, "un fichier de ce nom existe déjà");
    EXPECT_EQ(Folder(), (Content{{"x_a", "a"}, {"c", "c"}, {"x_c", "new file"}}));
}

INSTANTIATE_TEST_SUITE_P(Methods, RenameOrderTest, test::kAllMethods, test::MethodName);

// A renameat2 that fails for one name, or plays a race on it, then renames as usual.
std::string g_troubled;
int g_trouble = 0; // errno to fail with; 0: replace the entry by a folder first
int TroubledRenameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
                      unsigned int flags) {
    if (g_troubled == oldpath) {
        if (g_trouble != 0) {
            errno = g_trouble;
            return -1;
        }
        ::unlinkat(olddirfd, oldpath, 0);
        ::mkdirat(olddirfd, oldpath, 0700);
    }
    return ::renameat2(olddirfd, oldpath, newdirfd, newpath, flags);
}

class TroubledRename {
public:
    TroubledRename(std::string name, int error) : previous_(SetRenameat2ForTests(&TroubledRenameat2)) {
        g_troubled = std::move(name);
        g_trouble = error;
    }
    TroubledRename(const TroubledRename&) = delete;
    TroubledRename& operator=(const TroubledRename&) = delete;
    ~TroubledRename() {
        SetRenameat2ForTests(previous_);
        g_troubled.clear();
    }

private:
    Renameat2Function previous_;
};

TEST_F(RenameRunTest, AFailureKeepsTheNamesThatWaitedForItAndUndoesItsCycle) {
    Files({"1.txt", "2.txt", "3.txt"});
    Scan();
    {
        const TroubledRename trouble("3.txt", EIO);
        const RunReport report = Run(kShiftUp);
        EXPECT_EQ(report.failed, 3u);
        EXPECT_EQ(report.files[2].reason, "erreur d'entrée-sortie");
        EXPECT_EQ(report.files[1].reason, "« 3.txt » n'a pas pu libérer ce nom");
        EXPECT_EQ(report.files[0].reason, "« 2.txt » n'a pas pu libérer ce nom");
    }
    EXPECT_EQ(Folder(), Itself({"1.txt", "2.txt", "3.txt"}));

    folder_ = dir_ / "cycle";
    std::filesystem::create_directory(folder_);
    Files({"ab", "ba", "xy"});
    Scan();
    const TroubledRename trouble("ba", EIO);
    const RunReport report = Run(kRotate);
    EXPECT_EQ(report.files[0].reason, "renommage en cycle interrompu par « ba » : erreur d'entrée-sortie");
    EXPECT_EQ(report.files[1].reason, "erreur d'entrée-sortie");
    EXPECT_EQ(report.files[2].outcome, RenameOutcome::Renamed);
    EXPECT_EQ(Folder(), (Content{{"ab", "ab"}, {"ba", "ba"}, {"yx", "xy"}}))
        << "the file that stepped aside is back";
}

TEST_F(RenameRunTest, AFileReplacedByAFolderIsNeverRenamedAsAFile) {
    Files({"a", "b", "c"});
    Scan();
    // Before the run: the check sees the folder.
    std::filesystem::remove(dir_ / "a");
    std::filesystem::create_directory(dir_ / "a");
    // During the run, between the listing and the rename: the check after sees it.
    const TroubledRename race("b", 0);
    const RunReport report = Run(kAddPrefix);
    EXPECT_EQ(report.files[0].verdict, Verdict::SourceMissing);
    EXPECT_EQ(report.files[0].reason, "c'est maintenant un dossier");
    EXPECT_EQ(report.files[1].outcome, RenameOutcome::Failed);
    EXPECT_EQ(report.files[1].reason, "vérification : c'est un dossier, il reprend son nom");
    EXPECT_EQ(report.files[2].outcome, RenameOutcome::Renamed);
    EXPECT_EQ(Folder(), (Content{{"a", "<dir>"}, {"b", "<dir>"}, {"x_c", "c"}}));
}

TEST_F(RenameRunTest, TheRunRenamesInTheFolderThatWasScanned) {
    for (const char* name : {"scanned", "other"}) {
        std::filesystem::create_directory(dir_ / name);
        folder_ = dir_ / name;
        Files({"a", "b"});
    }
    std::filesystem::create_directory_symlink(dir_ / "scanned", dir_ / "link");
    folder_ = dir_ / "link";
    Scan();
    std::filesystem::remove(dir_ / "link");
    std::filesystem::create_directory_symlink(dir_ / "other", dir_ / "link");
    EXPECT_EQ(Run(kAddPrefix).renamed, 2u);
    EXPECT_EQ(test::FolderContent(dir_ / "scanned"), (Content{{"x_a", "a"}, {"x_b", "b"}}));
    EXPECT_EQ(test::FolderContent(dir_ / "other"), Itself({"a", "b"}));
}

TEST_F(RenameRunTest, EngineErrors) {
    Files({"a", "c", "d"});
    Scan();
    EXPECT_THROW(Run({U"19|Ajouter [Num\u00E9ro=1x] au d\u00E9but"}), ConversionError);
    EXPECT_EQ(Folder(), Itself({"a", "c", "d"})) << "a conversion error comes before any rename";
    // A name the engine cannot make fails alone, and the numbering goes on as if it
    // had been made.
    ScriptLines doubling = {U"19|Ajouter [Num\u00E9ro=1] au d\u00E9but"};
    for (int i = 0; i < 17; ++i) {
        doubling.push_back(U"10|Remplacer [Chaine1=c] par [Chaine2=cc]");
    }
    const RunReport report = Run(doubling);
    EXPECT_EQ(report.files[1].verdict, Verdict::EngineFailure);
    EXPECT_EQ(report.files[1].reason, "Le nouveau nom est trop long");
    EXPECT_EQ(Folder(), (Content{{"1a", "a"}, {"c", "c"}, {"3d", "d"}}));
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

TEST_F(RenameRunTest, APlanIsWhatTheRunDoesAndTouchesNothing) {
    Files({"a", "ab", "b", "ba", "c", "x_a", "zz"});
    Scan();
    std::filesystem::remove(dir_ / "c");
    const ScriptLines script = {U"24|D\u00E9placer les [n=1] premiers caract\u00E8res \u00E0 la fin",
                                U"14|Ajouter [Chaine=x_] au d\u00E9but"};
    const Content before = Folder();
    const RunReport plan = Plan(script);
    EXPECT_EQ(Folder(), before);
    EXPECT_TRUE(plan.journals.empty());
    EXPECT_TRUE(std::filesystem::is_empty(journals_.path()));
    const RunReport run = Run(script);
    EXPECT_EQ(Steps(plan), Steps(run));
    ASSERT_EQ(plan.files.size(), run.files.size());
    for (std::size_t i = 0; i < run.files.size(); ++i) {
        EXPECT_EQ(plan.files[i].outcome, run.files[i].outcome) << i;
        EXPECT_EQ(plan.files[i].reason, run.files[i].reason) << i;
    }
    EXPECT_EQ(run.renamed, 6u);
    EXPECT_EQ(run.failed, 1u);
}

// The preview checks the names against the folder as it was listed, with the same
// verdicts and reasons as the plan; the run reads the folder again, so a name taken
// since the listing is refused all the same.
TEST_F(RenameRunTest, ThePreviewChecksAsListedAndTheRunAsItIsNow) {
    Files({"a", "ab", "b", "ba", "c", "x_a", "zz"});
    std::filesystem::create_directory(dir_ / "x_c");
    Scan();
    const ScriptLines script = {U"24|D\u00E9placer les [n=1] premiers caract\u00E8res \u00E0 la fin",
                                U"14|Ajouter [Chaine=x_] au d\u00E9but"};
    const RunReport plan = Plan(script);
    ASSERT_EQ(plan.files[4].verdict, Verdict::TargetHeld); // "c" -> "x_c", a folder that stays
    counter_ = 99;
    const std::vector<RunFile> preview = PreviewRenames(script, files_, selection_, counter_);
    ASSERT_EQ(preview.size(), plan.files.size());
    for (std::size_t i = 0; i < preview.size(); ++i) {
        EXPECT_EQ(preview[i].newName, plan.files[i].newName) << i;
        EXPECT_EQ(preview[i].verdict, plan.files[i].verdict) << i;
        EXPECT_EQ(preview[i].reason, plan.files[i].reason) << i;
    }
    Files({"x_zz"});
    counter_ = 99;
    EXPECT_EQ(PreviewRenames(script, files_, selection_, counter_).back().verdict, Verdict::Ready);
    const RunReport run = Run(script);
    EXPECT_EQ(run.files.back().verdict, Verdict::TargetHeld);
    EXPECT_EQ(Folder()["x_zz"], "x_zz");
    EXPECT_EQ(Folder()["zz"], "zz");
}

TEST_F(RenameRunTest, AReadOnlyFolderRefusesEveryRename) {
    Files({"a", "b"});
    Scan();
    // Root is not bound by permissions: the run happens in a child without them. The
    // folder can be read and entered by everybody, written by nobody.
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0555), 0);
    // The journals go to a folder of the user the child becomes, as they must.
    const std::string journals = journals_ / "child";
    ASSERT_EQ(::mkdir(journals.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(journals_.path().c_str(), 0755), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(journals.c_str(), 65534, 65534), 0);
    }
    const auto status = test::InChildWithoutRoot([&] {
        RunOptions options = Options();
        options.journalFolder = journals;
        counter_ = 99;
        const RunReport report = RunRenames(kAddPrefix, files_, selection_, counter_, options);
        const bool ok = report.failed == 2 && report.files[0].reason == "accès refusé" &&
                        report.files[1].reason == "accès refusé";
        return ok ? 0 : 1;
    });
    ::chmod(dir_.path().c_str(), 0700);
    if (!status) {
        GTEST_SKIP() << "cannot run without root rights here";
    }
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(Folder(), Itself({"a", "b"}));
}

// Names that only case or composition tell apart: warnings on a folder that tells
// them apart, conflicts on one that does not.
// Files of two folders in one list: each folder checked and renamed on its own, the
// steps naming the files of the whole run.
TEST_F(RenameRunTest, FilesOfTwoFoldersRunFolderByFolder) {
    Files({"1.txt", "2.txt"});
    test::TempDir other;
    std::ofstream(other.path() + "/1.txt") << "1.txt";
    Scan();
    ASSERT_EQ(ScanFolder(FolderPath(other.path()), files_, U"*.*"), 0);
    files_.Sort(); // the two "1.txt" first, then "2.txt": the folders interleave
    selection_ = {0, 1, 2};
    const RunReport report = Run(kShiftUp);
    EXPECT_EQ(report.renamed, 3u);
    // Numbered in selection order: the first "1.txt" becomes "2.txt", the other "3.txt".
    const bool oursFirst = U8(files_.Items(0).Folder()) == folder_ + "/";
    EXPECT_EQ(Folder(), (Content{{oursFirst ? "2.txt" : "3.txt", "1.txt"}, {"4.txt", "2.txt"}}));
    EXPECT_EQ(test::FolderContent(other.path()), (Content{{oursFirst ? "3.txt" : "2.txt", "1.txt"}}));
    std::vector<std::string> steps = Steps(report); // naming the files of the whole run
    std::sort(steps.begin(), steps.end());
    EXPECT_EQ(steps, (std::vector<std::string>{"1.txt>2.txt", "1.txt>3.txt", "2.txt>4.txt"}));
}

// The checks look for a file at the entry it had when it was found, and by its name
// when that entry is another file by now.
TEST(ValidateTest, FindsAFileWhereverItsEntryIsNow) {
    FolderListing listing;
    for (const char* name : {"a", "b", "c"}) {
        listing.Add(name, DT_REG, static_cast<std::uint64_t>(*name));
    }
    std::vector<RunFile> run;
    const std::tuple<const char*, std::uint32_t> files[] = {{"a", 2}, {"b", 1}, {"c", 99}, {"gone", 0}};
    for (const auto& [name, entry] : files) {
        run.push_back({});
        run.back().oldName = name;
        run.back().newName = std::string(name) + "2";
        run.back().entry = entry;
    }
    Validate(run, listing, false);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(run[i].verdict, Verdict::Ready) << i;
        EXPECT_EQ(run[i].inode, static_cast<std::uint64_t>(run[i].oldName[0])) << i;
        EXPECT_EQ(run[i].entry, i);
    }
    EXPECT_EQ(run[3].verdict, Verdict::SourceMissing);
}

TEST(LookalikeNamesTest, AreWarningsOrConflictsByTheFolder) {
    FolderListing listing;
    for (const char* name : {"a", "b", "c", "d", "photo.jpg", "e.txt"}) {
        listing.Add(name, DT_REG, 0);
    }
    const auto files = [] {
        std::vector<RunFile> run;
        const std::pair<const char*, const char*> renames[] = {
            {"a", "Photo.JPG"}, {"b", "caf\u00E9"}, {"c", "cafe\u0301"}, {"d", "D"}, {"e.txt", "E.TXT"}};
        for (const auto& [from, to] : renames) {
            run.push_back({});
            run.back().oldName = from;
            run.back().newName = to;
        }
        return run;
    };
    std::vector<RunFile> sensitive = files();
    Validate(sensitive, listing, false);
    EXPECT_EQ(sensitive[0].verdict, Verdict::Ready);
    EXPECT_EQ(sensitive[0].note, "ne diffère de « photo.jpg » que par la casse ou les accents");
    EXPECT_EQ(sensitive[1].note, "ne diffère de « cafe\u0301 » que par la casse ou les accents");
    EXPECT_EQ(sensitive[2].note, "ne diffère de « caf\u00E9 » que par la casse ou les accents");
    EXPECT_EQ(sensitive[3].note, "") << "its own old name moves away";

    std::vector<RunFile> insensitive = files();
    Validate(insensitive, listing, true);
    EXPECT_EQ(insensitive[0].verdict, Verdict::TargetHeld);
    EXPECT_EQ(insensitive[0].reason,
              "« photo.jpg » existe déjà, et ce dossier ne distingue pas les majuscules ni les accents");
    EXPECT_EQ(insensitive[1].verdict, Verdict::Ready);
    EXPECT_EQ(insensitive[2].verdict, Verdict::DuplicateTarget);
    // A change of case alone is a cycle of one: through a temporary name.
    EXPECT_EQ(insensitive[3].verdict, Verdict::Ready);
    const std::vector<Step> steps = Order(insensitive, [](std::string_view) { return false; });
    ASSERT_EQ(steps.size(), 5u);
    EXPECT_EQ(steps[1].kind, StepKind::ToTemporary);
    EXPECT_EQ(steps[2].kind, StepKind::FromTemporary);
    EXPECT_EQ(insensitive[steps[1].file].oldName, "d");

    // A folder said to ignore case that holds two names of one key does not.
    listing.Add("PHOTO.JPG", DT_REG, 0);
    std::vector<RunFile> mixed = files();
    Validate(mixed, listing, true);
    EXPECT_EQ(mixed[1].verdict, Verdict::Ready);
    EXPECT_EQ(mixed[2].verdict, Verdict::Ready) << "compared as bytes";
}

} // namespace
} // namespace quorvel
