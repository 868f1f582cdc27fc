// One language at a time: with English chosen, every message, question, button
// and status of the window is English, the run's and the engine's included; with
// French, every one is French as it always was.
#include "browser/file_grid.hpp"
#include "editor/example_list.hpp"
#include "editor/script_document.hpp"
#include "files/history/recorded_runs.hpp"
#include "files/run/journal_store.hpp"
#include "settings/ini_file.hpp"
#include "support/text.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <ctime>
#include <functional>
#include <optional>

namespace quorvel::test {
namespace {

class WindowLanguage : public MainWindowTest {
protected:
    ScriptDocument& Doc() const { return Controller().Script(); }
    void SetScript(std::initializer_list<const char*> lines) {
        ScriptLines script;
        for (const char* line : lines) {
            script.push_back(T(line));
        }
        Doc().Load(std::move(script));
    }
    void CtrlA() { QTest::keyClick(Get<TFileGrid>("StringGridFiles"), Qt::Key_A, Qt::ControlModifier); }
    QString Status() const { return Get<QLabel>("RunStatus")->text(); }
    void StartIn(bool english, const QStringList& arguments = {}) {
        CopyLanguageFiles();
        IniFile(SettingsPath()).WriteInteger("OPTIONS", "LANGUAGE", english ? 1 : 0);
        Start(arguments);
    }
    QString Last(const QStringList& list) const { return list.isEmpty() ? QString() : list.back(); }
    static QString LocalTime(std::int64_t seconds, const char* format) {
        const std::time_t t = seconds;
        std::tm local{};
        localtime_r(&t, &local);
        char text[64];
        std::strftime(text, sizeof text, format, &local);
        return QString::fromUtf8(text);
    }
};

TEST_F(WindowLanguage, EveryMessageOfTheWindowInEnglish) {
    MakeFiles({"a.txt", "b.txt"});
    const QString missing = QString::fromStdString(program_ / "x.script");
    StartIn(true, {missing});
    QTRY_VERIFY(!desktop_.log.messages.isEmpty());
    EXPECT_EQ(desktop_.log.messages, QStringList({"The file " + missing + " does not exist"}));
    ListFolder();
    CtrlA();

    SetScript({"19|Ajouter [Numéro] au début"});
    Controller().preview(PreviewMode::Interactive);
    EXPECT_EQ(Last(desktop_.log.messages), QStringLiteral("Invalid script..."));

    SetScript({"19|Ajouter [Numéro=a1] au début"});
    Settle();
    EXPECT_EQ(Get<TExampleList>("MemoExemple")->Problem(),
              QStringLiteral("'a1' is not a valid integer value"));
    Controller().preview(PreviewMode::Interactive);
    EXPECT_EQ(desktop_.log.errors, QStringList({"'a1' is not a valid integer value"}));

    SetScript({"11|Remplacer tout par [Chaine=x.txt]"});
    desktop_.log.answer = false;
    Get<QAction>("Action_Executer")->trigger();
    EXPECT_EQ(Last(desktop_.log.confirmations),
              QStringLiteral("Confirmation|Are you sure you want to rename the selected files?\n"
                             "1 to rename, 0 unchanged, 1 in conflict"));
    desktop_.log.answer = true;
    Get<QAction>("Action_Executer")->trigger();
    EXPECT_EQ(Status(), QStringLiteral("1 renamed, 0 unchanged, 1 failed"));
    const QString failures = ShownToolTip("RunStatus");
    EXPECT_TRUE(failures.startsWith(QStringLiteral("“b.txt” → “x.txt”: "))) << failures.toStdString();
    EXPECT_FALSE(failures.contains(QStringLiteral("déjà"))) << failures.toStdString();
    Get<QAction>("MNU_UNDO")->trigger();
    EXPECT_EQ(Status(), QStringLiteral("1 back under their old names, 0 failed"));
    Controller().undo();
    EXPECT_EQ(Last(desktop_.log.messages), QStringLiteral("Nothing to undo"));

    // A run stopped after its first rename, and its undo.
    CtrlA();
    SetScript({"14|Ajouter [Chaine=x_] au début"});
    Controller().startProgress = [](const QString&) -> ProgressHook {
        return [](std::size_t, std::size_t) { return false; };
    };
    Controller().run(RunMode::Unattended);
    EXPECT_EQ(Status(), QStringLiteral("stopped: 1 renamed, 1 not done"));
    Controller().startProgress = nullptr;
    Get<QAction>("MNU_UNDO")->trigger();
    EXPECT_EQ(Status(), QStringLiteral("1 back under their old names, 0 failed"));
    EXPECT_EQ(messages::RunProgress(), QStringLiteral("Renaming the files..."));
    EXPECT_EQ(messages::UndoProgress(), QStringLiteral("Undoing the last renaming..."));
    EXPECT_EQ(messages::StopButton(), QStringLiteral("Stop"));

    // "Effacer" on a line that is gone.
    SetScript({"1|Supprimer les [n=1] premiers caractères"});
    Controller().clickPlaceholder(0, 0);
    Get<QAction>("Action_Effacer")->trigger();
    Get<QAction>("Action_Effacer")->trigger();
    EXPECT_EQ(Last(desktop_.log.errors), QStringLiteral("List index out of bounds (0)"));

    // Script files: saving where no file can be made, opening what is missing or
    // not a script, a changed script, the dialogs' filter.
    Doc().Append(T("7|Supprimer tous les espaces"));
    const std::string uncreatable = program_ / "missing-folder/essai.script";
    desktop_.log.saveFileName = QString::fromStdString(program_ / "missing-folder/essai");
    Get<QAction>("MNU_SAVEAS")->trigger();
    EXPECT_EQ(Last(desktop_.log.errors), "Cannot create file " + QString::fromStdString(uncreatable));
    EXPECT_EQ(Last(desktop_.log.dialogFilters), QStringLiteral("Script file (*.script)"));
    desktop_.log.saveAnswer = DesktopLog::SaveAnswer::Discard;
    const std::string absent = program_ / "absent.script";
    desktop_.log.openFileName = QString::fromStdString(absent);
    Get<QAction>("MNU_OPEN")->trigger();
    EXPECT_EQ(Last(desktop_.log.saveQuestions), QStringLiteral("Save the changes to the script?"));
    EXPECT_EQ(Last(desktop_.log.errors), "Cannot open file " + QString::fromStdString(absent));
    const std::string photo =
        program_.Write("photo.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00", 11));
    desktop_.log.openFileName = QString::fromStdString(photo);
    Get<QAction>("MNU_OPEN")->trigger();
    EXPECT_EQ(Last(desktop_.log.errors), "The file " + QString::fromStdString(photo) + " is not a script");
    EXPECT_EQ(Last(desktop_.log.dialogFilters), QStringLiteral("Script file (*.script)"));

