// The script editor of the main window: commands dropped and removed, parameters
// entered by clicking their links, preview and run, script files, command line.
#include "bridge/qt_text.hpp"
#include "editor/command_tree.hpp"
#include "editor/edit_number.hpp"
#include "editor/example_list.hpp"
#include "editor/parameter_panel.hpp"
#include "editor/script_document.hpp"
#include "editor/script_view.hpp"
#include "engine/catalogue.hpp"
#include "engine/codec.hpp"
#include "engine/name_template.hpp"
#include "engine/script_file.hpp"
#include "support/text.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QStatusBar>
#include <QTextBlock>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>

namespace quorvel::test {
namespace {

class Editor : public MainWindowTest {
protected:
    TEditNumber* EdInteger() const { return Get<TEditNumber>("EdInteger"); }
    QLineEdit* EdString() const { return Get<QLineEdit>("EdString"); }
    QLineEdit* EdNumber() const { return Get<QLineEdit>("EdNumber"); }
    QLineEdit* EdPattern() const { return Get<QLineEdit>("EdPattern"); }
    QLineEdit* EdTemplate() const { return Get<QLineEdit>("EdTemplate"); }
    QToolButton* BtnOk() const { return Get<QToolButton>("BtnOk"); }
    TScriptView* HTMLViewer() const { return Get<TScriptView>("HTMLViewer"); }
    // The script being edited.
    ScriptDocument& Doc() const { return Controller().Script(); }

    // Drops tree node `number` on the script view, as a drag from the tree would.
    bool Drop(int number) {
        TCommandTree* tree = Get<TCommandTree>("TreeViewCommande");
        QTreeWidgetItem* node = tree->Node(number);
        tree->setCurrentItem(node);
        QModelIndex index;
        if (node->parent() == nullptr) {
            index = tree->model()->index(tree->indexOfTopLevelItem(node), 0);
        } else {
            const QModelIndex group = tree->model()->index(tree->indexOfTopLevelItem(node->parent()), 0);
            index = tree->model()->index(node->parent()->indexOfChild(node), 0, group);
        }
        std::unique_ptr<QMimeData> data(tree->model()->mimeData({index}));
        QWidget* target = HTMLViewer()->viewport();
        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        QDropEvent drop(QPointF(20, 20), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }

    // Clicks the `ordinal`-th link of script line `line` in the script view.
    void ClickLink(int line, int ordinal) {
        TScriptView* view = HTMLViewer();
        int seen = 0;
        for (QTextBlock block = view->document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextCharFormat format = it.fragment().charFormat();
                if (!format.anchorNames().isEmpty() && format.anchorNames().front().toInt() == line &&
                    seen != format.property(QTextFormat::UserProperty + 1).toInt() && ++seen == ordinal) {
                    QTextCursor cursor(view->document());
                    cursor.setPosition(it.fragment().position() + 1);
                    const QRect r = view->cursorRect(cursor);
                    QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                                      QPoint(std::max(0, r.left() - 3), r.center().y()));
                    return;
                }
            }
        }
        ADD_FAILURE() << "no link " << ordinal << " on line " << line;
    }

    std::vector<std::string> Script() const {
        std::vector<std::string> lines;
        for (const Text& line : Doc().Lines()) {
            lines.push_back(EncodeName(line));
        }
        return lines;
    }

    QLineEdit* VisibleBox() const {
        for (QLineEdit* box :
             {static_cast<QLineEdit*>(EdInteger()), EdString(), EdNumber(), EdPattern(), EdTemplate()}) {
            if (box->isVisible()) {
                return box;
            }
        }
        return nullptr;
    }

    void SetScript(std::initializer_list<const char*> lines) {
        ScriptLines script;
        for (const char* line : lines) {
            script.push_back(T(line));
        }
        Doc().Load(std::move(script));
    }

