// Runs over a tree of folders on real trees: files and folders renamed in one run
// and one journal, the deepest folders first, a folder swapped for a symbolic link
// during the run, a run killed in the middle, and undo after a renamed folder was
// moved away. The whole tree is compared, names and contents.
#include "files/history/recorded_runs.hpp"
#include "files/run/run_fixture.hpp"
#include "files/run/run_messages.hpp"
#include "files/run/safe_rename.hpp"

#include <csignal>
#include <cstdlib>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace quorvel {
namespace {

using test::Content;
using test::kAddPrefix;

class TreeRunTest : public test::RunFixture {
protected:
    void SetUp() override {
        for (const char* folder : {"a", "a/b", "a/b/c", "d"}) {
            std::filesystem::create_directory(dir_ / folder);
        }
        for (const char* file : {"1.txt", "a/2.txt", "a/3.txt", "a/b/4.txt", "a/b/c/5.txt", "d/6.txt"}) {
            dir_.Write(file, file);
        }
    }

    // Every entry below the folder: path -> content, "<dir>" for a folder.
    Content Tree() const {
        Content tree;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_)) {
            const std::string path = entry.path().string().substr(folder_.size() + 1);
            tree[path] = entry.is_directory() ? "<dir>" : test::ReadFileBytes(entry.path().string());
        }
        return tree;
    }

    void ScanTree(TreeEntries entries = TreeEntries::FilesAndFolders, const char* filter = "*") {
        files_.Clear();
        TreeScan scan;
        scan.depth = 0;
        scan.entries = entries;
        ASSERT_EQ(quorvel::ScanTree(FolderPath(folder_), files_, test::T(filter), scan).error, 0);
        selection_.resize(files_.Count());
        std::iota(selection_.begin(), selection_.end(), std::size_t{0});
    }

    // Ten more folders of eight files each, "m0/f0.txt" to "m9/f7.txt".
    void ManyFolders() const {
        for (int m = 0; m < 10; ++m) {
            const std::string folder = "m" + std::to_string(m);
            std::filesystem::create_directory(dir_ / folder);
            for (int f = 0; f < 8; ++f) {
                dir_.Write(folder + "/f" + std::to_string(f) + ".txt", folder + std::to_string(f));
            }
        }
    }

    TakeBackReport Undo() const { return UndoLastRun(FolderPath(folder_), journals_.path()); }
    TakeBackReport Resume() const { return ResumeLastRun(FolderPath(folder_), journals_.path()); }
};

TEST_F(TreeRunTest, FilesAndFoldersAtEveryDepthInOneRunAndOneJournal) {
    const Content before = Tree();
    ScanTree();
    const RunReport plan = Plan(kAddPrefix);
    EXPECT_EQ(plan.renamed, 10u);
    EXPECT_EQ(Tree(), before) << "a dry run touches nothing";
    const RunReport run = Run(kAddPrefix);
    EXPECT_EQ(run.renamed, 10u);
    EXPECT_EQ(run.failed, 0u);
    ASSERT_EQ(run.journals.size(), 1u);
    EXPECT_EQ(Tree(), (Content{{"x_1.txt", "1.txt"},
                               {"x_a", "<dir>"},
                               {"x_a/x_2.txt", "a/2.txt"},
                               {"x_a/x_3.txt", "a/3.txt"},
                               {"x_a/x_b", "<dir>"},
                               {"x_a/x_b/x_4.txt", "a/b/4.txt"},
                               {"x_a/x_b/x_c", "<dir>"},
                               {"x_a/x_b/x_c/x_5.txt", "a/b/c/5.txt"},
                               {"x_d", "<dir>"},
                               {"x_d/x_6.txt", "d/6.txt"}}));
    const auto journal = ReadJournal(run.journals[0]);
    ASSERT_TRUE(journal);
    EXPECT_EQ(journal->version, 3);
    EXPECT_EQ(journal->places.size(), 4u) << "a, a/b, a/b/c and d";
    // Every file first, in the order of the tree, then the folders, the deepest
    // first: nothing is renamed under a folder renamed before.
    std::vector<std::string> order;
    for (const Step& step : journal->steps) {
        order.push_back(journal->files[step.file].oldName);
    }
    ASSERT_EQ(order.size(), 10u);
    EXPECT_EQ(std::vector<std::string>(order.begin(), order.begin() + 6),
              (std::vector<std::string>{"1.txt", "2.txt", "3.txt", "4.txt", "5.txt", "6.txt"}));
    EXPECT_EQ(order[6], "c");
    EXPECT_EQ(order[7], "b");
    EXPECT_EQ((std::set<std::string>{order[8], order[9]}), (std::set<std::string>{"a", "d"}));

    const TakeBackReport undo = Undo();
    EXPECT_EQ(undo.status, TakeBackReport::Status::Done) << undo.error;
    EXPECT_EQ(undo.done, 10u);
    EXPECT_EQ(Tree(), before);
    EXPECT_TRUE(std::any_of(undo.files.begin(), undo.files.end(), [](const RunFile& f) {
        return f.newName == "a/b/c/5.txt";
    })) << "a file below the folder is named by its path";
    EXPECT_EQ(Undo().status, TakeBackReport::Status::NothingToDo);
}