    // The sizes in the grid.
    const QString size = FileCellDelegate::DetailText(1536, 0);
    EXPECT_TRUE(size.contains(QStringLiteral(" KB"))) << size.toStdString();
    EXPECT_TRUE(FileCellDelegate::DetailText(12, 0).startsWith(QStringLiteral("12 B")));

    // The settings file cannot be written when the window closes.
    std::filesystem::remove(SettingsPath());
    std::filesystem::create_directory(SettingsPath());
    EXPECT_TRUE(window_->close());
    EXPECT_EQ(Last(desktop_.log.errors), "Cannot write to " + QString::fromStdString(SettingsPath()));
    std::filesystem::remove(SettingsPath());

    // At the next start, the run left in the middle.
    window_.reset();
    StartIn(false);
    ListFolder();
    CtrlA();
    SetScript({"14|Ajouter [Chaine=y_] au début"});
    Controller().run(RunMode::Unattended);
    window_->close();
    CutTheNewestJournal();
    const std::vector<InterruptedRun> runs = ListInterruptedRuns(JournalFolder()).runs;
    ASSERT_EQ(runs.size(), 1U);
    desktop_.log.interruptedAnswer = DesktopServices::InterruptedAnswer::Undo;
    StartIn(true);
    QTRY_VERIFY(!desktop_.log.interruptedQuestions.isEmpty());
    EXPECT_EQ(
        desktop_.log.interruptedQuestions.back(),
        "The renaming of the folder “" + QString::fromStdString(folder_.path()) + "”, begun on " +
            LocalTime(runs[0].begun, "%Y-%m-%d at %H:%M:%S") +
            ", was interrupted (2 of 2 file(s) renamed).\nPut the old names back, or finish the renaming?");
    EXPECT_EQ(Status(), QStringLiteral("2 back under their old names, 0 failed"));
    Get<QAction>("MNU_Fancais")->trigger();
}

// Back in French, the same messages are the French ones, as they always were.
TEST_F(WindowLanguage, BackInFrenchEveryMessageIsFrench) {
    MakeFiles({"a.txt", "b.txt"});
    StartIn(true);
    Get<QAction>("MNU_Fancais")->trigger();
    ListFolder();
    CtrlA();
    SetScript({"19|Ajouter [Numéro] au début"});
    Controller().preview(PreviewMode::Interactive);
    EXPECT_EQ(Last(desktop_.log.messages), QStringLiteral("Script invalide..."));
    SetScript({"19|Ajouter [Numéro=a1] au début"});
    Controller().preview(PreviewMode::Interactive);
    EXPECT_EQ(Last(desktop_.log.errors), QStringLiteral("'a1' n'est pas une valeur entière correcte"));
    SetScript({"11|Remplacer tout par [Chaine=x.txt]"});
    desktop_.log.answer = false;
    Get<QAction>("Action_Executer")->trigger();
    EXPECT_EQ(
        Last(desktop_.log.confirmations),
        QStringLiteral("Confirmation|êtes-vous sûr de vouloir modifier le nom des fichiers sélectionnés ?\n"
                       "1 à renommer, 0 inchangés, 1 en conflit"));
    desktop_.log.answer = true;
    Get<QAction>("Action_Executer")->trigger();
    EXPECT_EQ(Status(), QStringLiteral("1 renommé(s), 0 inchangé(s), 1 échec(s)"));
    EXPECT_TRUE(ShownToolTip("RunStatus").startsWith(QStringLiteral("« b.txt » → « x.txt » : ")));
    Get<QAction>("MNU_UNDO")->trigger();
    EXPECT_EQ(Status(), QStringLiteral("1 remis sous leur ancien nom, 0 échecs"));
    desktop_.log.openFileName = QString::fromStdString(program_ / "absent.script");
    Get<QAction>("MNU_OPEN")->trigger();
    EXPECT_EQ(Last(desktop_.log.errors),
              "Impossible d'ouvrir le fichier " + QString::fromStdString(program_ / "absent.script"));
    EXPECT_EQ(Last(desktop_.log.dialogFilters), QStringLiteral("Fichier Script (*.script)"));
    EXPECT_TRUE(FileCellDelegate::DetailText(1536, 0).contains(QStringLiteral(" Ko")));
    EXPECT_EQ(messages::StopButton(), QStringLiteral("Arrêter"));
}

// The buttons of the window's own boxes, as the desktop shows them.
TEST_F(WindowLanguage, TheButtonsOfTheBoxesSpeakTheLanguageShown) {
    StartIn(true);
    // The real boxes, not the recorded ones.
    std::unique_ptr<DesktopServices> recorded = SetDesktop(nullptr);
    const auto buttonsOf = [this](const std::function<void()>& ask) {
        QStringList captions;
        QTimer::singleShot(0, window_.get(), [&captions] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            for (QAbstractButton* button : box->buttons()) {
                captions.push_back(button->text());
            }
            std::sort(captions.begin(), captions.end());
            box->reject();
        });
        ask();
        return captions;
    };
    const auto confirm = [this] {
        Desktop().Confirm(window_.get(), messages::ConfirmTitle(), messages::ConfirmRun());
    };
    const auto save = [this] { Desktop().AskToSave(window_.get(), messages::SaveChanges()); };
    const auto interrupted = [this] {
        Desktop().AskAboutInterruptedRun(window_.get(), QStringLiteral("?"), {});
    };
    // A run that can only be forgotten or left.
    const auto forgettable = [this] {
        Desktop().AskAboutInterruptedRun(window_.get(), QStringLiteral("?"), {false, false, true});
    };
    EXPECT_EQ(buttonsOf(confirm), QStringList({"&No", "&Yes"}));
    EXPECT_EQ(buttonsOf(save), QStringList({"&No", "&Yes", "Cancel"}));
    EXPECT_EQ(buttonsOf(interrupted),
              QStringList({"Finish the renaming", "Later", "Put the old names back"}));
    EXPECT_EQ(buttonsOf(forgettable), QStringList({"Forget", "Later"}));
    Get<QAction>("MNU_Fancais")->trigger();
    EXPECT_EQ(buttonsOf(confirm), QStringList({"&Non", "&Oui"}));
    EXPECT_EQ(buttonsOf(save), QStringList({"&Non", "&Oui", "Annuler"}));
    EXPECT_EQ(buttonsOf(interrupted),
              QStringList({"Plus tard", "Remettre les anciens noms", "Terminer le renommage"}));
    EXPECT_EQ(buttonsOf(forgettable), QStringList({"Oublier", "Plus tard"}));
    SetDesktop(std::move(recorded));
}

