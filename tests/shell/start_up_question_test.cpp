// The question at start-up about the runs left in the middle, on real folders and
// real journals: it names its run (folder, time begun, what the folder holds of it
// now), offers only what can be done with that run, acts on that run alone, and
// never comes back for a run taken back, finished or forgotten.
#include "browser/file_list_model.hpp"
#include "editor/script_document.hpp"
#include "files/history/recorded_runs.hpp"
#include "files/run/journal_store.hpp"
#include "files/text/shown_name.hpp"
#include "settings/ini_file.hpp"
#include "support/text.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QAction>
#include <QLabel>
#include <algorithm>
#include <ctime>
#include <set>

namespace quorvel::test {
namespace {

using Answer = DesktopServices::InterruptedAnswer;

constexpr const char* kAddX = "14|Ajouter [Chaine=x_] au début";
constexpr const char* kAddY = "14|Ajouter [Chaine=y_] au début";

class StartUpQuestion : public MainWindowTest {
protected:
    // The time zone is not UTC, so that a time shown in UTC would be seen.
    void SetUp() override {
        MainWindowTest::SetUp();
        if (const char* tz = std::getenv("TZ")) {
            savedTz_ = tz;
        }
        setenv("TZ", "<+0530>-5:30", 1);
        tzset();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        if (savedTz_) {
            setenv("TZ", savedTz_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

    // Runs `line` on the files `names` of `folder` through the window, as the user
    // does, and closes the window.
    void Run(const std::string& folder, std::initializer_list<const char*> names, const char* line) {
        Start();
        ListFolder(folder);
        const std::set<std::string> wanted(names.begin(), names.end());
        std::vector<int> rows;
        for (std::size_t i = 0; i < Controller().Files().Count(); ++i) {
            if (wanted.contains(Controller().Files().Files().Items(i).NameBytes())) {
                rows.push_back(static_cast<int>(i) + 1);
            }
        }
        ASSERT_EQ(rows.size(), wanted.size());
        Controller().Selection().Select(rows);
        Controller().Script().Load({T(line)});
        Controller().run(RunMode::Unattended);
        window_->close();
        window_.reset();
    }

    // Starts the window and waits until what it does once it is up is done: the
    // script of the command line, which does not exist, is said so after the
    // questions about the interrupted runs.
    void StartAndSettle() {
        const QString missing = QString::fromStdString(program_ / "none.script");
        const auto said = [&] {
            return std::any_of(desktop_.log.messages.begin(), desktop_.log.messages.end(),
                               [&](const QString& m) { return m.contains(missing); });
        };
        desktop_.log.messages.clear();
        Start({missing});
        QTRY_VERIFY(said());
    }

    // Starts the window and answers the questions with `answers`; returns what was asked.
    QStringList StartAnswering(std::initializer_list<Answer> answers) {
        desktop_.log.interruptedQuestions.clear();
        desktop_.log.interruptedChoices.clear();
        desktop_.log.interruptedAnswers.assign(answers.begin(), answers.end());
        desktop_.log.interruptedAnswer = Answer::Leave;
        StartAndSettle();
        return desktop_.log.interruptedQuestions;
    }

    // The files of `folder` and what each holds.
    static std::map<std::string, std::string> Files(const std::string& folder) {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            files[entry.path().filename().string()] = ReadFileBytes(entry.path().string());
        }
        return files;
    }

    // The interrupted runs as the journals tell them.
    static std::vector<InterruptedRun> Interrupted() { return ListInterruptedRuns(JournalFolder()).runs; }

    // `begun` in local time, as the question writes it in French.
    static QString Begun(std::int64_t begun, const char* format = "%d/%m/%Y à %H:%M:%S") {
        const std::time_t t = begun;
        std::tm local{};
        localtime_r(&t, &local);
        char text[64];
        std::strftime(text, sizeof text, format, &local);
        return QString::fromUtf8(text);
    }

    static QString QuotedFolder(const std::string& folder) { return QString::fromStdString(Quoted(folder)); }

    // R1: x_ before a.txt, b.txt and c.txt, interrupted; the folder holds two of its
    // three renames ("c.txt" back under its name). R2, later and complete: y_ before
    // x_a.txt.
    void InterruptedThenComplete() {
        MakeFiles({"a.txt", "b.txt", "c.txt"});
        Run(folder_.path(), {"a.txt", "b.txt", "c.txt"}, kAddX);
        CutTheNewestJournal();
        std::filesystem::rename(folder_ / "x_c.txt", folder_ / "c.txt");
        Run(folder_.path(), {"x_a.txt"}, kAddY);
        ASSERT_EQ(Files(folder_.path()),
                  (std::map<std::string, std::string>{
                      {"y_x_a.txt", "a.txt"}, {"x_b.txt", "b.txt"}, {"c.txt", "c.txt"}}));
    }

    std::optional<std::string> savedTz_;
};

const std::map<std::string, std::string> kBefore{{"a.txt", "a.txt"}, {"b.txt", "b.txt"}, {"c.txt", "c.txt"}};

// An interrupted run followed by a complete one of the same folder: the question
// is about the interrupted run, with its counts from the disk, and offers only to
// forget it or leave it while the later run is in place; once the later run is
// taken back, "Remettre les anciens noms" takes back that run exactly.
TEST_F(StartUpQuestion, AnOlderRunWaitsForTheLaterOneAndIsThenTakenBackExactly) {
    InterruptedThenComplete();
    const std::vector<InterruptedRun> runs = Interrupted();
    ASSERT_EQ(runs.size(), 1U);
    const InterruptedRun r1 = runs.front();

    // A choice the question does not offer does nothing.
    const QStringList asked = StartAnswering({Answer::Undo});
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0],
              "Le renommage du dossier " + QuotedFolder(folder_.path()) + ", commencé le " + Begun(r1.begun) +
                  ", a été interrompu (2 fichier(s) renommé(s) sur 3).\n"
                  "Il ne peut être ni annulé ni terminé maintenant : un renommage plus récent de ce "
                  "dossier doit d'abord être annulé.\n"
                  "« Oublier » laisse les fichiers comme ils sont et ne pose plus la question.");
    const DesktopServices::InterruptedChoices offered = desktop_.log.interruptedChoices.at(0);
    EXPECT_FALSE(offered.undo);
    EXPECT_FALSE(offered.finish);
    EXPECT_TRUE(offered.forget);
    EXPECT_EQ(Files(folder_.path()), (std::map<std::string, std::string>{
                                         {"y_x_a.txt", "a.txt"}, {"x_b.txt", "b.txt"}, {"c.txt", "c.txt"}}));
    EXPECT_TRUE(desktop_.log.errors.isEmpty()) << desktop_.log.errors.join('\n').toStdString();