// The folders' files are renamed on two threads: the run's progress still counts
// the steps of the whole tree, only ever on the thread that called the run, and the
// journal, written from both, says every step done.
TEST_F(TreeRunTest, ProgressCountsTheWholeTreeAndAStopHoldsEveryFolder) {
    ManyFolders();
    const Content before = Tree();
    ScanTree(TreeEntries::Files);
    std::vector<std::pair<std::size_t, std::size_t>> told;
    bool elsewhere = false;
    RunOptions options = Options();
    options.progress = [&, caller = std::this_thread::get_id()](std::size_t done, std::size_t total) {
        elsewhere = elsewhere || std::this_thread::get_id() != caller;
        told.emplace_back(done, total);
        return true;
    };
    const RunReport run = RunRenames(kAddPrefix, files_, selection_, counter_, options);
    ASSERT_EQ(run.renamed, 86u);
    EXPECT_FALSE(elsewhere);
    ASSERT_FALSE(told.empty());
    for (std::size_t k = 0; k < told.size(); ++k) {
        EXPECT_EQ(told[k].second, 86u) << "the steps of the whole tree";
        EXPECT_LE(told[k].first, 86u);
        if (k > 0) {
            EXPECT_GE(told[k].first, told[k - 1].first) << "never back";
        }
    }
    ASSERT_EQ(run.journals.size(), 1u);
    const auto summary = ReadJournalSummary(run.journals[0]);
    ASSERT_TRUE(summary);
    EXPECT_FALSE(summary->open);
    EXPECT_EQ(summary->done, 86u);
    EXPECT_EQ(summary->renamed, 86u);
    const auto journal = ReadJournal(run.journals[0]);
    ASSERT_TRUE(journal);
    EXPECT_EQ(std::count(journal->state.begin(), journal->state.end(), StepState::Done), 86);
    EXPECT_EQ(Undo().done, 86u);
    EXPECT_EQ(Tree(), before);

    // Stopped after twenty: the other thread stops too, the files not reached in
    // every folder are left alone, and undo takes back what was done. Each rename
    // takes 2 ms, so that the other thread cannot be done before the stop.
    ScanTree(TreeEntries::Files);
    options.progress = [](std::size_t done, std::size_t) { return done < 20; };
    const Renameat2Function usual = SetRenameat2ForTests(
        [](int olddirfd, const char* oldpath, int newdirfd, const char* newpath, unsigned int flags) {
            ::usleep(2000);
            return ::renameat2(olddirfd, oldpath, newdirfd, newpath, flags);
        });
    const RunReport stopped = RunRenames(kAddPrefix, files_, selection_, counter_, options);
    SetRenameat2ForTests(usual);
    EXPECT_TRUE(stopped.stopped);
    EXPECT_GE(stopped.renamed, 20u);
    EXPECT_LT(stopped.renamed, 86u - 8u) << "a whole folder at least is left";
    EXPECT_EQ(stopped.failed, 0u);
    EXPECT_EQ(stopped.renamed + stopped.unchanged, 86u);
    for (const RunFile& f : stopped.files) {
        if (f.outcome == RenameOutcome::Unchanged) {
            EXPECT_EQ(f.reason, std::string(kStoppedText)) << f.oldName;
        }
    }
    EXPECT_EQ(Undo().done, stopped.renamed);
    EXPECT_EQ(Tree(), before);
}