// A name in a box (a folder, a script) is shown as it is, never read as markup
// that could hide the rest of the text.
TEST_F(WindowLanguage, TheBoxesNeverReadANameAsMarkup) {
    StartIn(false);
    std::unique_ptr<DesktopServices> recorded = SetDesktop(nullptr);
    const QString text =
        messages::InterruptedRun(QStringLiteral("« <font color=white>x »"), QStringLiteral("<b>"), 1, 2);
    const auto formatOf = [this](const std::function<void()>& ask) {
        std::optional<Qt::TextFormat> format;
        QTimer::singleShot(0, window_.get(), [&format] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
                format = label->textFormat();
            }
            box->reject();
        });
        ask();
        return format;
    };
    EXPECT_EQ(formatOf([&] { Desktop().ShowMessage(window_.get(), text); }), Qt::PlainText);
    EXPECT_EQ(formatOf([&] { Desktop().ShowError(window_.get(), text); }), Qt::PlainText);
    EXPECT_EQ(formatOf([&] { Desktop().Confirm(window_.get(), messages::ConfirmTitle(), text); }),
              Qt::PlainText);
    EXPECT_EQ(formatOf([&] { Desktop().AskToSave(window_.get(), text); }), Qt::PlainText);
    EXPECT_EQ(formatOf([&] { Desktop().AskAboutInterruptedRun(window_.get(), text, {}); }), Qt::PlainText);
    SetDesktop(std::move(recorded));
}

} // namespace
} // namespace quorvel::test
