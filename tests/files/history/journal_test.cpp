// The journal of a run on real folders: what it holds, undo and resume after a
// complete run and after a process killed in the middle of its renames.
#include "files/history/recorded_runs.hpp"
#include "files/run/run_fixture.hpp"
#include "files/run/safe_rename.hpp"

#include <csignal>
#include <cstdlib>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel {
namespace {

using test::Content;
using test::kAddPrefix;
using test::kRotate;
using test::kShiftUp;

class JournalTest : public test::RunFixture {
protected:
    TakeBackReport Undo() const { return UndoLastRun(FolderPath(folder_), journals_.path()); }
    TakeBackReport Resume() const { return ResumeLastRun(FolderPath(folder_), journals_.path()); }
    std::vector<RecordedState> States() const {
        std::vector<RecordedState> states;
        for (const RecordedRun& run : History(FolderPath(folder_), journals_.path()).runs) {
            states.push_back(run.state);
        }
        return states;
    }
};

TEST_F(JournalTest, EveryRunIsWrittenDownAndTakenBackNewestFirst) {
    const std::initializer_list<std::string> names = {"1.txt", "2.txt",       "3.txt",      "ab",
                                                      "ba",    "line\nbreak", "\xE9t\xE9 x"};
    Files(names);
    Scan("?.txt");
    const RunReport shift = Run(kShiftUp);
    Scan("??");
    Run(kRotate);
    Scan("l*;\xE9*");
    Run(kAddPrefix);

    ASSERT_EQ(shift.journals.size(), 1u);
    const auto journal = ReadJournal(shift.journals[0]);
    ASSERT_TRUE(journal);
    EXPECT_EQ(journal->folder.path.Bytes(), folder_);
    EXPECT_EQ(journal->selected, 3u);
    ASSERT_EQ(journal->steps.size(), 3u);
    EXPECT_EQ(journal->files[journal->steps[0].file].oldName, "3.txt");
    EXPECT_EQ(journal->DoneSteps(), 3u);
    EXPECT_FALSE(journal->open);
    EXPECT_EQ(States(), (std::vector<RecordedState>(3, RecordedState::Complete)));

    TakeBackReport undo = Undo();
    EXPECT_EQ(undo.status, TakeBackReport::Status::Done);
    EXPECT_EQ(undo.done, 2u) << "the last run first";
    EXPECT_EQ(Undo().done, 2u);
    EXPECT_EQ(Folder(), (Content{{"2.txt", "1.txt"},
                                 {"3.txt", "2.txt"},
                                 {"4.txt", "3.txt"},
                                 {"ab", "ab"},
                                 {"ba", "ba"},
                                 {"line\nbreak", "line\nbreak"},
                                 {"\xE9t\xE9 x", "\xE9t\xE9 x"}}));
    EXPECT_EQ(Undo().done, 3u);
    EXPECT_EQ(Folder(), Itself(names));
    EXPECT_EQ(Undo().status, TakeBackReport::Status::NothingToDo);
    EXPECT_EQ(States(), (std::vector<RecordedState>(3, RecordedState::Undone)));
}

TEST_F(JournalTest, AnUndoNeverReplacesAndRetriesOnlyWhatIsLeft) {
    Files({"a", "b", "c"});
    Scan();
    Run(kAddPrefix);
    // Since the run, someone renamed x_b and made a new "c".
    std::filesystem::rename(dir_ / "x_b", dir_ / "moved");
    dir_.Write("c", "intruder");
    TakeBackReport undo = Undo();
    EXPECT_EQ(undo.status, TakeBackReport::Status::Failures);
    ASSERT_EQ(undo.files.size(), 3u);
    EXPECT_EQ(undo.files[0].outcome, RenameOutcome::Renamed);
    EXPECT_EQ(undo.files[1].reason, "le fichier n'existe plus");
    EXPECT_EQ(undo.files[2].reason, "un fichier de ce nom existe déjà");
    EXPECT_EQ(Folder(), (Content{{"a", "a"}, {"moved", "b"}, {"c", "intruder"}, {"x_c", "c"}}));
    EXPECT_EQ(States(), std::vector<RecordedState>{RecordedState::PartlyUndone});

    std::filesystem::rename(dir_ / "moved", dir_ / "x_b");
    std::filesystem::remove(dir_ / "c");
    undo = Undo();
    EXPECT_EQ(undo.status, TakeBackReport::Status::Done);
    EXPECT_EQ(undo.done, 2u) << "a went back the first time";
    EXPECT_EQ(Folder(), Itself({"a", "b", "c"}));
    EXPECT_EQ(States(), std::vector<RecordedState>{RecordedState::Undone});
}

// A hook that lets `steps` steps go, then asks to stop.
ProgressHook StopAfter(std::size_t steps, std::vector<std::size_t>* told = nullptr) {
    return [steps, told](std::size_t done, std::size_t) {
        if (told != nullptr) {
            told->push_back(done);
        }
        return done < steps;
    };
}

TEST_F(JournalTest, AStoppedRunOrUndoLeavesWhatItDidUndoableAndNoCycleHalfDone) {
    // A shift 1..4 -> 2..5 is four renames, newest name first; "ab"/"ba" a swap.
    Files({"1", "2", "3", "4"});
    Scan();
    RunOptions options = Options();
    std::vector<std::size_t> told;
    options.progress = StopAfter(2, &told);
    counter_ = 0;
    const RunReport run = RunRenames(kShiftUp, files_, selection_, counter_, options);
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(told, (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(run.renamed, 2u);
    EXPECT_EQ(run.unchanged, 2u);
    EXPECT_EQ(run.failed, 0u);
    EXPECT_EQ(run.files[0].reason, "arrêt demandé avant ce fichier");
    EXPECT_EQ(Folder(), (Content{{"1", "1"}, {"2", "2"}, {"4", "3"}, {"5", "4"}}));
    EXPECT_EQ(States(), std::vector<RecordedState>{RecordedState::Complete});
    EXPECT_EQ(Resume().status, TakeBackReport::Status::NothingToDo) << "a stopped run is not resumed";

    // The undo stopped after one step leaves the run to undo; the next one ends it.
    TakeBackReport undo = UndoLastRun(FolderPath(folder_), journals_.path(), StopAfter(1));
    EXPECT_TRUE(undo.stopped);
    EXPECT_EQ(undo.done, 1u);
    EXPECT_EQ(undo.failed, 0u);
    EXPECT_EQ(Folder(), (Content{{"1", "1"}, {"2", "2"}, {"3", "3"}, {"5", "4"}}));
    EXPECT_TRUE(HasRunToUndo(FolderPath(folder_), journals_.path()));
    undo = Undo();
    EXPECT_EQ(undo.done, 1u);
    EXPECT_EQ(Folder(), Itself({"1", "2", "3", "4"}));

    // A swap goes through a temporary name: stopped at once, it is still whole.
    std::filesystem::remove_all(dir_.path());
    std::filesystem::create_directory(dir_.path());
    Files({"ab", "ba"});
    Scan();
    options.progress = StopAfter(1);
    const RunReport swap = RunRenames(kRotate, files_, selection_, counter_, options);
    EXPECT_EQ(swap.renamed, 2u);
    EXPECT_EQ(Folder(), (Content{{"ab", "ba"}, {"ba", "ab"}}));
    undo = UndoLastRun(FolderPath(folder_), journals_.path(), StopAfter(1));
    EXPECT_EQ(undo.done, 2u);
    EXPECT_EQ(Folder(), Itself({"ab", "ba"}));
}

TEST_F(JournalTest, ARunKilledInTheMiddleIsTakenBackOrFinished) {
    // "n100.txt" -> "n101.txt" ...: one chain of 300 renames; and cycles.
    const ScriptLines shift = {U"1|Supprimer les [n=4] premiers caract\u00E8res",
                               U"19|Ajouter [Num\u00E9ro=101] au d\u00E9but",
                               U"14|Ajouter [Chaine=n] au d\u00E9but"};
    struct Case {
        ScriptLines script;
        const char* filter;
        int killAt; // the rename call that does not happen
    };
    const Case cases[] = {{shift, "n*", 150}, {kRotate, "ab;ba", 2}, {kRotate, "abc;bca;cab", 3}};
    int n = 0;
    for (const bool finish : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << (finish ? "resume " : "undo ") << c.filter << " " << c.killAt);
            folder_ = dir_ / ("case" + std::to_string(++n));
            std::filesystem::create_directory(folder_);
            for (int i = 100; i < 400; ++i) {
                Files({"n" + std::to_string(i) + ".txt"});
            }
            Files({"ab", "ba", "abc", "bca", "cab"});
            const Content before = Folder();
            Scan(c.filter);
            ASSERT_TRUE(test::KilledAtRename(c.killAt, [&] { Run(c.script); }));
            EXPECT_NE(Folder(), before);
            ASSERT_EQ(States().back(), RecordedState::Interrupted);
            if (finish) {
                const TakeBackReport resume = Resume();
                EXPECT_EQ(resume.status, TakeBackReport::Status::Done) << resume.error;
                const Content resumed = Folder();
                Undo();
                EXPECT_EQ(Folder(), before);
                Scan(c.filter);
                Run(c.script);
                EXPECT_EQ(resumed, Folder()) << "a resumed run ends where a whole run does";
            } else {
                const TakeBackReport undo = Undo();
                EXPECT_EQ(undo.status, TakeBackReport::Status::Done) << undo.error;
                EXPECT_EQ(Folder(), before);
                EXPECT_EQ(Resume().status, TakeBackReport::Status::NothingToDo);
            }
        }
    }
}

TEST_F(JournalTest, BrokenJournalsAreLeftOut) {
    Files({"a"});
    Scan();
    const RunReport run = Run(kAddPrefix);
    const std::string good = test::ReadFileBytes(run.journals[0]);
    const std::size_t planned = good.find("planned");
    const std::pair<const char*, std::string> broken[] = {
        {"empty", ""},
        {"garbage", "\xFF\xFEquorvel\n\n\n"},
        {"no plan end", good.substr(0, planned)},
        {"a bad escape", good.substr(0, good.find("x_a")) + "\\xZ" + good.substr(good.find("x_a"))},
        {"a step of no file", good.substr(0, planned) + "step 9 M -1\n" + good.substr(planned)},
    };
    for (const auto& [name, bytes] : broken) {
        journals_.Write(std::string("0-") + name + ".journal", bytes);
        EXPECT_FALSE(ReadJournal(journals_ / (std::string("0-") + name + ".journal"))) << name;
    }
    ASSERT_EQ(::mkfifo((journals_ / "1-fifo.journal").c_str(), 0600), 0);
    // A torn last record is left out, the rest is read.
    journals_.Write("2-torn.journal", good + "d 0\nd");
    EXPECT_TRUE(ReadJournal(journals_ / "2-torn.journal"));
    // History reads the head and the summary at the end, not the plan: a plan broken
    // in the middle is found when the run would be taken back.
    EXPECT_EQ(History(FolderPath(folder_), journals_.path()).runs.size(), 4u);
    std::filesystem::remove(journals_ / "2-torn.journal");
    EXPECT_EQ(Undo().status, TakeBackReport::Status::Done);
    EXPECT_EQ(Folder(), Itself({"a"}));
}

TEST_F(JournalTest, TheLastFiftyRunsAreKept) {
    Files({"a"});
    for (int i = 0; i < 52; ++i) {
        Scan();
        ASSERT_EQ(Run(kAddPrefix).renamed, 1u);
    }
    std::string error;
    const auto store = JournalStore::Open(journals_.path(), JournalStore::Use::Read, error);
    ASSERT_TRUE(store) << error;
    EXPECT_EQ(store->Journals().size(), 50u);
}

TEST(JournalFolderTest, FollowsTheStateHome) {
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    const char* state = std::getenv("XDG_STATE_HOME");
    const std::string saved = state != nullptr ? state : "";
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_STATE_HOME", "/var/state", 1);
    EXPECT_EQ(JournalFolder(), "/var/state/quorvel");
    ::setenv("XDG_STATE_HOME", "relative", 1);
    EXPECT_EQ(JournalFolder(), "/home/someone/.local/state/quorvel");
    ::unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(JournalFolder(), "/home/someone/.local/state/quorvel");
    ::setenv("HOME", home.c_str(), 1);
    if (state != nullptr) {
        ::setenv("XDG_STATE_HOME", saved.c_str(), 1);
    }
}

} // namespace
} // namespace quorvel
