// The window driven by the keyboard alone: every key goes to the control that has
// the focus, as a real keyboard's do, and the files on disk tell what happened.
#include "editor/command_tree.hpp"
#include "editor/example_list.hpp"
#include "editor/script_document.hpp"
#include "editor/script_view.hpp"
#include "engine/codec.hpp"
#include "support/text.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <filesystem>

namespace quorvel::test {
namespace {

class Keyboard : public MainWindowTest {
protected:
    MainWindow& StartActive() {
        MainWindow& w = Start();
        w.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&w));
        return w;
    }

    // A key pressed where the focus is.
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key, modifiers);
    }
    static void Type(const QString& text) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClicks(focus, text);
    }
    // Tab until `control` has the focus; fails after a round of the window.
    void TabTo(const char* control) {
        QWidget* target = Get<QWidget>(control);
        for (int i = 0; i < 20 && QApplication::focusWidget() != target; ++i) {
            Press(Qt::Key_Tab);
        }
        ASSERT_EQ(QApplication::focusWidget(), target) << control;
    }
    // Up or Down in `tree`, which has the focus, until `item` is its current item.
    static void ArrowTo(QTreeWidget* tree, QTreeWidgetItem* item) {
        ASSERT_NE(item, nullptr);
        ASSERT_EQ(QApplication::focusWidget(), tree);
        bool below = false;
        for (QTreeWidgetItem* at = tree->currentItem(); at != nullptr && !below; at = tree->itemBelow(at)) {
            below = at == item;
        }
        for (int i = 0; i < 10000 && tree->currentItem() != item; ++i) {
            Press(below ? Qt::Key_Down : Qt::Key_Up);
        }
        ASSERT_EQ(tree->currentItem(), item) << item->text(0).toStdString();
    }
    // Opens the folder tree down to `path` from its root "/" with the arrow keys.
    void ArrowToFolder(const std::string& path) {
        auto* tree = Get<TFolderTree>("ShellTreeView");
        ASSERT_EQ(QApplication::focusWidget(), tree);
        QTreeWidgetItem* item = tree->topLevelItem(1);
        ASSERT_EQ(item->text(0), "/");
        ArrowTo(tree, item);
        for (const auto& part : std::filesystem::path(path).relative_path()) {
            if (!item->isExpanded()) {
                Press(Qt::Key_Right); // opens the folder, reading it
            }
            QTreeWidgetItem* child = nullptr;
            for (int i = 0; i < item->childCount() && child == nullptr; ++i) {
                if (item->child(i)->text(0).toStdString() == part.string()) {
                    child = item->child(i);
                }
            }
            ASSERT_NE(child, nullptr) << part;
            ArrowTo(tree, child);
            item = child;
        }
        ASSERT_EQ(tree->CurrentFolder().toStdString(), path);
    }

    std::vector<std::string> Script() const {
        std::vector<std::string> lines;
        for (const Text& line : Controller().Script().Lines()) {
            lines.push_back(EncodeName(line));
        }
        return lines;
    }
    QStringList Preview() const {
        return Get<TExampleList>("MemoExemple")->toPlainText().split('\n', Qt::SkipEmptyParts);
    }
    bool Exists(const char* name) const { return std::filesystem::exists(folder_ / name); }
};

// One whole job: the folder, the filter, the files, two commands, their values, the
// preview, the run and its undo, with nothing but keys.
TEST_F(Keyboard, AWholeJobWithTheKeyboardAlone) {
    MakeFiles({"f1.txt", "f2.txt", "f3.txt", "f4.txt", "f5.txt", "f6.txt", "g.jpg"});
    StartActive();
    TabTo("ShellTreeView");
    ArrowToFolder(folder_.path());
    EXPECT_EQ(Controller().Files().Count(), 7U);

    TabTo("EdFiltre"); // the whole filter is selected as the box takes the focus
    Type("*.txt");
    Press(Qt::Key_Return);
    ASSERT_EQ(Controller().Files().Count(), 6U);

    TabTo("StringGridFiles");
    Press(Qt::Key_Space); // row 1
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);
    Press(Qt::Key_Space);                   // row 3
    Press(Qt::Key_Down, Qt::ShiftModifier); // and on to row 4
    EXPECT_EQ(Selected(), std::vector<int>({1, 3, 4}));

    TabTo("TreeViewCommande");
    auto* commands = Get<TCommandTree>("TreeViewCommande");
    ArrowTo(commands, commands->Node(1));
    Press(Qt::Key_Return);
    ArrowTo(commands, commands->Node(14));
    Press(Qt::Key_Insert);
    EXPECT_EQ(Script(), (std::vector<std::string>{"1|Supprimer les [n] premiers caractères",
                                                  "14|Ajouter [Chaine] au début"}));

    TabTo("HTMLViewer"); // on the first placeholder
    Press(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), Get<QWidget>("EdInteger"));
    Type("1");
    Press(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), Get<QWidget>("HTMLViewer")); // back on the placeholder
    Press(Qt::Key_Tab);
    Press(Qt::Key_Space);
    ASSERT_EQ(QApplication::focusWidget(), Get<QWidget>("EdString"));
    Type("x_");
    Press(Qt::Key_Return);
    EXPECT_EQ(Script(), (std::vector<std::string>{"1|Supprimer les [n=1] premiers caractères",
                                                  "14|Ajouter [Chaine=x_] au début"}));

    Press(Qt::Key_P, Qt::ControlModifier);
    EXPECT_EQ(Preview(), QStringList({"x_1.txt", "x_3.txt", "x_4.txt"}));

    Press(Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(desktop_.log.confirmations.size(), 1);
    for (const char* gone : {"f1.txt", "f3.txt", "f4.txt"}) {
        EXPECT_FALSE(Exists(gone)) << gone;
    }
    EXPECT_EQ(ReadFileBytes(folder_ / "x_1.txt"), "f1.txt");
    EXPECT_EQ(ReadFileBytes(folder_ / "x_3.txt"), "f3.txt");
    EXPECT_EQ(ReadFileBytes(folder_ / "x_4.txt"), "f4.txt");
    for (const char* kept : {"f2.txt", "f5.txt", "f6.txt", "g.jpg"}) {
        EXPECT_EQ(ReadFileBytes(folder_ / kept), kept);
    }

    Press(Qt::Key_Z, Qt::ControlModifier);
    for (const char* name : {"f1.txt", "f2.txt", "f3.txt", "f4.txt", "f5.txt", "f6.txt", "g.jpg"}) {
        EXPECT_EQ(ReadFileBytes(folder_ / name), name);
    }
    EXPECT_FALSE(Exists("x_1.txt") || Exists("x_3.txt") || Exists("x_4.txt"));
    EXPECT_TRUE(desktop_.log.errors.isEmpty());
    EXPECT_TRUE(desktop_.log.messages.isEmpty());
}

