// Journals are trusted only once checked, and what they say is checked against the
// disk: crafted journals, a journal folder others may write to, a folder or a file
// made again under a recorded inode number (ext4), a journal that runs out of room
// (tmpfs), a closed journal whose records lie, and the journals pruning keeps.
#include "files/history/recorded_runs.hpp"
#include "files/run/journal_messages.hpp"
#include "files/run/journal_pruning.hpp"
#include "files/run/run_fixture.hpp"
#include "support/mounted_folder.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {
namespace {

using test::Content;
using test::kAddPrefix;
using test::kRotate;

std::string Replaced(std::string text, std::string_view from, std::string_view to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

// The inode number and the birth time of `path`, not followed.
std::pair<std::uint64_t, std::int64_t> InodeAndBirth(const std::string& path) {
    struct statx st {};
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_INO | STATX_BTIME, &st) != 0) {
        return {0, 0};
    }
    return {st.stx_ino, st.stx_btime.tv_sec * 1'000'000'000 + st.stx_btime.tv_nsec};
}

class JournalTrustTest : public test::RunFixture {
protected:
    std::vector<std::string> Journals() const {
        std::string error;
        const auto store = JournalStore::Open(journals_.path(), JournalStore::Use::Read, error);
        EXPECT_TRUE(store) << error;
        return store ? store->Journals() : std::vector<std::string>{};
    }
};

TEST_F(JournalTrustTest, ACraftedJournalIsLeftOutWholeAndNamedOnce) {
    test::TempDir elsewhere;
    elsewhere.Write("x_a", "elsewhere");
    ASSERT_EQ(::symlink(elsewhere.path().c_str(), (dir_ / "link").c_str()), 0);
    Files({"a", "b"});
    Scan("?");
    const RunReport run = Run(kAddPrefix);
    ASSERT_EQ(run.journals.size(), 1u);
    const std::string good = test::ReadFileBytes(run.journals[0]);
    const std::size_t fileLine = good.find("\nfile ") + 6;
    const std::string inode = good.substr(fileLine, good.find(' ', fileLine) - fileLine);

    const std::pair<const char*, std::string> crafted[] = {
        {"parent", Replaced(good, " a x_a -", " a ../x -")},
        {"absolute", Replaced(good, " a x_a -", " /etc/passwd x_a -")},
        {"through a folder link", Replaced(good, " a x_a -", " a link/x_a -")},
        {"dot", Replaced(good, " a x_a -", " . x_a -")},
        {"nul", Replaced(good, " a x_a -", " a x_\\x00a -")},
        {"too long", Replaced(good, " a x_a -", " a " + std::string(256, 'n') + " -")},
        {"inode 0", Replaced(good, "\nfile " + inode + " ", "\nfile 0 ")},
    };
    std::vector<std::string> paths;
    for (const auto& [name, bytes] : crafted) {
        paths.push_back(journals_.Write(std::string("9-") + name + ".journal", bytes));
        std::string why;
        EXPECT_FALSE(ReadJournal(paths.back(), why)) << name;
        EXPECT_TRUE(why.starts_with("nom refusé") || why == std::string(kJournalInodeZeroText))
            << name << ": " << why;
        const TakeBackReport undo = UndoRun(paths.back(), journals_.path());
        EXPECT_EQ(undo.status, TakeBackReport::Status::Refused) << name;
        EXPECT_TRUE(undo.error.starts_with("journal écarté : " + Quoted(paths.back()) + " : ")) << undo.error;
    }
    const Content after = {{"x_a", "a"}, {"x_b", "b"}, {"link", "<dir>"}};
    EXPECT_EQ(Folder(), after) << "nothing of a crafted journal is done";

    // The undo of the folder meets them first (they are newer), names each once and
    // takes back the run that is sound.
    const TakeBackReport undo = UndoLastRun(FolderPath(folder_), journals_.path());
    EXPECT_EQ(undo.status, TakeBackReport::Status::Done);
    std::vector<std::string> named;
    for (const std::string& warning : undo.warnings) {
        named.push_back(warning.substr(0, warning.find(".journal") + 8));
    }
    std::vector<std::string> expected;
    for (const std::string& path : paths) {
        expected.push_back("journal écarté : " + Quoted(path).substr(0, Quoted(path).find(".journal") + 8));
    }
    std::sort(named.begin(), named.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(named, expected);
    EXPECT_EQ(Folder(), (Content{{"a", "a"}, {"b", "b"}, {"link", "<dir>"}}));
    EXPECT_EQ(test::ReadFileBytes(elsewhere / "x_a"), "elsewhere");

    // A journal whose folder path leads through a symbolic link to the run's folder
    // is refused: the folder is opened by its recorded path, never through a link.
    Scan("?");
    const std::string again = test::ReadFileBytes(Run(kAddPrefix).journals[0]);
    const std::string linked = elsewhere / "to-folder";
    ASSERT_EQ(::symlink(folder_.c_str(), linked.c_str()), 0);
    const std::string path =
        journals_.Write("9-linked.journal", Replaced(again, " " + folder_ + "\n", " " + linked + "\n"));
    TakeBackReport refused = UndoRun(path, journals_.path());
    EXPECT_EQ(refused.status, TakeBackReport::Status::Refused);
    EXPECT_EQ(refused.error, NotTheSameFolderText(linked));
    EXPECT_EQ(ResumeRun(path, journals_.path()).status, TakeBackReport::Status::NothingToDo)
        << "a complete run is not resumed";
    EXPECT_EQ(Folder(), after);
}

TEST_F(JournalTrustTest, AJournalFolderOthersMayWriteToIsNeverRead) {
    Files({"a"});
    Scan();
    const RunReport run = Run(kAddPrefix);
    // A journal folder made by a run: 0700, its journals 0600.
    RunOptions options = Options();
    options.journalFolder = journals_ / "made/deeper";
    Scan();
    const RunReport made = RunRenames(kAddPrefix, files_, selection_, counter_, options);
    ASSERT_EQ(made.journals.size(), 1u);
    struct stat st {};
    ASSERT_EQ(::stat(options.journalFolder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
    ASSERT_EQ(::stat(made.journals[0].c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);

    ASSERT_EQ(::chmod(journals_.path().c_str(), 0777), 0);
    const std::string unsafe = UnsafeJournalFolderText(journals_.path());
    EXPECT_EQ(unsafe, "dossier des journaux non sûr : " + Quoted(journals_.path()));
    const TakeBackReport undo = UndoLastRun(FolderPath(folder_), journals_.path());
    EXPECT_EQ(undo.status, TakeBackReport::Status::Refused);
    EXPECT_EQ(undo.error, unsafe);
    EXPECT_EQ(UndoRun(run.journals[0], journals_.path()).error, unsafe);
    EXPECT_EQ(History(FolderPath(folder_), journals_.path()).warnings, std::vector<std::string>{unsafe});
    EXPECT_EQ(ListInterruptedRuns(journals_.path()).warnings, std::vector<std::string>{unsafe});
    std::string error;
    EXPECT_FALSE(ForgetRun(run.journals[0], journals_.path(), error));
    EXPECT_EQ(error, unsafe);
    Scan();
    const RunReport refused = Run(kAddPrefix);
    EXPECT_EQ(refused.stop, RunReport::Stop::NoJournal);
    EXPECT_EQ(refused.renamed, 0u);
    EXPECT_EQ(Folder(), (Content{{"x_x_a", "a"}}));

    // A journal others may write to is left out alone.
    ASSERT_EQ(::chmod(journals_.path().c_str(), 0700), 0);
    ASSERT_EQ(::chmod(run.journals[0].c_str(), 0666), 0);
    const RunHistory history = History(FolderPath(folder_), journals_.path());
    EXPECT_TRUE(history.runs.empty());
    EXPECT_EQ(history.warnings,
              std::vector<std::string>{JournalLeftOutText(run.journals[0], std::string(kJournalUnsafeText))});
    EXPECT_EQ(UndoLastRun(FolderPath(folder_), journals_.path()).status, TakeBackReport::Status::NothingToDo);
}

TEST_F(JournalTrustTest, AFolderOrAFileMadeAgainUnderTheSameInodeIsNotTheRunsOwn) {
    const test::MountedFolder ext4(test::MountedFolder::Kind::Ext4, std::uint64_t{16} << 20);
    if (!ext4.Mounted()) {
        GTEST_SKIP() << ext4.Why();
    }
    ASSERT_EQ(::mkdir((ext4 / "p").c_str(), 0700), 0);
    folder_ = ext4 / "p/d";
    ASSERT_EQ(::mkdir(folder_.c_str(), 0700), 0);
    Files({"a", "b"});
    Scan();
    const RunReport run = Run(kAddPrefix);
    ASSERT_EQ(run.renamed, 2u);

    // x_b deleted, and a new file made under its name until it gets the same inode
    // number, born in another tick of the clock (ext4 counts birth times in ticks).
    const auto [inode, birth] = InodeAndBirth(folder_ + "/x_b");
    bool same = false;
    for (int i = 0; i < 100000 && !same; ++i) {
        std::filesystem::remove(folder_ + "/x_b");
        std::ofstream(folder_ + "/x_b") << "new";
        const auto [now, born] = InodeAndBirth(folder_ + "/x_b");
        same = now == inode && born != birth;
    }
    ASSERT_TRUE(same) << "ext4 never gave the inode number again";
    TakeBackReport undo = UndoLastRun(FolderPath(folder_), journals_.path());
    EXPECT_EQ(undo.status, TakeBackReport::Status::Failures);
    ASSERT_EQ(undo.files.size(), 2u);
    EXPECT_EQ(undo.files[0].outcome, RenameOutcome::Renamed);
    EXPECT_EQ(undo.files[1].reason, std::string(kNotTheSameFileText));
    EXPECT_EQ(Folder(), (Content{{"a", "a"}, {"x_b", "new"}}));

    // The folder deleted and made again until it gets its inode number again: the
    // journal is not about it.
    const std::uint64_t folderInode = InodeAndBirth(folder_).first;
    files_.Clear(); // the scan keeps the folder open
    std::filesystem::remove_all(folder_);
    bool again = false;
    for (int i = 0; i < 1000 && !again; ++i) {
        ASSERT_EQ(::mkdir(folder_.c_str(), 0700), 0);
        again = InodeAndBirth(folder_).first == folderInode;
        if (!again) { // that inode number kept aside, for the next one to differ
            std::filesystem::rename(folder_, ext4 / ("p/spare" + std::to_string(i)));
        }
    }
    ASSERT_TRUE(again) << "ext4 never gave the folder's inode number again";
    Files({"x_b"});
    EXPECT_EQ(UndoLastRun(FolderPath(folder_), journals_.path()).status, TakeBackReport::Status::NothingToDo);
    undo = UndoRun(run.journals[0], journals_.path());
    EXPECT_EQ(undo.status, TakeBackReport::Status::Refused);
    EXPECT_EQ(undo.error, NotTheSameFolderText(folder_));
    EXPECT_EQ(Folder(), (Content{{"x_b", "x_b"}}));
}

TEST_F(JournalTrustTest, AJournalThatRunsOutOfRoomIsSaidAndUndoReadsTheFolder) {
    const test::MountedFolder small(test::MountedFolder::Kind::Tmpfs, std::uint64_t{1} << 20);
    if (!small.Mounted()) {
        GTEST_SKIP() << small.Why();
    }
    for (int i = 0; i < 3000; ++i) {
        Files({"f" + std::to_string(10000 + i)});
    }
    const Content before = Folder();
    Scan();
    RunOptions options = Options();
    options.journalFolder = small / "journals";
    // Once the plan is written, something else takes all the room that is left.
    bool filled = false;
    options.progress = [&](std::size_t, std::size_t) {
        if (!filled) {
            filled = true;
            std::ofstream filler(small / "filler", std::ios::binary);
            const std::string block(1 << 16, 'x');
            while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
            }
        }
        return true;
    };
    const RunReport run = RunRenames(kAddPrefix, files_, selection_, counter_, options);
    EXPECT_EQ(run.renamed, 3000u) << "the renames go on: the plan on disk tells every step";
    EXPECT_EQ(run.journalError,
              "journal incomplet : plus de place sur le disque ; l'annulation relira le dossier");
    const RunHistory history = History(FolderPath(folder_), options.journalFolder);
    ASSERT_EQ(history.runs.size(), 1u);
    EXPECT_EQ(history.runs[0].state, RecordedState::Interrupted);
    EXPECT_EQ(history.runs[0].renamed, 3000u);
    EXPECT_TRUE(history.runs[0].fromDisk);

    // Still no room: the undo is done, and says its journal is incomplete.
    TakeBackReport undo = UndoLastRun(FolderPath(folder_), options.journalFolder,
                                      [](std::size_t done, std::size_t) { return done < 1000; });
    EXPECT_EQ(undo.done, 1000u);
    EXPECT_TRUE(undo.journalError.starts_with("journal incomplet : ")) << undo.journalError;
    std::filesystem::remove(small / "filler");
    undo = UndoLastRun(FolderPath(folder_), options.journalFolder);
    EXPECT_EQ(undo.status, TakeBackReport::Status::Done);
    EXPECT_EQ(undo.done, 2000u);
    EXPECT_EQ(undo.journalError, "");
    EXPECT_EQ(Folder(), before);
}

TEST_F(JournalTrustTest, UndoTakesTheStepsFromTheFolderWhateverAClosedJournalSays) {
    Files({"ab", "ba", "x"});
    Scan();
    const RunReport run = Run(kRotate);
    ASSERT_EQ(Folder(), (Content{{"ab", "ba"}, {"ba", "ab"}, {"x", "x"}}));
    // The file of the swap that went through a temporary name.
    const auto cycled = std::find_if(run.files.begin(), run.files.end(),
                                     [](const RunFile& f) { return !f.temporary.empty(); });
    ASSERT_NE(cycled, run.files.end());
    const std::string from = cycled->oldName;
    const std::string to = cycled->newName;
    const std::string temporary = cycled->temporary.str();
    // A complete run, closed, whose records and summary say nothing was done.
    std::string lying;
    const std::string journal = test::ReadFileBytes(run.journals[0]);
    for (std::size_t at = 0; at < journal.size();) {
        const std::size_t end = journal.find('\n', at) + 1;
        std::string line = journal.substr(at, end - at);
        if (line.starts_with("summary ")) {
            line = "summary 2 3 0 0 -" + line.substr(line.find(" -") + 2);
        }
        lying += line.starts_with("d ") ? "" : line;
        at = end;
    }
    ASSERT_TRUE(lying.ends_with(" 2 1 0\nclosed\n")) << lying;
    std::filesystem::remove(run.journals[0]);
    journals_.Write(run.journals[0].substr(journals_.path().size() + 1), lying);
    EXPECT_EQ(History(FolderPath(folder_), journals_.path()).runs.at(0).state, RecordedState::Complete);

    // That file is back under its temporary name, as if the run had been cut short,
    // and its new name taken by an intruder: the other file cannot go back, nor can
    // it, which stays under its temporary name and is said to.
    std::filesystem::rename(dir_ / to, dir_ / temporary);
    dir_.Write(to, "intruder");
    TakeBackReport undo = UndoLastRun(FolderPath(folder_), journals_.path());
    EXPECT_EQ(undo.status, TakeBackReport::Status::Failures);
    ASSERT_EQ(undo.underTemporary.size(), 1u);
    EXPECT_EQ(undo.underTemporary[0].name, from);
    EXPECT_EQ(undo.underTemporary[0].path, folder_ + "/" + temporary);
    for (const RunFile& f : undo.files) {
        EXPECT_FALSE(f.oldName.empty() || f.newName.empty());
    }
    EXPECT_EQ(Folder(), (Content{{from, to}, {to, "intruder"}, {temporary, from}, {"x", "x"}}));

    std::filesystem::remove(dir_ / to);
    undo = UndoLastRun(FolderPath(folder_), journals_.path());
    EXPECT_EQ(undo.status, TakeBackReport::Status::Done);
    EXPECT_TRUE(undo.underTemporary.empty());
    EXPECT_EQ(Folder(), Itself({"ab", "ba", "x"}));
}

TEST_F(JournalTrustTest, PruningKeepsWhatIsStillNeeded) {
    test::TempDir other;
    std::ofstream(other / "a") << "a";
    files_.Clear();
    ASSERT_EQ(ScanFolder(FolderPath(other.path()), files_, test::T("*")), 0);
    selection_ = {0};
    const std::string otherFolder = Run(kAddPrefix).journals.at(0);

    Files({"a"});
    std::vector<std::string> runs;
    int locked = -1;
    for (int i = 0; i < 61; ++i) {
        Scan();
        runs.push_back(Run(kAddPrefix).journals.at(0));
        if (i == 3) {
            // Run 3 was interrupted: its records end after its first step.
            const std::string whole = test::ReadFileBytes(runs[3]);
            std::filesystem::remove(runs[3]);
            journals_.Write(runs[3].substr(journals_.path().size() + 1),
                            whole.substr(0, whole.find('\n', whole.find("\nplanned ") + 1) + 1) + "d 0\n");
        } else if (i == 5) {
            // Run 5 is being undone: its journal is locked.
            locked = ::open(runs[5].c_str(), O_RDONLY | O_CLOEXEC);
            ASSERT_EQ(::flock(locked, LOCK_EX), 0);
        }
    }
    ::close(locked);
    std::vector<std::string> kept(runs.end() - 50, runs.end());
    kept.insert(kept.begin(), {otherFolder, runs[3], runs[5]});
    EXPECT_EQ(Journals(), kept) << "the newest 50, the newest run of every folder, and the runs still needed";

    // A month on, the other folder's run goes; within a cap, the oldest complete
    // runs go first, never the interrupted one.
    std::string error;
    const auto store = JournalStore::Open(journals_.path(), JournalStore::Use::Read, error);
    ASSERT_TRUE(store);
    const std::int64_t later = static_cast<std::int64_t>(std::time(nullptr)) + 31 * 24 * 3600;
    PruneJournals(*store, runs.back(), {}, later);
    kept.erase(kept.begin());
    kept.erase(kept.begin() + 1);
    EXPECT_EQ(Journals(), kept) << "no longer locked, run 5 is one run too many";
    PruningLimits cap;
    cap.mostBytes = 10 * std::filesystem::file_size(runs.back());
    PruneJournals(*store, runs.back(), cap, later);
    const std::vector<std::string> left = Journals();
    ASSERT_GE(left.size(), 3u);
    EXPECT_LE(left.size(), 11u);
    EXPECT_EQ(left[0], runs[3]);
    EXPECT_EQ(left.back(), runs.back());
}

} // namespace
} // namespace quorvel