// A selection that goes from folder to folder and back is run folder by folder,
// and its report keeps its order; so do the files and folders of one folder, which
// are renamed apart.
TEST_F(TreeRunTest, ASelectionThatMixesFoldersKeepsItsOrder) {
    ManyFolders();
    const Content before = Tree();
    for (const TreeEntries entries : {TreeEntries::Files, TreeEntries::FilesAndFolders}) {
        ScanTree(entries);
        std::reverse(selection_.begin(), selection_.end());
        std::rotate(selection_.begin(), selection_.begin() + 7, selection_.end());
        const RunReport run = Run(kAddPrefix);
        EXPECT_EQ(run.failed, 0u);
        ASSERT_EQ(run.files.size(), selection_.size());
        for (std::size_t i = 0; i < run.files.size(); ++i) {
            EXPECT_EQ(run.files[i].index, selection_[i]);
            EXPECT_EQ(run.files[i].newName, "x_" + run.files[i].oldName);
        }
        for (const std::string& step : Steps(run)) {
            const auto arrow = step.find('>');
            EXPECT_EQ(step.substr(arrow + 1), "x_" + step.substr(0, arrow));
        }
        EXPECT_EQ(Tree().count("x_m9/x_f7.txt") + Tree().count("m9/x_f7.txt"), 1u);
        const TakeBackReport undo = Undo();
        EXPECT_EQ(undo.done, run.renamed) << undo.error;
        for (const RunFile& f : undo.files) {
            if (f.outcome == RenameOutcome::Failed) {
                ADD_FAILURE() << f.oldName << " " << f.newName << " " << f.reason;
            }
        }
        EXPECT_EQ(Tree(), before);
    }
}

// A plan of many long names is written a piece at a time, and read back whole.
TEST_F(TreeRunTest, ALongPlanIsWrittenInPiecesAndReadWhole) {
    std::filesystem::create_directory(dir_ / "long");
    for (int i = 0; i < 3000; ++i) {
        dir_.Write("long/" + std::string(200, 'n') + std::to_string(i), "");
    }
    const Content before = Tree();
    ScanTree(TreeEntries::Files);
    const RunReport run = Run(kAddPrefix);
    ASSERT_EQ(run.renamed, 3006u);
    ASSERT_EQ(run.journals.size(), 1u);
    EXPECT_GT(std::filesystem::file_size(run.journals[0]), std::uintmax_t{1} << 20);
    const auto journal = ReadJournal(run.journals[0]);
    ASSERT_TRUE(journal);
    EXPECT_EQ(journal->files.size(), 3006u);
    EXPECT_EQ(Undo().done, 3006u);
    EXPECT_EQ(Tree(), before);
}

TEST_F(TreeRunTest, NamesAreCheckedAndShiftedWithinTheirOwnFolder) {
    dir_.Write("a/b/x_4.txt", "taken"); // a name the run would give is taken in a/b only
    const Content before = Tree();
    ScanTree(TreeEntries::Files, "?.txt");
    const RunReport run = Run(kAddPrefix);
    EXPECT_EQ(run.renamed, 5u);
    EXPECT_EQ(run.failed, 1u) << "4.txt alone";
    EXPECT_EQ(Tree().at("a/b/x_4.txt"), "taken");
    EXPECT_EQ(Tree().at("a/b/4.txt"), "a/b/4.txt");
    EXPECT_EQ(Tree().at("a/b/c/x_5.txt"), "a/b/c/5.txt");
    EXPECT_EQ(Undo().done, 5u);
    EXPECT_EQ(Tree(), before);

    // "2.txt" -> "3.txt" -> "4.txt" in a: a shift, in the order that frees each name.
    ScanTree(TreeEntries::Files, "?.txt");
    EXPECT_EQ(Run(test::kShiftUp).failed, 0u);
    EXPECT_EQ(Tree().at("a/4.txt"), "a/3.txt");
    EXPECT_EQ(Tree().at("a/3.txt"), "a/2.txt");
    EXPECT_EQ(Tree().at("a/b/c/6.txt"), "a/b/c/5.txt");
    EXPECT_EQ(Undo().status, TakeBackReport::Status::Done);
    EXPECT_EQ(Tree(), before);
}