    // "Plus tard" (and the unoffered choice above) asks again at the next start;
    // meanwhile the later run is taken back through the window.
    ASSERT_EQ(StartAnswering({}).size(), 1);
    ListFolder();
    ASSERT_TRUE(Get<QAction>("MNU_UNDO")->isEnabled());
    Get<QAction>("MNU_UNDO")->trigger();
    EXPECT_EQ(Files(folder_.path()), (std::map<std::string, std::string>{
                                         {"x_a.txt", "a.txt"}, {"x_b.txt", "b.txt"}, {"c.txt", "c.txt"}}));

    const QStringList now = StartAnswering({Answer::Undo});
    ASSERT_EQ(now.size(), 1);
    EXPECT_EQ(now[0], "Le renommage du dossier " + QuotedFolder(folder_.path()) + ", commencé le " +
                          Begun(r1.begun) +
                          ", a été interrompu (2 fichier(s) renommé(s) sur 3).\n"
                          "Remettre les anciens noms, ou terminer le renommage ?");
    EXPECT_TRUE(desktop_.log.interruptedChoices.at(0).undo);
    EXPECT_TRUE(desktop_.log.interruptedChoices.at(0).finish);
    EXPECT_FALSE(desktop_.log.interruptedChoices.at(0).forget);
    EXPECT_EQ(Files(folder_.path()), kBefore);
    EXPECT_EQ(Get<QLabel>("RunStatus")->text(), QStringLiteral("2 remis sous leur ancien nom, 0 échecs"));
    EXPECT_TRUE(desktop_.log.errors.isEmpty()) << desktop_.log.errors.join('\n').toStdString();