TEST_F(Keyboard, GridKeysSelectThroughTheSelectionRules) {
    MakeFiles({"1.txt", "2.txt", "3.txt", "4.txt", "5.txt", "6.txt"});
    StartActive();
    ListFolder();
    Click(2); // anchor 2, selection {2}
    Press(Qt::Key_Down);
    Press(Qt::Key_Down); // row 4, the anchor follows, the selection stays
    EXPECT_EQ(Controller().Selection().AnchorRow(), 4);
    EXPECT_EQ(Selected(), std::vector<int>({2}));
    Press(Qt::Key_Space);
    EXPECT_EQ(Selected(), std::vector<int>({2, 4}));
    Press(Qt::Key_Space); // toggles back, as Ctrl+click does
    EXPECT_EQ(Selected(), std::vector<int>({2}));

    // Shift: what was selected plus the rows from the anchor, which stays, to the current row.
    Press(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), std::vector<int>({2, 4, 5}));
    Press(Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), std::vector<int>({2, 4, 5, 6}));
    Press(Qt::Key_Up, Qt::ShiftModifier);
    Press(Qt::Key_Up, Qt::ShiftModifier);
    Press(Qt::Key_Up, Qt::ShiftModifier); // row 3, across the anchor
    EXPECT_EQ(Selected(), std::vector<int>({2, 3, 4}));
    EXPECT_EQ(Controller().Selection().AnchorRow(), 4);
    Press(Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4}));

    // A plain move ends it: the next Shift starts from the selection as it is.
    Press(Qt::Key_End);
    Press(Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5, 6}));
    Press(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(Selected(), std::vector<int>({1, 2, 3, 4, 5, 6}));
    // The mouse rules are as they were.
    Click(3);
    EXPECT_EQ(Selected(), std::vector<int>({3}));
}

TEST_F(Keyboard, SpaceInTheGridPreviewsAsAPressDoes) {
    MakeFiles({"a.txt", "b.txt"});
    StartActive();
    ListFolder();
    Controller().Script().Load({T("14|Ajouter [Chaine=x_] au début")});
    Get<QWidget>("StringGridFiles")->setFocus();
    Get<TFileGrid>("StringGridFiles")->SetCurrentRow(2);
    Press(Qt::Key_Space);
    Settle();
    EXPECT_EQ(Preview(), QStringList({"x_b.txt"}));
}