// A cycle of a folder and a file in one folder: "ab/" -> "ba/" while "ba" -> "ab",
// done together through a temporary name, with the folders.
TEST_F(TreeRunTest, AFolderAndAFileSwapNames) {
    std::filesystem::create_directory(dir_ / "ab");
    dir_.Write("ab/in.txt", "inside");
    dir_.Write("ba", "file");
    const Content before = Tree();
    ScanTree(TreeEntries::FilesAndFolders, "ab;ba");
    const RunReport run = Run(test::kRotate);
    EXPECT_EQ(run.renamed, 2u);
    EXPECT_EQ(Tree().at("ba/in.txt"), "inside");
    EXPECT_EQ(Tree().at("ab"), "file");
    EXPECT_EQ(Undo().done, 2u);
    EXPECT_EQ(Tree(), before);
}

// A symbolic link to a folder is an entry: renamed as the link it is, never entered.
TEST_F(TreeRunTest, ALinkToAFolderIsRenamedNotEntered) {
    std::filesystem::create_directory_symlink("a", dir_ / "link");
    ScanTree(TreeEntries::FilesAndFolders, "link;2.txt");
    const RunReport run = Run(kAddPrefix);
    EXPECT_EQ(run.renamed, 2u) << "link and a/2.txt, once";
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "x_link"));
    EXPECT_EQ(std::filesystem::read_symlink(dir_ / "x_link"), "a");
    EXPECT_EQ(Tree().count("a/x_2.txt"), 1u);
    EXPECT_EQ(Undo().done, 2u);
    EXPECT_TRUE(std::filesystem::is_symlink(dir_ / "link"));
}

// A folder swapped for a symbolic link once the run has begun is not followed:
// nothing is renamed through the link, the rest of the tree is. Files are renamed
// first, on two threads, in any order; then folders, the deepest first. So "d",
// where only the folder "e" is renamed, comes after "a/b", which renames "c" and
// "f": the first word of progress, between those two at the latest, comes before
// anything in "d" is touched.
TEST_F(TreeRunTest, AFolderSwappedForALinkDuringTheRunIsRefused) {
    std::filesystem::create_directory(dir_ / "a/b/f");
    std::filesystem::create_directory(dir_ / "d/e");
    std::filesystem::rename(dir_ / "d/6.txt", dir_ / "d/66.txt"); // not "?.txt"
    const test::TempDir elsewhere;                                // outside the tree
    std::filesystem::create_directory(std::filesystem::path(elsewhere.path()) / "e");
    ScanTree(TreeEntries::FilesAndFolders, "?.txt;c;e;f");
    RunOptions options = Options();
    bool swapped = false;
    options.progress = [&](std::size_t, std::size_t) {
        if (!swapped) {
            swapped = true;
            std::filesystem::rename(dir_ / "d", dir_ / "d-moved");
            std::filesystem::create_directory_symlink(elsewhere.path(), dir_ / "d");
        }
        return true;
    };
    counter_ = 0;
    const RunReport run = RunRenames(kAddPrefix, files_, selection_, counter_, options);
    EXPECT_TRUE(swapped);
    EXPECT_EQ(run.failed, 1u) << "d/e";
    EXPECT_EQ(run.renamed, 7u);
    EXPECT_EQ(test::FolderContent(elsewhere.path()), (Content{{"e", "<dir>"}}));
    EXPECT_TRUE(std::filesystem::is_directory(dir_ / "d-moved/e"));
    std::filesystem::remove(dir_ / "d");
    std::filesystem::rename(dir_ / "d-moved", dir_ / "d");
    EXPECT_EQ(Undo().done, 7u);
}

// A folder the run renamed, moved away by the user: undo takes back the rest and
// says which files it could not reach.
TEST_F(TreeRunTest, UndoAfterARenamedFolderWasMovedAway) {
    ScanTree();
    ASSERT_EQ(Run(kAddPrefix).renamed, 10u);
    std::filesystem::rename(dir_ / "x_a/x_b", dir_ / "gone");
    const TakeBackReport undo = Undo();
    EXPECT_EQ(undo.status, TakeBackReport::Status::Failures);
    EXPECT_EQ(Tree().count("a/2.txt"), 1u);
    EXPECT_EQ(Tree().count("d/6.txt"), 1u);
    EXPECT_EQ(Tree().count("1.txt"), 1u);
    EXPECT_EQ(Tree().count("gone/x_4.txt"), 1u) << "left where the user put it";
    EXPECT_GE(undo.failed, 3u) << "x_b, x_4.txt, x_c and x_5.txt are out of reach";
}