    EXPECT_TRUE(StartAnswering({}).isEmpty());
    EXPECT_EQ(Files(folder_.path()), kBefore);
}

// Once the later run is taken back (here by the core, as quorvel-cli does),
// "Terminer le renommage" does what the interrupted run left, and only that.
TEST_F(StartUpQuestion, FinishingDoesWhatTheInterruptedRunLeft) {
    InterruptedThenComplete();
    StartAnswering({Answer::Finish}); // not offered yet: nothing happens
    EXPECT_EQ(Files(folder_.path()), (std::map<std::string, std::string>{
                                         {"y_x_a.txt", "a.txt"}, {"x_b.txt", "b.txt"}, {"c.txt", "c.txt"}}));
    window_.reset();

    const TakeBackReport undone = UndoLastRun(FolderPath(folder_.path()), JournalFolder());
    ASSERT_EQ(undone.status, TakeBackReport::Status::Done);
    ASSERT_EQ(StartAnswering({Answer::Finish}).size(), 1);
    EXPECT_EQ(Files(folder_.path()), (std::map<std::string, std::string>{
                                         {"x_a.txt", "a.txt"}, {"x_b.txt", "b.txt"}, {"x_c.txt", "c.txt"}}));
    EXPECT_EQ(Get<QLabel>("RunStatus")->text(), QStringLiteral("1 renommé(s), 0 inchangé(s), 0 échec(s)"));
    EXPECT_TRUE(desktop_.log.errors.isEmpty()) << desktop_.log.errors.join('\n').toStdString();
    EXPECT_TRUE(Interrupted().empty());
    EXPECT_TRUE(StartAnswering({}).isEmpty());
}

// A run whose folder is gone says so, can only be forgotten or left, and once
// forgotten is never asked about again.
TEST_F(StartUpQuestion, ARunOfAFolderGoneCanBeForgotten) {
    const std::string gone = folder_ / "gone";
    std::filesystem::create_directory(gone);
    for (const char* name : {"a.txt", "b.txt"}) {
        folder_.Write(std::string("gone/") + name, name);
    }
    Run(gone, {"a.txt", "b.txt"}, kAddX);
    CutTheNewestJournal();
    const std::vector<InterruptedRun> runs = Interrupted();
    ASSERT_EQ(runs.size(), 1U);
    std::filesystem::remove_all(gone);

    const QStringList asked = StartAnswering({Answer::Forget});
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0], "Le renommage du dossier " + QuotedFolder(gone) + ", commencé le " +
                            Begun(runs.front().begun) +
                            ", a été interrompu (2 fichier(s) renommé(s) sur 2).\n"
                            "Ce dossier n'est plus là : rien ne peut y être remis ni terminé.\n"
                            "« Oublier » laisse les fichiers comme ils sont et ne pose plus la question.");
    EXPECT_FALSE(desktop_.log.interruptedChoices.at(0).undo);
    EXPECT_FALSE(desktop_.log.interruptedChoices.at(0).finish);
    EXPECT_TRUE(desktop_.log.interruptedChoices.at(0).forget);
    EXPECT_TRUE(desktop_.log.errors.isEmpty()) << desktop_.log.errors.join('\n').toStdString();
    EXPECT_TRUE(StartAnswering({}).isEmpty());
    EXPECT_TRUE(Interrupted().empty());
}

// Several interrupted runs are asked about one after the other, newest first, each
// once; each answer acts on its own run.
TEST_F(StartUpQuestion, EachRunIsAskedAboutInTurnNewestFirst) {
    TempDir other;
    other.Write("p.txt", "p.txt");
    MakeFiles({"a.txt"});
    Run(folder_.path(), {"a.txt"}, kAddX);
    CutTheNewestJournal();
    Run(other.path(), {"p.txt"}, kAddY);
    CutTheNewestJournal();

    const QStringList asked = StartAnswering({Answer::Undo, Answer::Leave});
    ASSERT_EQ(asked.size(), 2);
    EXPECT_TRUE(asked[0].contains(QuotedFolder(other.path()))) << asked[0].toStdString();
    EXPECT_TRUE(asked[1].contains(QuotedFolder(folder_.path()))) << asked[1].toStdString();
    EXPECT_EQ(Files(other.path()), (std::map<std::string, std::string>{{"p.txt", "p.txt"}}));
    EXPECT_EQ(Files(folder_.path()), (std::map<std::string, std::string>{{"x_a.txt", "a.txt"}}));

    const QStringList again = StartAnswering({Answer::Finish});
    ASSERT_EQ(again.size(), 1);
    EXPECT_TRUE(again[0].contains(QuotedFolder(folder_.path())));
    EXPECT_TRUE(StartAnswering({}).isEmpty());
}