    QStringList Preview() const {
        return Get<TExampleList>("MemoExemple")->toPlainText().split('\n', Qt::SkipEmptyParts);
    }
};

TEST_F(Editor, DroppingACommandAppendsItsLineAndAGroupIsRefused) {
    Start();
    EXPECT_FALSE(Drop(0)); // the group "Supprimer"
    EXPECT_TRUE(Doc().Lines().empty());
    EXPECT_TRUE(Drop(1));
    EXPECT_TRUE(Drop(1));
    EXPECT_TRUE(Drop(10));
    EXPECT_TRUE(Drop(28));
    EXPECT_EQ(Script(), (std::vector<std::string>{
                            "1|Supprimer les [n] premiers caractères",
                            "1|Supprimer les [n] premiers caractères", "10|Remplacer [Chaine1] par [Chaine2]",
                            "28|Déplacer Les [n] caractères de la position [nième] à [mième]"}));
    ASSERT_EQ(Doc().HtmlLines().size(), 4);
    EXPECT_TRUE(Doc().HtmlLines()[1].contains(QStringLiteral("Name=\"1\"")));
    EXPECT_EQ(HTMLViewer()->DocumentText(),
              Doc().HtmlLines().join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
    // A drag from anywhere else is refused.
    QMimeData text;
    text.setText(QStringLiteral("1|Supprimer"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(HTMLViewer()->viewport(), &enter);
    EXPECT_FALSE(enter.isAccepted());
}

TEST_F(Editor, ClickingAPlaceholderOpensTheBoxOfItsKind) {
    Start();
    SetScript({"16|Ajouter [Chaine] à la [nième] postion", "19|Ajouter [Numéro] au début",
               "12|Remplacer l'extention par [Extension]", "10|Remplacer [Chaine1] par [Chaine2]"});
    struct Case {
        int line;
        int ordinal;
        QLineEdit* box;
        const char* text;
    };
    for (const Case& c : {Case{0, 1, EdString(), "Chaine"}, Case{0, 2, EdInteger(), "nième"},
                          Case{1, 1, EdNumber(), "Numéro"}, Case{2, 1, EdString(), "Extension"},
                          Case{3, 1, EdString(), "Chaine1"}, Case{3, 2, EdString(), "Chaine2"}}) {
        ClickLink(c.line, c.ordinal);
        EXPECT_EQ(VisibleBox(), c.box) << c.text;
        EXPECT_TRUE(BtnOk()->isVisible());
        EXPECT_EQ(c.box->text().toStdString(), c.text);
        EXPECT_EQ(c.box->selectedText().toStdString(), c.text);
        EXPECT_EQ(Controller().ClickedLine(), c.line);
        EXPECT_EQ(HTMLViewer()->textCursor().selectedText().toStdString(), c.text);
    }
}

TEST_F(Editor, EnterWritesTheValueIntoTheClickedPlaceholder) {
    MakeFiles({"abcdef.txt"});
    Start();
    ListFolder();
    Click(1);
    SetScript({"1|Supprimer les [n] premiers caractères"});
    ClickLink(0, 1);
    ASSERT_EQ(VisibleBox(), EdInteger());
    QTest::keyClicks(EdInteger(), QStringLiteral("3"));
    QTest::keyClick(EdInteger(), Qt::Key_Return);
    EXPECT_EQ(Script(), std::vector<std::string>{"1|Supprimer les [n=3] premiers caractères"});
    EXPECT_EQ(VisibleBox(), nullptr);
    EXPECT_FALSE(BtnOk()->isVisible());
    Settle();
    EXPECT_EQ(Preview(), QStringList({"def.txt"})); // the preview followed, silently
    // A click on the value, a new one and OK.
    ClickLink(0, 1);
    EXPECT_EQ(EdInteger()->text().toStdString(), "3");
    EdInteger()->setText(QStringLiteral("5"));
    QTest::mouseClick(BtnOk(), Qt::LeftButton);
    EXPECT_EQ(Script(), std::vector<std::string>{"1|Supprimer les [n=5] premiers caractères"});
    // An empty value is written and its link stays clickable.
    ClickLink(0, 1);
    EdInteger()->clear();
    QTest::mouseClick(BtnOk(), Qt::LeftButton);
    EXPECT_EQ(Script(), std::vector<std::string>{"1|Supprimer les [n=] premiers caractères"});
    ClickLink(0, 1);
    EXPECT_EQ(VisibleBox(), EdInteger());
    EXPECT_EQ(EdInteger()->text().toStdString(), "");
    EXPECT_TRUE(desktop_.log.messages.isEmpty());
}

// Any character can be entered: what would shape the line is stored as a code, the
// view, the box and the preview show the value, and the file keeps the codes.
TEST_F(Editor, AValueOfAnyCharactersIsStoredEncodedAndShownDecoded) {
    MakeFiles({"a.txt"});
    Start();
    ListFolder();
    Click(1);
    SetScript({"14|Ajouter [Chaine] au début"});
    ClickLink(0, 1);
    EdString()->setText(QStringLiteral("[x]=|%5B"));
    QTest::mouseClick(BtnOk(), Qt::LeftButton);
    EXPECT_EQ(VisibleBox(), nullptr);
    EXPECT_EQ(Script(), std::vector<std::string>{"14|Ajouter [Chaine=%5Bx%5D%3D%7C%255B] au début"});
    EXPECT_EQ(HTMLViewer()->toPlainText().toStdString(), "Ajouter [x]=|%5B au début");
    Settle();
    EXPECT_EQ(Preview(), QStringList({"[x]=|%5Ba.txt"}));

    desktop_.log.saveFileName = QString::fromStdString(program_ / "coded");
    Get<QAction>("MNU_SAVEAS")->trigger();
    EXPECT_EQ(ReadFileBytes(program_ / "coded.script"), "14|Ajouter [Chaine=%5Bx%5D%3D%7C%255B] au d\xE9"
                                                        "but\r\n");
    Get<QAction>("MNU_ClearAll")->trigger();
    desktop_.log.openFileName = QString::fromStdString(program_ / "coded.script");
    Get<QAction>("MNU_OPEN")->trigger();
    EXPECT_EQ(HTMLViewer()->toPlainText().toStdString(), "Ajouter [x]=|%5B au début");
    ClickLink(0, 1);
    EXPECT_EQ(EdString()->text().toStdString(), "[x]=|%5B");
    EXPECT_TRUE(desktop_.log.messages.isEmpty());
}

// The pattern box compiles what is typed and says why it does not compile; OK and
// Enter are refused until it does.
TEST_F(Editor, ThePatternBoxRefusesAPatternThatDoesNotCompile) {
    MakeFiles({"IMG_0042.jpg"});
    Start();
    ListFolder();
    Click(1);
    ASSERT_TRUE(Drop(37));
    ClickLink(0, 1);
    ASSERT_EQ(VisibleBox(), EdPattern());
    EXPECT_EQ(EdPattern()->text().toStdString(), "Motif");
    auto* problem = Get<QLabel>("LabPatternProblem");
    EdPattern()->setText(QStringLiteral("(\\d+"));
    EXPECT_TRUE(problem->isVisible());
    EXPECT_EQ(problem->text().toStdString(),
              "Expression invalide : missing closing parenthesis à la position 5");
    EXPECT_FALSE(BtnOk()->isEnabled());
    QTest::keyClick(EdPattern(), Qt::Key_Return);
    EXPECT_EQ(VisibleBox(), EdPattern());
    EXPECT_EQ(Script(), std::vector<std::string>{"37|Rechercher [Motif] et remplacer par [Chaine2]"});

    QTest::keyClicks(EdPattern(), QStringLiteral(")"));
    EXPECT_EQ(problem->text(), QString());
    EXPECT_TRUE(BtnOk()->isEnabled());
    QTest::keyClick(EdPattern(), Qt::Key_Return);
    EXPECT_EQ(VisibleBox(), nullptr);
    EXPECT_FALSE(problem->isVisible());
    ClickLink(0, 2);
    ASSERT_EQ(VisibleBox(), EdString());
    EdString()->setText(QStringLiteral("[$1]"));
    QTest::keyClick(EdString(), Qt::Key_Return);
    EXPECT_EQ(Script(),
              std::vector<std::string>{"37|Rechercher [Motif=(\\d+)] et remplacer par [Chaine2=%5B$1%5D]"});
    Settle();
    EXPECT_EQ(Preview(), QStringList({"IMG_[0042].jpg"}));
    EXPECT_TRUE(desktop_.log.messages.isEmpty());
}

// The template box reads what is typed and says why it cannot be read; OK and Enter
// are refused until it can. Its menu puts a token where the cursor is.
TEST_F(Editor, TheTemplateBoxOffersTokensAndRefusesATemplateThatCannotBeRead) {
    MakeFiles({"IMG_0042.jpg"});
    Start();
    ListFolder();
    Click(1);
    ASSERT_TRUE(Drop(41));
    ClickLink(0, 1);
    ASSERT_EQ(VisibleBox(), EdTemplate());
    EXPECT_EQ(EdTemplate()->text().toStdString(), "Modèle");
    auto* tokens = Get<QToolButton>("BtnTemplateTokens");
    auto* problem = Get<QLabel>("LabTemplateProblem");
    EXPECT_TRUE(tokens->isVisible());
    EXPECT_TRUE(problem->isVisible());
    EXPECT_FALSE(Get<QLabel>("LabPatternProblem")->isVisible());

    EdTemplate()->setText(QStringLiteral("{taken:%q}"));
    EXPECT_EQ(problem->text().toStdString(), "Modèle invalide : format inconnu « %q » à la position 8");
    EXPECT_FALSE(BtnOk()->isEnabled());
    QTest::keyClick(EdTemplate(), Qt::Key_Return);
    EXPECT_EQ(VisibleBox(), EdTemplate());
    EXPECT_EQ(Script(), std::vector<std::string>{"41|Composer [Modèle] au début"});

    // A token from the menu, where the cursor is.
    EdTemplate()->setText(QStringLiteral("_"));
    EdTemplate()->setCursorPosition(0);
    QAction* number = nullptr;
    for (QAction* action : tokens->menu()->actions()) {
        if (action->text() == QStringLiteral("{n:001}")) {
            number = action;
        }
    }
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(tokens->menu()->actions().size(), TemplateTokens().size());
    number->trigger();
    EXPECT_EQ(EdTemplate()->text(), QStringLiteral("{n:001}_"));
    EXPECT_EQ(problem->text(), QString());
    EXPECT_TRUE(BtnOk()->isEnabled());
    QTest::keyClick(EdTemplate(), Qt::Key_Return);
    EXPECT_EQ(VisibleBox(), nullptr);
    EXPECT_FALSE(tokens->isVisible());
    EXPECT_FALSE(problem->isVisible());
    EXPECT_EQ(Script(), std::vector<std::string>{"41|Composer [Modèle={n:001}_] au début"});
    Settle();
    EXPECT_EQ(Preview(), QStringList({"001_IMG_0042.jpg"}));
    // Every token the menu offers can be read.
    for (const QString& token : TemplateTokens()) {
        EXPECT_EQ(NameTemplate(FromQString(token)).Problem(), std::nullopt) << token.toStdString();
    }
    EXPECT_TRUE(desktop_.log.messages.isEmpty());
}

// A script whose pattern does not compile is neither previewed nor run: the window
// says why, as it does of an invalid script.
TEST_F(Editor, APatternThatDoesNotCompileStopsThePreviewAndTheRun) {
    MakeFiles({"a.txt"});
    Start();
    ListFolder();
    Click(1);
    SetScript({"38|Rechercher [Motif=a(] et remplacer le premier par [Chaine2=b]"});
    QTest::mouseClick(Get<QToolButton>("BtnVoir"), Qt::LeftButton);
    EXPECT_TRUE(Preview().isEmpty());
    Get<QAction>("Action_Executer")->trigger();
    const QString why = QStringLiteral("Expression invalide : missing closing parenthesis à la position 3");
    EXPECT_EQ(desktop_.log.messages, QStringList({why, why}));
    EXPECT_TRUE(desktop_.log.confirmations.isEmpty()) << "nothing is asked before the run is refused";
    EXPECT_TRUE(std::filesystem::exists(folder_.path() + "/a.txt"));
}

// A template is told the folder and the place of each file; one that cannot be read
// stops the preview and the run, the window says why.
TEST_F(Editor, TemplatesNameTheFilesAndOneThatCannotBeReadStopsThePreviewAndTheRun) {
    MakeFiles({"a.txt"});
    Start();
    ListFolder();
    Click(1);
    SetScript({"40|Composer le nom avec [Modèle={folder}_{n:01}]"});
    Settle();
    const std::string folder = std::filesystem::path(folder_.path()).filename().string();
    EXPECT_EQ(Preview(), QStringList({QString::fromStdString(folder + "_01.txt")}));
    EXPECT_TRUE(desktop_.log.messages.isEmpty());

    SetScript({"41|Composer [Modèle={x}] au début"});
    QTest::mouseClick(Get<QToolButton>("BtnVoir"), Qt::LeftButton);
    EXPECT_TRUE(Preview().isEmpty());
    Get<QAction>("Action_Executer")->trigger();
    const QString why = QStringLiteral("Modèle invalide : jeton inconnu « x » à la position 2");
    EXPECT_EQ(desktop_.log.messages, QStringList({why, why}));
    EXPECT_TRUE(desktop_.log.confirmations.isEmpty()) << "nothing is asked before the run is refused";
    EXPECT_TRUE(std::filesystem::exists(folder_.path() + "/a.txt"));
}

// Closing with a changed script asks first; "Annuler" keeps the window, "Oui" saves.
TEST_F(Editor, ClosingAChangedScriptAsksToSaveIt) {
    MainWindow& w = Start();
    SetScript({"7|Supprimer tous les espaces"}); // read, not changed by the user
    Doc().Append(T("8|Supprimer tous les accents"));
    desktop_.log.saveAnswer = DesktopLog::SaveAnswer::Cancel;
    EXPECT_FALSE(w.close());
    EXPECT_EQ(desktop_.log.saveQuestions, QStringList({"Enregistrer les modifications du script ?"}));
    desktop_.log.saveAnswer = DesktopLog::SaveAnswer::Save;
    desktop_.log.saveFileName = QString::fromStdString(program_ / "kept");
    EXPECT_TRUE(w.close());
    EXPECT_EQ(ReadFileBytes(program_ / "kept.script"),
              "7|Supprimer tous les espaces\r\n8|Supprimer tous les accents\r\n");
}

TEST_F(Editor, TheValueGoesToTheClickedSlotEvenWhenItsNameAppearsEarlier) {
    Start();
    SetScript({"16|Ajouter [Chaine=nième] à la [nième] postion", "14|Ajouter [Chaine=my file] au début"});
    ClickLink(0, 2);
    ASSERT_EQ(VisibleBox(), EdInteger());
    EdInteger()->setText(QStringLiteral("2"));
    QTest::mouseClick(BtnOk(), Qt::LeftButton);
    // A value with a word delimiter is edited as a whole.
    ClickLink(1, 1);
    ASSERT_EQ(VisibleBox(), EdString());
    EXPECT_EQ(EdString()->text().toStdString(), "my file");
    EdString()->setText(QStringLiteral("a/b;c%41"));
    QTest::mouseClick(BtnOk(), Qt::LeftButton);
    EXPECT_EQ(Script(), (std::vector<std::string>{"16|Ajouter [Chaine=nième] à la [nième=2] postion",
                                                  "14|Ajouter [Chaine=a/b;c%41] au début"}));
}

TEST_F(Editor, PlaceholdersOfEitherLanguageOpenTheirBox) {
    Start();
    SetScript({"16|Ajouter [Chaine] à la [nième] postion", "19|Add [Number] at the start"});
    Get<QAction>("MNU_Anglais")->trigger();
    ClickLink(0, 1); // a French placeholder under the English interface
    EXPECT_EQ(VisibleBox(), EdString());
    ClickLink(1, 1);
    EXPECT_EQ(VisibleBox(), EdNumber());
    ClickLink(0, 2);
    EXPECT_EQ(VisibleBox(), EdInteger());
    Get<QAction>("MNU_Fancais")->trigger();
}

TEST_F(Editor, EffacerDeletesTheLineClickedLastAndReportsAMissingLine) {
    Start();
    EXPECT_FALSE(Get<QAction>("Action_Effacer")->isEnabled());
    SetScript({"1|Supprimer les [n=1] premiers caractères", "2|Supprimer les [n=2] derniers caratères",
               "24|Déplacer Les [n=3] premiers caractères à la fin"});
    ClickLink(2, 1);
    EXPECT_TRUE(Get<QAction>("Action_Effacer")->isEnabled());
    Get<QAction>("Action_Effacer")->trigger();
    EXPECT_EQ(Doc().Lines().size(), 2U);
    Get<QAction>("Action_Effacer")->trigger();
    EXPECT_EQ(Doc().Lines().size(), 2U);
    EXPECT_EQ(desktop_.log.errors, QStringList({"Indice de liste hors limites (2)"}));
    // After a deletion the later lines carry the lower names.
    ClickLink(0, 1);
    Get<QAction>("Action_Effacer")->trigger();
    EXPECT_EQ(Script(), std::vector<std::string>{"2|Supprimer les [n=2] derniers caratères"});
    EXPECT_TRUE(Doc().HtmlLines()[0].contains(QStringLiteral("Name=\"0\"")));
    Get<QAction>("MNU_ClearAll")->trigger();
    EXPECT_TRUE(Doc().Lines().empty() && Doc().HtmlLines().isEmpty());
    EXPECT_TRUE(HTMLViewer()->toPlainText().isEmpty());
    Get<QAction>("MNU_ClearAll")->trigger(); // on an empty script
    EXPECT_TRUE(Doc().Lines().empty());
}

TEST_F(Editor, PreviewNumbersInRowOrderAndWarnsAboutAnIncompleteScript) {
    MakeFiles({"a.txt", "b.txt", "c.txt"});
    Start();
    ListFolder();
    Click(2);
    Click(1, Qt::ControlModifier); // clicked after b, listed first
    SetScript({"19|Ajouter [Numéro=1] au début"});
    EXPECT_TRUE(Get<QToolButton>("BtnVoir")->isEnabled());
    QTest::mouseClick(Get<QToolButton>("BtnVoir"), Qt::LeftButton);
    EXPECT_EQ(Preview(), QStringList({"1a.txt", "2b.txt"}));
    QTest::mouseClick(Get<QToolButton>("BtnVoir"), Qt::LeftButton); // the counter restarts every time
    EXPECT_EQ(Preview(), QStringList({"1a.txt", "2b.txt"}));
    SetScript({"19|Ajouter [Numéro] au début"});
    EXPECT_FALSE(Get<QToolButton>("BtnVoir")->isEnabled());
    Controller().preview(PreviewMode::Interactive);
    EXPECT_EQ(desktop_.log.messages, QStringList({"Script invalide..."}));
    EXPECT_TRUE(Preview().isEmpty());
    SetScript({"19|Ajouter [Numéro=a1] au début"});
    Controller().preview(PreviewMode::Interactive);
    EXPECT_EQ(desktop_.log.errors, QStringList({"'a1' n'est pas une valeur entière correcte"}));
}

TEST_F(Editor, RunAsksFirstRenamesSafelyAndReports) {
    MakeFiles({"a.txt", "b.txt", "c.txt"});
    Start();
    ListFolder();
    QTest::keyClick(Get<TFileGrid>("StringGridFiles"), Qt::Key_A, Qt::ControlModifier);
    SetScript({"11|Remplacer tout par [Chaine=x.txt]"});
    desktop_.log.answer = false;
    Get<QAction>("Action_Executer")->trigger();
    EXPECT_EQ(
        desktop_.log.confirmations,
        QStringList({"Confirmation|êtes-vous sûr de vouloir modifier le nom des fichiers sélectionnés ?\n"
                     "1 à renommer, 0 inchangés, 2 en conflit"}));
    EXPECT_TRUE(std::filesystem::exists(folder_ / "a.txt"));

    desktop_.log.answer = true;
    Get<QAction>("Action_Executer")->trigger();
    // Three files mapped to one name: the first is renamed, the others keep theirs.
    EXPECT_EQ(ReadFileBytes(folder_ / "x.txt"), "a.txt");
    EXPECT_EQ(ReadFileBytes(folder_ / "b.txt"), "b.txt");
    EXPECT_EQ(ReadFileBytes(folder_ / "c.txt"), "c.txt");
    EXPECT_EQ(Get<QLabel>("RunStatus")->text(), QStringLiteral("1 renommé(s), 0 inchangé(s), 2 échec(s)"));
    EXPECT_EQ(ShownToolTip("RunStatus"),
              QStringLiteral("« b.txt » → « x.txt » : « a.txt » reçoit déjà ce nom\n"
                             "« c.txt » → « x.txt » : « a.txt » reçoit déjà ce nom"));
    // The folder is listed again, the renamed file selected under its new name, and
    // the preview is that of the file as it is now named.
    ASSERT_EQ(Controller().Files().Count(), 3U);
    EXPECT_EQ(EncodeName(Controller().Files().Files().Items(2).Name()), "x.txt");
    EXPECT_EQ(Controller().Selection().Indexes(3), std::vector<std::size_t>({2}));
    Settle();
    EXPECT_EQ(Preview(), QStringList({"x.txt"}));
}

// The tooltip of the failures shows each name as the messages of a run do, and
// never reads a name as markup: a name can neither merge the lines nor hide them.
TEST_F(Editor, FailuresInTheTooltipCanNeitherFakeTheLayoutNorHide) {
    MakeFiles({"<font color=white>a", "p -> q", "x\u2028y\u200B"});
    Start();
    ListFolder();
    QTest::keyClick(Get<TFileGrid>("StringGridFiles"), Qt::Key_A, Qt::ControlModifier);
    SetScript({"11|Remplacer tout par [Chaine=x.txt]"});
    desktop_.log.answer = true;
    Get<QAction>("Action_Executer")->trigger();
    EXPECT_EQ(ReadFileBytes(folder_ / "x.txt"), "<font color=white>a");
    EXPECT_EQ(
        ShownToolTip("RunStatus"),
        QStringLiteral("« p -> q » → « x.txt » : « <font color=white>a » reçoit déjà ce nom\n"
                       "« x\\u2028y\\u200B » → « x.txt » : « <font color=white>a » reçoit déjà ce nom"));
}

// Ctrl+Z takes the run back; once nothing is left to take back it is disabled.
TEST_F(Editor, UndoTakesTheLastRunBackAndSelectsTheFilesAgain) {
    MakeFiles({"a.txt", "b.txt"});
    MainWindow& w = Start();
    ListFolder();
    EXPECT_FALSE(Get<QAction>("MNU_UNDO")->isEnabled());
    QTest::keyClick(Get<TFileGrid>("StringGridFiles"), Qt::Key_A, Qt::ControlModifier);
    SetScript({"14|Ajouter [Chaine=x_] au début"});
    Controller().run(RunMode::Unattended);
    EXPECT_TRUE(std::filesystem::exists(folder_ / "x_a.txt") && std::filesystem::exists(folder_ / "x_b.txt"));
    ASSERT_TRUE(Get<QAction>("MNU_UNDO")->isEnabled());
    // Ctrl+Z from the script view, where the focus is after its pop-up menu.
    w.activateWindow();
    HTMLViewer()->setFocus();
    QTest::keyClick(HTMLViewer(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadFileBytes(folder_ / "a.txt"), "a.txt");
    EXPECT_EQ(ReadFileBytes(folder_ / "b.txt"), "b.txt");
    EXPECT_EQ(Get<QLabel>("RunStatus")->text(), QStringLiteral("2 remis sous leur ancien nom, 0 échecs"));
    EXPECT_EQ(Controller().Selection().Indexes(2), std::vector<std::size_t>({0, 1}));
    EXPECT_FALSE(Get<QAction>("MNU_UNDO")->isEnabled());
}

// A run that stopped before its end is offered at start-up, and "Remettre les
// anciens noms" takes back what it did.
TEST_F(Editor, AnInterruptedRunIsOfferedAtStartUp) {
    MakeFiles({"a.txt", "b.txt"});
    {
        MainWindow& w = Start();
        ListFolder();
        QTest::keyClick(Get<TFileGrid>("StringGridFiles"), Qt::Key_A, Qt::ControlModifier);
        SetScript({"14|Ajouter [Chaine=y_] au début"});
        Controller().run(RunMode::Unattended);
        w.close();
    }
    CutTheNewestJournal();
    desktop_.log.interruptedAnswer = DesktopServices::InterruptedAnswer::Undo;
    Start();
    QTRY_VERIFY(!desktop_.log.interruptedQuestions.isEmpty());
    ASSERT_EQ(desktop_.log.interruptedQuestions.size(), 1);
    EXPECT_TRUE(desktop_.log.interruptedQuestions[0].contains(
        QStringLiteral("interrompu (2 fichier(s) renommé(s) sur 2)")));
    EXPECT_EQ(ReadFileBytes(folder_ / "a.txt"), "a.txt");
    EXPECT_EQ(ReadFileBytes(folder_ / "b.txt"), "b.txt");
    EXPECT_EQ(Get<QLabel>("RunStatus")->text(), QStringLiteral("2 remis sous leur ancien nom, 0 échecs"));
}

TEST_F(Editor, SaveAsGivesTheScriptExtensionAndOpenReadsItBack) {
    Start();
    SetScript({"1|Supprimer les [n=2] premiers caractères", "7|Supprimer tous les espaces"});
    for (const char* typed : {"essai", "essai.txt", "essai.script"}) {
        desktop_.log.saveFileName = QString::fromStdString(program_ / typed);
        Get<QAction>("MNU_SAVEAS")->trigger();
        EXPECT_EQ(Controller().ScriptFileName().toStdString(), program_ / "essai.script") << typed;
    }
    EXPECT_EQ(ReadFileBytes(program_ / "essai.script"),
              "1|Supprimer les [n=2] premiers caract\xE8res\r\n7|Supprimer tous les espaces\r\n");
    EXPECT_FALSE(std::filesystem::exists(program_ / "essai"));

    Get<QAction>("MNU_ClearAll")->trigger();
    desktop_.log.openFileName = QString::fromStdString(program_ / "essai.script");
    Get<QAction>("MNU_OPEN")->trigger();
    EXPECT_EQ(Script(), (std::vector<std::string>{"1|Supprimer les [n=2] premiers caractères",
                                                  "7|Supprimer tous les espaces"}));
    Doc().Remove(Doc().Count() - 1);
    Get<QAction>("MNU_SAVE")->trigger(); // writes back to the opened file, without a dialog
    EXPECT_EQ(ReadFileBytes(program_ / "essai.script"), "1|Supprimer les [n=2] premiers caract\xE8res\r\n");
}

TEST_F(Editor, SaveWithoutANameAsksForOneAndFailuresKeepTheScript) {
    Start();
    SetScript({"7|Supprimer tous les espaces"});
    desktop_.log.saveFileName.clear(); // the user cancels
    Get<QAction>("MNU_SAVE")->trigger();
    EXPECT_TRUE(Controller().ScriptFileName().isEmpty());
    desktop_.log.saveFileName = QString::fromStdString(program_ / "missing-folder/essai");
    Get<QAction>("MNU_SAVE")->trigger();
    ASSERT_EQ(desktop_.log.errors.size(), 1);
    EXPECT_TRUE(desktop_.log.errors[0].startsWith(QStringLiteral("Impossible de créer le fichier ")));
    EXPECT_EQ(Script(), std::vector<std::string>{"7|Supprimer tous les espaces"});
    desktop_.log.openFileName = QString::fromStdString(program_ / "absent.script");
    desktop_.log.saveAnswer = DesktopLog::SaveAnswer::Discard;
    Get<QAction>("MNU_OPEN")->trigger();
    ASSERT_EQ(desktop_.log.errors.size(), 2);
    EXPECT_TRUE(desktop_.log.errors[1].startsWith(QStringLiteral("Impossible d'ouvrir le fichier ")));
    // A file that cannot be read replaces nothing.
    EXPECT_EQ(Script(), std::vector<std::string>{"7|Supprimer tous les espaces"});
}

// Any text with a command line is a script, whatever its bytes; a NUL byte makes
// it a binary file, which is refused.
TEST_F(Editor, AScriptOfAnyBytesOpensAndShows) {
    Start();
    desktop_.log.openFileName =
        QString::fromStdString(folder_.Write("odd.script", "1|[n=\xFF\xFE] <b>\r\n[[[]]]\n|||\r"));
    Get<QAction>("MNU_OPEN")->trigger();
    EXPECT_EQ(Doc().Lines().size(), 3U);
    EXPECT_EQ(Doc().HtmlLines().size(), 3);
    ClickLink(0, 1);
    EXPECT_TRUE(desktop_.log.errors.isEmpty());
    const std::string binary("1|[n=2] <b>\r\n\0zz\r\n", 18);
    desktop_.log.openFileName = QString::fromStdString(folder_.Write("nul.script", binary));
    Get<QAction>("MNU_OPEN")->trigger();
    EXPECT_EQ(desktop_.log.errors,
              QStringList({"Le fichier " + desktop_.log.openFileName + " n'est pas un script"}));
    EXPECT_EQ(Doc().Lines().size(), 3U);
}

TEST_F(Editor, LongScriptsAndLongValuesShowAndEdit) {
    Start();
    std::string bytes;
    for (int i = 0; i < 10000; ++i) {
        bytes += "14|Ajouter [Chaine=v" + std::to_string(i) +
                 "] au d\xE9"
                 "but\r\n";
    }
    desktop_.log.openFileName = QString::fromStdString(folder_.Write("long.script", bytes));
    Get<QAction>("MNU_OPEN")->trigger();
    ASSERT_EQ(Doc().Lines().size(), 10000U);
    HTMLViewer()->verticalScrollBar()->setValue(HTMLViewer()->verticalScrollBar()->maximum());
    ClickLink(9999, 1);
    ASSERT_EQ(VisibleBox(), EdString());
    EXPECT_EQ(EdString()->text().toStdString(), "v9999");
    const QString value(100000, QLatin1Char('x'));
    EdString()->setText(value);
    QTest::mouseClick(BtnOk(), Qt::LeftButton);
    const bool written =
        EncodeName(Doc().Lines().back()) == "14|Ajouter [Chaine=" + value.toStdString() + "] au début";
    EXPECT_TRUE(written) << "the line holds " << Doc().Lines().back().size() << " characters";
    EXPECT_TRUE(HTMLViewer()->toPlainText().contains(value));
}

TEST_F(Editor, CommandLineOpensAScriptAndNeverRunsIt) {
    MakeFiles({"a.jpg", "b.jpg", "c.txt"});
    const std::string script = program_.Write("s.script", "14|Ajouter [Chaine=x_] au d\xE9"
                                                          "but\r\n");
    {
        MainWindow& w = Start({QString::fromStdString(script)});
        QTRY_VERIFY(!Controller().ScriptFileName().isEmpty()); // the command line is read
        EXPECT_EQ(Script(), std::vector<std::string>{"14|Ajouter [Chaine=x_] au début"});
        EXPECT_EQ(Controller().ScriptFileName().toStdString(), script);
        EXPECT_TRUE(w.isVisible());
    }
    {
        // The program runs a script on a folder without any window; a window given
        // a folder only opens the script.
        MainWindow& w =
            Start({QString::fromStdString(script), QString::fromStdString(folder_.path()), "*.jpg"});
        QTRY_VERIFY(!Controller().ScriptFileName().isEmpty()); // the command line is read
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(Script(), std::vector<std::string>{"14|Ajouter [Chaine=x_] au début"});
        EXPECT_TRUE(std::filesystem::exists(folder_ / "a.jpg") && std::filesystem::exists(folder_ / "c.txt"));
    }
}

TEST_F(Editor, CommandLineWithAMissingScript) {
    const QString missing = QString::fromStdString(program_ / "x.script");
    MainWindow& w = Start({missing});
    QTRY_VERIFY(!Controller().ScriptFileName().isEmpty()); // the command line is read
    EXPECT_EQ(desktop_.log.messages, QStringList({"Le fichier " + missing + " n'existe pas"}));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(Controller().ScriptFileName(), missing);
}

} // namespace
} // namespace quorvel::test