// A journal of a tree whose places or stages were tampered with is refused whole.
TEST_F(TreeRunTest, ACraftedTreeJournalIsRefusedWhole) {
    ScanTree();
    const RunReport run = Run(kAddPrefix);
    ASSERT_EQ(run.journals.size(), 1u);
    const std::string good = test::ReadFileBytes(run.journals[0]);
    const std::size_t place = good.find("\nplace 0 ") + 1;
    const std::string placeLine = good.substr(place, good.find('\n', place) - place);
    const std::string name = placeLine.substr(placeLine.rfind(' ') + 1);
    const std::size_t step = good.find("\nstep ") + 1;
    const std::string firstStep = good.substr(step, good.find('\n', step) - step + 1);
    const std::pair<const char*, std::string> crafted[] = {
        {"parent out of range", std::string(good).replace(place, 8, "place 9 ")},
        {"name of another folder",
         std::string(good).replace(place + placeLine.size() - name.size(), name.size(), "..")},
        {"name through a folder",
         std::string(good).replace(place + placeLine.size() - name.size(), name.size(), "a/b")},
        {"file of no place", std::string(good).replace(good.find("\nfile ") + 1, 7, "file 99 ")},
        // The first step again after the others: its place comes back.
        {"stages interleaved", std::string(good).insert(good.find("\nplanned ") + 1, firstStep)},
    };
    for (const auto& [what, bytes] : crafted) {
        const std::string path = journals_.Write(std::string("9-") + what + ".journal", bytes);
        std::string why;
        EXPECT_FALSE(ReadJournal(path, why)) << what;
        EXPECT_EQ(UndoRun(path, journals_.path()).status, TakeBackReport::Status::Refused) << what;
    }
}

TEST_F(TreeRunTest, ARunKilledInTheMiddleIsTakenBackOrFinished) {
    const Content before = Tree();
    ScanTree();
    const RunReport whole = Plan(kAddPrefix);
    ASSERT_EQ(whole.renamed, 10u);
    // Undone, finished, or finished from its journal as the window's question at
    // start-up does.
    enum class Then { Undo, Resume, ResumeJournal };
    for (const Then then : {Then::Undo, Then::Resume, Then::ResumeJournal}) {
        const bool finish = then != Then::Undo;
        for (const int killAt : {1, 3, 6, 9}) {
            SCOPED_TRACE(testing::Message() << static_cast<int>(then) << " " << killAt);
            ScanTree();
            ASSERT_TRUE(test::KilledAtRename(killAt, [&] { Run(kAddPrefix); }));
            if (then == Then::ResumeJournal) {
                const InterruptedRuns interrupted = ListInterruptedRuns(journals_.path());
                ASSERT_FALSE(interrupted.runs.empty());          // newest first; a run killed before its
                const InterruptedRun& run = interrupted.runs[0]; // first rename stays listed
                EXPECT_TRUE(run.fromDisk && run.folderThere);
                const Content now = Tree();
                const auto renamedNow = std::count_if(now.begin(), now.end(), [](const auto& entry) {
                    const std::string& path = entry.first;
                    return path.compare(path.rfind('/') + 1, 2, "x_") == 0;
                });
                EXPECT_EQ(run.renamed, static_cast<std::size_t>(renamedNow));
                const TakeBackReport resume = ResumeRun(run.journal, journals_.path());
                EXPECT_EQ(resume.status, TakeBackReport::Status::Done) << resume.error;
                EXPECT_EQ(Tree().count("x_a/x_b/x_c/x_5.txt"), 1u);
            } else if (finish) {
                const TakeBackReport resume = Resume();
                EXPECT_EQ(resume.status, TakeBackReport::Status::Done) << resume.error;
                EXPECT_EQ(Tree().count("x_a/x_b/x_c/x_5.txt"), 1u);
                EXPECT_EQ(Tree().size(), before.size());
            }
            const TakeBackReport undo = Undo();
            if (finish || killAt > 1) {
                EXPECT_EQ(undo.status, TakeBackReport::Status::Done) << undo.error;
            } else {
                // Killed at its first rename, the run may have made one on its other
                // thread as the process went; then that one is taken back.
                EXPECT_TRUE(undo.status == TakeBackReport::Status::NothingToDo ||
                            undo.status == TakeBackReport::Status::Done)
                    << undo.error;
            }
            EXPECT_EQ(Tree(), before);
        }
    }
}

} // namespace
} // namespace quorvel