// A run that renamed nothing has nothing to put back: "Remettre les anciens noms"
// settles it, and it is not asked about again.
TEST_F(StartUpQuestion, ARunWithNothingInPlaceIsDoneWithOncePutBack) {
    MakeFiles({"a.txt", "b.txt"});
    Run(folder_.path(), {"a.txt", "b.txt"}, kAddX);
    CutTheNewestJournal();
    // As if killed before its first rename.
    std::filesystem::rename(folder_ / "x_a.txt", folder_ / "a.txt");
    std::filesystem::rename(folder_ / "x_b.txt", folder_ / "b.txt");

    const QStringList asked = StartAnswering({Answer::Undo});
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].contains(QStringLiteral("(0 fichier(s) renommé(s) sur 2)")))
        << asked[0].toStdString();
    EXPECT_TRUE(desktop_.log.errors.isEmpty()) << desktop_.log.errors.join('\n').toStdString();
    EXPECT_TRUE(StartAnswering({}).isEmpty());
    EXPECT_EQ(Files(folder_.path()),
              (std::map<std::string, std::string>{{"a.txt", "a.txt"}, {"b.txt", "b.txt"}}));
}

// A run cut in the middle of a swap says how many files wait under a temporary
// name, and "Remettre les anciens noms" brings them back.
TEST_F(StartUpQuestion, FilesUnderATemporaryNameAreCountedAndPutBack) {
    MakeFiles({"ab", "ba"});
    Run(folder_.path(), {"ab", "ba"}, "24|Déplacer les [n=1] premiers caractères à la fin");
    ASSERT_EQ(Files(folder_.path()), (std::map<std::string, std::string>{{"ab", "ba"}, {"ba", "ab"}}));
    CutTheNewestJournal();
    const std::vector<InterruptedRun> runs = Interrupted();
    ASSERT_EQ(runs.size(), 1U);
    // As the swap is after its first step: "ab" under the temporary name the
    // journal planned, "ba" not moved yet.
    const std::string journal = ReadFileBytes(runs.front().journal);
    const std::size_t at = journal.find(".quorvel-");
    ASSERT_NE(at, std::string::npos);
    const std::string temporary = journal.substr(at, journal.find(".tmp", at) + 4 - at);
    std::filesystem::rename(folder_ / "ba", folder_ / temporary);
    std::filesystem::rename(folder_ / "ab", folder_ / "ba");
    ASSERT_EQ(Files(folder_.path()), (std::map<std::string, std::string>{{temporary, "ab"}, {"ba", "ba"}}));

    const QStringList asked = StartAnswering({Answer::Undo});
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked[0].endsWith(QStringLiteral("a été interrompu (0 fichier(s) renommé(s) sur 2).\n"
                                                 "1 fichier(s) sous un nom temporaire.\n"
                                                 "Remettre les anciens noms, ou terminer le renommage ?")))
        << asked[0].toStdString();
    EXPECT_EQ(Files(folder_.path()), (std::map<std::string, std::string>{{"ab", "ab"}, {"ba", "ba"}}));
    EXPECT_TRUE(StartAnswering({}).isEmpty());
}

// Taking back an interrupted run follows its progress, which can stop it; what is
// left stays to be taken back from the menu.
TEST_F(StartUpQuestion, PuttingBackCanBeStopped) {
    MakeFiles({"a.txt", "b.txt", "c.txt"});
    Run(folder_.path(), {"a.txt", "b.txt", "c.txt"}, kAddX);
    CutTheNewestJournal();
    const std::vector<InterruptedRun> runs = Interrupted();
    ASSERT_EQ(runs.size(), 1U);
    StartAnswering({}); // "Plus tard"
    ListFolder();
    QStringList labels;
    Controller().startProgress = [&labels](const QString& label) -> ProgressHook {
        labels.push_back(label);
        return [](std::size_t done, std::size_t) { return done < 1; };
    };
    Controller().settleRun(runs.front().journal, runs.front().folder, false);
    EXPECT_EQ(labels, QStringList({QStringLiteral("Remise des anciens noms...")}));
    EXPECT_EQ(Get<QLabel>("RunStatus")->text(),
              QStringLiteral("arrêté : 1 remis sous leur ancien nom, 2 non traités"));
    EXPECT_EQ(Files(folder_.path()).size(), 3U);
    EXPECT_EQ(Files(folder_.path()).count("a.txt") + Files(folder_.path()).count("b.txt") +
                  Files(folder_.path()).count("c.txt"),
              1U);
    Controller().startProgress = nullptr; // not stopped this time
    ASSERT_TRUE(Get<QAction>("MNU_UNDO")->isEnabled());
    Get<QAction>("MNU_UNDO")->trigger();
    EXPECT_EQ(Files(folder_.path()), kBefore);
    EXPECT_TRUE(StartAnswering({}).isEmpty());
}

