// quorvel-cli undo, resume and history on the journals of real runs, one of them
// killed in the middle. Every file holds its own original name, so that the tests
// see where each file went.
#include "cli/cli_fixture.hpp"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace quorvel {
namespace {

using test::Content;

// Moving the first character to the end turns every set of rotations of a name into
// a cycle of renames: ab <-> ba, abc -> bca -> cab -> abc.
std::string RotateLeft(const std::string& name) {
    return name.substr(1) + name.front();
}

class JournalCommandsTest : public test::CliFixture {
protected:
    JournalCommandsTest() { std::filesystem::create_directory(folder_); }

    void Files(const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            dir_.Write("files/" + name, name);
        }
    }
    Content Folder() const { return test::ReadFolder(folder_); }

    // The history of the folder, with the date and time that begin each line
    // checked and taken off.
    std::string History() {
        const auto r = Cli({"history", folder_});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        static const std::regex dated("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}  ");
        std::string undated;
        for (std::size_t at = 0; at < r.out.size();) {
            const std::size_t end = std::min(r.out.find('\n', at), r.out.size() - 1) + 1;
            const std::string line = r.out.substr(at, end - at);
            undated += std::regex_match(line.substr(0, 21), dated) ? line.substr(21) : "<no date> " + line;
            at = end;
        }
        return undated;
    }

    std::string folder_ = dir_ / "files";
    std::string rotate_ = dir_.Write("rotate.script", "24|Les [n=1] premiers caract\xE8res \xE0 la fin\r\n");
};