TEST_F(Keyboard, EscapeClosesTheBoxWithoutWritingAndTheFocusGoesBack) {
    StartActive();
    Controller().Script().Load(
        {T("7|Supprimer tous les espaces"), T("16|Ajouter [Chaine=ab] à la [nième] postion")});
    auto* view = Get<TScriptView>("HTMLViewer");
    view->setFocus();
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    ASSERT_EQ(view->FocusedPlaceholder(), std::pair(1, 1));
    Press(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), Get<QWidget>("EdInteger"));
    Type("4");
    Press(Qt::Key_Escape);
    EXPECT_TRUE(Get<QWidget>("EdInteger")->isHidden() && Get<QWidget>("BtnOk")->isHidden());
    EXPECT_EQ(Script(), (std::vector<std::string>{"7|Supprimer tous les espaces",
                                                  "16|Ajouter [Chaine=ab] à la [nième] postion"}));
    EXPECT_EQ(QApplication::focusWidget(), view);
    EXPECT_EQ(view->FocusedPlaceholder(), std::pair(1, 1));

    // OK with the mouse brings the focus back too, on the placeholder it wrote.
    Press(Qt::Key_Backtab, Qt::ShiftModifier);
    Press(Qt::Key_Space);
    ASSERT_EQ(QApplication::focusWidget(), Get<QWidget>("EdString"));
    Type("cd");
    QTest::mouseClick(Get<QToolButton>("BtnOk"), Qt::LeftButton);
    EXPECT_EQ(Script()[1], "16|Ajouter [Chaine=cd] à la [nième] postion");
    EXPECT_EQ(QApplication::focusWidget(), view);
    EXPECT_EQ(view->FocusedPlaceholder(), std::pair(1, 0));
    EXPECT_EQ(view->textCursor().selectedText(), "cd");
}

TEST_F(Keyboard, DeleteRemovesTheFocusedLineAsEffacerDoes) {
    StartActive();
    Controller().Script().Load({T("1|Supprimer les [n=1] premiers caractères"),
                                T("2|Supprimer les [n=2] derniers caratères"),
                                T("14|Ajouter [Chaine] au début")});
    auto* view = Get<TScriptView>("HTMLViewer");
    // A box open on line 2 keeps writing to that line when line 0 goes before it.
    view->FocusPlaceholder(2, 0);
    Press(Qt::Key_Return);
    ASSERT_EQ(Controller().ClickedLine(), 2);
    view->FocusPlaceholder(0, 0);
    Press(Qt::Key_Delete);
    EXPECT_EQ(Script(), (std::vector<std::string>{"2|Supprimer les [n=2] derniers caratères",
                                                  "14|Ajouter [Chaine] au début"}));
    EXPECT_EQ(view->FocusedPlaceholder(), std::pair(0, 0));
    EXPECT_EQ(Controller().ClickedLine(), 1);
    auto* box = Get<QLineEdit>("EdString");
    ASSERT_TRUE(box->isVisible());
    box->setFocus();
    box->setText("z");
    Press(Qt::Key_Return);
    EXPECT_EQ(Script()[1], "14|Ajouter [Chaine=z] au début");
    // "Effacer" still removes the line clicked last.
    Get<QAction>("Action_Effacer")->trigger();
    EXPECT_EQ(Script(), std::vector<std::string>{"2|Supprimer les [n=2] derniers caratères"});
    EXPECT_TRUE(desktop_.log.errors.isEmpty());
}

TEST_F(Keyboard, ShortcutsDoWhatTheirMenusDo) {
    MakeFiles({"a.txt"});
    StartActive();
    ListFolder();
    auto* filter = Get<QLineEdit>("EdFiltre");
    filter->setFocus();
    Controller().Script().Load({T("7|Supprimer tous les espaces")});

    desktop_.log.saveFileName = QString::fromStdString(program_ / "keys");
    Press(Qt::Key_S, Qt::ControlModifier); // no name yet: asks for one
    EXPECT_EQ(ReadFileBytes(program_ / "keys.script"), "7|Supprimer tous les espaces\r\n");
    Controller().Script().Append(T("8|Supprimer tous les accents"));
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ReadFileBytes(program_ / "keys.script"),
              "7|Supprimer tous les espaces\r\n8|Supprimer tous les accents\r\n");
    desktop_.log.saveFileName = QString::fromStdString(program_ / "other");
    Press(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(std::filesystem::exists(program_ / "other.script"));
    Controller().Script().Clear();
    desktop_.log.openFileName = QString::fromStdString(program_ / "keys.script");
    Press(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Script().size(), 2U);

    // F5 reads the folder again, as Enter in the filter box does, and the folder
    // tree: a folder made beside the one shown appears in it.
    MakeFiles({"b.txt"});
    const TempDir sibling;
    const QString siblingName = QString::fromStdString(std::filesystem::path(sibling.path()).filename());
    auto* tree = Get<TFolderTree>("ShellTreeView");
    QTreeWidgetItem* parent = tree->currentItem()->parent();
    ASSERT_NE(parent, nullptr);
    const auto listed = [&] {
        for (int i = 0; i < parent->childCount(); ++i) {
            if (parent->child(i)->text(0) == siblingName) {
                return true;
            }
        }
        return false;
    };
    EXPECT_EQ(Controller().Files().Count(), 1U);
    EXPECT_FALSE(listed());
    Press(Qt::Key_F5);
    EXPECT_EQ(Controller().Files().Count(), 2U);
    EXPECT_TRUE(listed());

    // The shortcuts are shown in the menus.
    EXPECT_EQ(Get<QAction>("Action_VoirExemple")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));
    EXPECT_EQ(Get<QAction>("Action_Executer")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_R));
    EXPECT_EQ(Get<QAction>("MNU_OPEN")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    EXPECT_EQ(Get<QAction>("MNU_UNDO")->shortcut(), QKeySequence(QKeySequence::Undo));
}

} // namespace
} // namespace quorvel::test