// Journals that cannot be used are named once at start-up, before the question,
// which still comes for the runs that can be read.
TEST_F(StartUpQuestion, JournalsLeftOutAreSaidOnce) {
    MakeFiles({"a.txt"});
    Run(folder_.path(), {"a.txt"}, kAddX);
    CutTheNewestJournal();
    const std::string bad = JournalFolder() + "/0-broken.journal";
    {
        std::FILE* f = std::fopen(bad.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("not a journal\n", f);
        std::fclose(f);
    }
    std::filesystem::permissions(bad,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    const QStringList asked = StartAnswering({Answer::Undo});
    ASSERT_EQ(asked.size(), 1);
    QStringList said;
    for (const QString& m : desktop_.log.messages) {
        if (m.startsWith(QStringLiteral("Des journaux de renommage ne peuvent pas servir :\n"))) {
            said.push_back(m);
        }
    }
    ASSERT_EQ(said.size(), 1) << desktop_.log.messages.join('\n').toStdString();
    EXPECT_TRUE(said[0].contains(QStringLiteral("journal écarté : ") + QString::fromStdString(Quoted(bad))))
        << said[0].toStdString();
    EXPECT_EQ(Files(folder_.path()), (std::map<std::string, std::string>{{"a.txt", "a.txt"}}));
}

// With English chosen, the question, its lines and the journals left out are in
// English, the time as English readers write it.
TEST_F(StartUpQuestion, InEnglishTheQuestionIsEnglish) {
    InterruptedThenComplete();
    TempDir elsewhere;
    const std::string gone = elsewhere / "gone";
    std::filesystem::create_directory(gone);
    elsewhere.Write("gone/p.txt", "p.txt");
    Run(gone, {"p.txt"}, kAddX);
    CutTheNewestJournal();
    std::filesystem::remove_all(gone);
    const std::vector<InterruptedRun> runs = Interrupted();
    ASSERT_EQ(runs.size(), 2U);
    const std::string bad = JournalFolder() + "/0-broken.journal";
    {
        std::FILE* f = std::fopen(bad.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs("not a journal\n", f);
        std::fclose(f);
    }
    std::filesystem::permissions(bad,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

    CopyLanguageFiles();
    IniFile(SettingsPath()).WriteInteger("OPTIONS", "LANGUAGE", 1);
    const QStringList asked = StartAnswering({});
    ASSERT_EQ(asked.size(), 2);
    const auto english = [](const std::string& folder) {
        return QStringLiteral("The renaming of the folder “") + QString::fromStdString(ShownName(folder)) +
               QStringLiteral("”, begun on ");
    };
    const char* format = "%Y-%m-%d at %H:%M:%S";
    EXPECT_EQ(asked[0], english(gone) + Begun(runs[0].begun, format) +
                            ", was interrupted (1 of 1 file(s) renamed).\n"
                            "This folder is no longer there: nothing can be put back or finished in it.\n"
                            "“Forget” leaves the files as they are and stops asking.");
    EXPECT_EQ(asked[1],
              english(folder_.path()) + Begun(runs[1].begun, format) +
                  ", was interrupted (2 of 3 file(s) renamed).\n"
                  "It can be neither undone nor finished now: a later renaming of this folder must be "
                  "undone first.\n"
                  "“Forget” leaves the files as they are and stops asking.");
    EXPECT_EQ(desktop_.log.messages.size(), 2); // the journals left out, and the script of the command line
    EXPECT_TRUE(
        desktop_.log.messages[0].startsWith(QStringLiteral("Some journals of renamings cannot be used:\n")))
        << desktop_.log.messages[0].toStdString();
    Get<QAction>("MNU_Fancais")->trigger();
}

} // namespace
} // namespace quorvel::test