TEST_F(JournalCommandsTest, UndoPutsEveryNameBackOnceAndHistoryTellsEachRun) {
    Files({"ab", "ba", "abc", "bca", "cab", "xy", "zz"});
    const Content before = Folder();
    auto r = Cli({"run", rotate_, folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Folder(), (Content{{"ab", "ba"},
                                 {"ba", "ab"},
                                 {"abc", "cab"},
                                 {"bca", "abc"},
                                 {"cab", "bca"},
                                 {"yx", "xy"},
                                 {"zz", "zz"}}));
    const std::string counts = "7 fichiers : 6 renommés, 1 inchangé, 0 échec  « " + folder_ + " »\n";
    EXPECT_EQ(History(), "terminé  " + counts);
    r = Cli({"resume", folder_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "rien à reprendre\n");

    r = Cli({"undo", folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "6 fichiers remis sous leur ancien nom, 0 échec\n");
    EXPECT_EQ(Folder(), before);
    EXPECT_EQ(History(), "annulé  " + counts);

    r = Cli({"undo", folder_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "rien à annuler\n");
    EXPECT_EQ(Folder(), before);
}

TEST_F(JournalCommandsTest, AnUndoThatCannotPutAFileBackSaysWhyAndCanBeTriedAgain) {
    Files({"ab", "xy", "zz"});
    ASSERT_EQ(Cli({"run", rotate_, folder_}).exitCode, 0);
    dir_.Write("files/xy", "new xy"); // someone else took the old name
    auto r = Cli({"undo", folder_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "échec : « yx » -> « xy » : un fichier de ce nom existe déjà\n"
                     "1 fichier remis sous son ancien nom, 1 échec\n");
    EXPECT_EQ(Folder(), (Content{{"ab", "ab"}, {"xy", "new xy"}, {"yx", "xy"}, {"zz", "zz"}}));
    EXPECT_EQ(History(),
              "annulé en partie  3 fichiers : 2 renommés, 1 inchangé, 0 échec  « " + folder_ + " »\n");

    std::filesystem::remove(folder_ + "/xy");
    r = Cli({"undo", folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "1 fichier remis sous son ancien nom, 0 échec\n");
    EXPECT_EQ(Folder(), (Content{{"ab", "ab"}, {"xy", "xy"}, {"zz", "zz"}}));
    EXPECT_EQ(History(), "annulé  3 fichiers : 2 renommés, 1 inchangé, 0 échec  « " + folder_ + " »\n");
}

// The undo and the history name files and folders as the run does: quoted, and
// escaped, whatever they hold.
TEST_F(JournalCommandsTest, UndoAndHistoryQuoteAndEscapeTheNames) {
    const std::string odd = dir_ / "odd -> \u2028\u200B";
    std::filesystem::create_directory(odd);
    dir_.Write("odd -> \u2028\u200B/a -> b", "a -> b");
    dir_.Write("odd -> \u2028\u200B/\u202Eb", "\u202Eb");
    ASSERT_EQ(Cli({"run", rotate_, odd}).exitCode, 0);
    dir_.Write("odd -> \u2028\u200B/a -> b", "new"); // someone else took the old name
    const auto r = Cli({"undo", odd});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "échec : «  -> ba » -> « a -> b » : un fichier de ce nom existe déjà\n"
                     "1 fichier remis sous son ancien nom, 1 échec\n");
    const auto history = Cli({"history", odd});
    EXPECT_TRUE(history.out.ends_with("  « " + dir_.path() + "/odd -> \\u2028\\u200B »\n")) << history.out;
}

// Files that are not journals, or cannot be, are named once each on standard error;
// the runs of every folder are still listed, taken back and finished.
TEST_F(JournalCommandsTest, JournalsLeftOutAreSaidAndNeverBlockOtherFolders) {
    Files({"ab", "ba"});
    const std::string other = dir_ / "other";
    std::filesystem::create_directory(other);
    dir_.Write("other/xy", "xy");
    ASSERT_EQ(Cli({"run", rotate_, folder_}).exitCode, 0);
    ASSERT_EQ(Cli({"run", rotate_, other}).exitCode, 0);
    const std::string journals = dir_ / "state/quorvel";
    dir_.Write("state/quorvel/0-garbage.journal", "\xFF\xFE\n");
    dir_.Write("state/quorvel/1-notes.journal", "quorvel journal 2\nnot a plan\n");
    // A sparse file of 100 GB: no journal is that large, and none is read whole.
    ASSERT_EQ(::truncate(dir_.Write("state/quorvel/2-sparse.journal", "").c_str(), std::int64_t{100} << 30),
              0);
    const std::string warnings = "attention : journal écarté : « " + journals +
                                 "/0-garbage.journal » : ce n'est pas un journal\n"
                                 "attention : journal écarté : « " +
                                 journals +
                                 "/1-notes.journal » : contenu mal formé, ligne 2\n"
                                 "attention : journal écarté : « " +
                                 journals + "/2-sparse.journal » : trop grand pour un journal\n";

    auto r = Cli({"history"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, warnings);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;
    r = Cli({"undo", other});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, warnings + "1 fichier remis sous son ancien nom, 0 échec\n");
    EXPECT_EQ(test::ReadFolder(other), (Content{{"xy", "xy"}}));
    r = Cli({"resume", folder_});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, warnings + "rien à reprendre\n");
}

// A journal that cannot be completed (here the size a process may write is
// limited) is said, with exit status 74, although the renames were done; the undo
// reads the folder and puts everything back.
TEST_F(JournalCommandsTest, AJournalThatCannotBeCompletedIsSaidWithStatus74) {
    std::vector<std::string> names;
    for (int i = 100; i < 400; ++i) {
        names.push_back("a" + std::to_string(i));
    }
    Files(names);
    const Content before = Folder();
    // The size of the plan, from the same run in another journal folder.
    ASSERT_EQ(Cli({"run", rotate_, folder_}).exitCode, 0);
    ASSERT_EQ(Cli({"undo", folder_}).exitCode, 0);
    std::string first;
    for (const auto& entry : std::filesystem::directory_iterator(dir_ / "state/quorvel")) {
        first = test::ReadFileBytes(entry.path());
    }
    const std::size_t plan = first.find('\n', first.find("\nplanned ") + 1) + 1;
    ::setenv("XDG_STATE_HOME", (dir_ / "limited").c_str(), 1);

    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct rlimit limited = saved;
    limited.rlim_cur = plan + 16;
    const auto handler = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    auto r = Cli({"run", rotate_, folder_});
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, handler);
    EXPECT_EQ(r.exitCode, 74);
    EXPECT_TRUE(r.err.ends_with("journal incomplet : fichier trop grand ; l'annulation relira le dossier\n"))
        << r.err;
    EXPECT_EQ(Folder().size(), 300U);
    EXPECT_EQ(Folder().count("100a"), 1U) << "the renames were done";
    EXPECT_TRUE(History().starts_with("interrompu  300 fichiers : 300 renommés sur 300  ")) << History();

    r = Cli({"undo", folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "300 fichiers remis sous leur ancien nom, 0 échec\n");
    EXPECT_EQ(Folder(), before);
}

// 16,384 files, every name of 14 binary digits, in about 1,200 cycles of renames;
// the run is killed once a tenth of the cycles are done, some file possibly under
// its temporary name.
class KilledRunTest : public JournalCommandsTest {
protected:
    static constexpr int kDigits = 14;

    KilledRunTest() {
        std::vector<std::string> names;
        for (unsigned n = 0; n < 1U << kDigits; ++n) {
            std::string name(kDigits, '0');
            for (int d = 0; d < kDigits; ++d) {
                name[static_cast<std::size_t>(kDigits - 1 - d)] = (n >> d) & 1U ? '1' : '0';
            }
            names.push_back(std::move(name));
        }
        Files(names);
        // Cycles run in the name order of their first name, the smallest of them.
        std::vector<std::string> firsts;
        for (const std::string& name : names) {
            std::string rotated = RotateLeft(name);
            bool smallest = true;
            for (; rotated != name; rotated = RotateLeft(rotated)) {
                smallest = smallest && name < rotated;
            }
            if (smallest) {
                firsts.push_back(name);
            }
        }
        watched_ = firsts[firsts.size() / 10];
        for (const std::string& name : names) {
            original_[name] = name;
            renamed_[RotateLeft(name)] = name;
        }
    }

    // Starts the run and kills it once the watched file has left its name. False
    // when the run ended first (a failure unless it ended well).
    bool KillInTheMiddle() {
        test::BackgroundProcess run({QUORVEL_CLI, "run", rotate_, folder_});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        const std::string watched = folder_ + "/" + watched_;
        while (!run.Ended() && test::ReadFileBytes(watched) == watched_ &&
               std::chrono::steady_clock::now() < deadline) {
        }
        run.Kill(SIGKILL);
        const int status = run.Wait();
        if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) {
            return true;
        }
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the run failed: status " << status;
        return false;
    }

    std::string watched_;
    Content original_; // every file under its own name
    Content renamed_;  // what a whole run gives
};

TEST_F(KilledRunTest, UndoPutsBackEveryFileOfAKilledRun) {
    if (!KillInTheMiddle()) {
        GTEST_SKIP() << "the run ended before it could be killed";
    }
    // How far it went, as the records tell: the last of them may lag behind.
    // How far it went, as the folder tells: the records may lag behind.
    const std::string interrupted = History();
    std::size_t atNewName = 0;
    for (const auto& [name, bytes] : Folder()) {
        atNewName += name != bytes && renamed_[name] == bytes ? 1 : 0;
    }
    EXPECT_EQ(interrupted, "interrompu  16384 fichiers : " + std::to_string(atNewName) +
                               " renommés sur 16382  « " + folder_ + " »\n");
    const auto r = Cli({"undo", folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(std::regex_match(r.err, std::regex("[0-9]+ fichiers remis sous leur ancien nom, 0 échec\n")))
        << r.err;
    EXPECT_EQ(test::FirstDifference(Folder(), original_), "");
    EXPECT_EQ(History().rfind("annulé  16384 fichiers : ", 0), 0U);
}

TEST_F(KilledRunTest, ResumeFinishesAKilledRun) {
    if (!KillInTheMiddle()) {
        GTEST_SKIP() << "the run ended before it could be killed";
    }
    const auto r = Cli({"resume", folder_});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(std::regex_match(r.err, std::regex("[0-9]+ fichiers renommés, 0 échec\n"))) << r.err;
    EXPECT_EQ(r.err.find("«  »"), std::string::npos) << "no name is empty";
    EXPECT_EQ(test::FirstDifference(Folder(), renamed_), "");
    EXPECT_EQ(History(),
              "terminé  16384 fichiers : 16382 renommés, 2 inchangés, 0 échec  « " + folder_ + " »\n");
}

} // namespace
} // namespace quorvel
