// The list under "Exemple :" is never stale: it follows the selection, the folder,
// the script and the language, once per action; after a run or an undo it shows
// the folder as it now is, and the status line says what the last action did.
#include "editor/example_list.hpp"
#include "editor/script_document.hpp"
#include "engine/codec.hpp"
#include "look/colours.hpp"
#include "support/dark_palette.hpp"
#include "support/text.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>

namespace quorvel::test {
namespace {

class PreviewFollows : public MainWindowTest {
protected:
    ScriptDocument& Doc() const { return Controller().Script(); }
    TExampleList* List() const { return Get<TExampleList>("MemoExemple"); }

    void SetScript(std::initializer_list<const char*> lines) {
        ScriptLines script;
        for (const char* line : lines) {
            script.push_back(T(line));
        }
        Doc().Load(std::move(script));
    }
    // The lines of the list once the event loop has had its turn.
    QStringList Preview() {
        Settle();
        return List()->toPlainText().split('\n', Qt::SkipEmptyParts);
    }
    void CtrlA() { QTest::keyClick(Get<TFileGrid>("StringGridFiles"), Qt::Key_A, Qt::ControlModifier); }
    QString Status() const { return Get<QLabel>("RunStatus")->text(); }
    bool Exists(const char* name) const { return std::filesystem::exists(folder_ / name); }
};

TEST_F(PreviewFollows, TheSelectionTheFolderTheScriptAndTheLanguage) {
    MakeFiles({"a.txt", "b.txt", "c.txt"});
    CopyLanguageFiles();
    Start();
    ListFolder();
    SetScript({"19|Ajouter [Numéro=1] au début"});
    Click(2);
    EXPECT_EQ(Preview(), QStringList({"1b.txt"}));
    // Ctrl+A: the names of every file, not those of the selection before it.
    QSignalSpy previews(&Controller(), &RenameController::previewed);
    CtrlA();
    EXPECT_EQ(Preview(), QStringList({"1a.txt", "2b.txt", "3c.txt"}));
    EXPECT_EQ(previews.count(), 1) << "one action, one preview";
    // A selection made without the mouse, as the keyboard makes it.
    Controller().Selection().Select({1, 3});
    EXPECT_EQ(Preview(), QStringList({"1a.txt", "2c.txt"}));

    // The script: a line added, a value entered, a line removed, a script read,
    // everything removed.
    Doc().Append(T("15|Ajouter [Chaine] à la fin"));
    EXPECT_TRUE(Preview().isEmpty()) << "an incomplete script shows no names";
    EXPECT_TRUE(desktop_.log.messages.isEmpty()) << "and says nothing";
    Doc().SetValue(1, 0, T("[Chaine]"), T("_z"));
    EXPECT_EQ(Preview(), QStringList({"1a_z.txt", "2c_z.txt"}));
    Doc().Remove(0);
    EXPECT_EQ(Preview(), QStringList({"a_z.txt", "c_z.txt"}));
    const std::string saved =
        program_.Write("s.script", "7|Supprimer tous les espaces\r\n14|Ajouter [Chaine=x] au d\xE9"
                                   "but\r\n");
    desktop_.log.saveAnswer = DesktopLog::SaveAnswer::Discard;
    desktop_.log.openFileName = QString::fromStdString(saved);
    Get<QAction>("MNU_OPEN")->trigger();
    EXPECT_EQ(Preview(), QStringList({"xa.txt", "xc.txt"}));
    Get<QAction>("MNU_ClearAll")->trigger();
    EXPECT_TRUE(Preview().isEmpty());

    // The marks of the preview speak the language shown.
    SetScript({"11|Remplacer tout par [Chaine=b.txt]"});
    Controller().Selection().Select({1});
    ASSERT_EQ(Preview(), QStringList({"b.txt"}));
    const auto reason = [this] { return List()->model()->index(0, 0).data(Qt::ToolTipRole).toString(); };
    EXPECT_EQ(reason(), QStringLiteral("un fichier de ce nom existe déjà"));
    Get<QAction>("MNU_Anglais")->trigger();
    EXPECT_EQ(Preview(), QStringList({"b.txt"}));
    EXPECT_EQ(reason(), QStringLiteral("a file of this name already exists"));
    Get<QAction>("MNU_Fancais")->trigger();
    Settle();
    EXPECT_EQ(reason(), QStringLiteral("un fichier de ce nom existe déjà"));

    // Another folder: nothing selected there, no names.
    std::filesystem::create_directory(folder_ / "sub");
    folder_.Write("sub/d.txt", "d");
    ListFolder(folder_ / "sub");
    EXPECT_TRUE(Preview().isEmpty());
}

TEST_F(PreviewFollows, AfterARunAndAnUndoTheFolderAsItNowIs) {
    MakeFiles({"a.txt", "b.txt", "other.doc"});
    Start();
    ListFolder();
    Click(1);
    Click(2, Qt::ControlModifier);
    SetScript({"14|Ajouter [Chaine=x_] au début"});
    EXPECT_EQ(Preview(), QStringList({"x_a.txt", "x_b.txt"}));
    Get<QAction>("Action_Executer")->trigger();
    ASSERT_TRUE(Exists("x_a.txt") && Exists("x_b.txt"));
    EXPECT_EQ(Status(), QStringLiteral("2 renommé(s), 0 inchangé(s), 0 échec(s)"));
    // The files listed again under their names, the renamed ones selected, and the
    // names they would get now.
    EXPECT_EQ(EncodeName(Controller().Files().Files().Items(1).Name()), "x_a.txt");
    EXPECT_EQ(Selected(), std::vector<int>({2, 3}));
    EXPECT_EQ(Preview(), QStringList({"x_x_a.txt", "x_x_b.txt"}));

    Get<QAction>("MNU_UNDO")->trigger();
    ASSERT_TRUE(Exists("a.txt") && Exists("b.txt"));
    EXPECT_EQ(Status(), QStringLiteral("2 remis sous leur ancien nom, 0 échecs"));
    EXPECT_EQ(Selected(), std::vector<int>({1, 2}));
    EXPECT_EQ(Preview(), QStringList({"x_a.txt", "x_b.txt"}));

    // The status line is about the folder shown: another folder clears it, and
    // listing the same folder again keeps it.
    ListFolder();
    EXPECT_EQ(Status(), QStringLiteral("2 remis sous leur ancien nom, 0 échecs"));
    std::filesystem::create_directory(folder_ / "sub");
    ListFolder(folder_ / "sub");
    EXPECT_TRUE(Status().isEmpty());
    EXPECT_TRUE(Get<QLabel>("RunStatus")->toolTip().isEmpty());
}

// The progress dialog's "Arrêter" stops a run, or an undo, between two renames: the
// status line counts the files it never reached as not done.
TEST_F(PreviewFollows, AStoppedRunAndAStoppedUndoSayWhatTheyDidNotDo) {
    MakeFiles({"1.txt", "2.txt", "3.txt", "4.txt"});
    Start();
    ListFolder();
    CtrlA();
    SetScript({"14|Ajouter [Chaine=x_] au début"});
    // The user presses "Arrêter" as soon as the first rename is done.
    int asked = 0;
    Controller().startProgress = [&asked](const QString&) -> ProgressHook {
        return [&asked](std::size_t, std::size_t) {
            ++asked;
            return false;
        };
    };
    Get<QAction>("Action_Executer")->trigger();
    EXPECT_GE(asked, 1);
    EXPECT_EQ(Status(), QStringLiteral("arrêté : 1 renommés, 3 non traités"));
    EXPECT_TRUE(Exists("x_1.txt") && Exists("2.txt") && Exists("3.txt") && Exists("4.txt"));
    EXPECT_EQ(Preview(), QStringList({"x_x_1.txt"})); // the renamed file, as it is now

    Controller().startProgress = nullptr;
    Controller().Selection().Select({1, 2, 3, 4});
    Get<QAction>("Action_Executer")->trigger();
    ASSERT_TRUE(Exists("x_2.txt") && Exists("x_x_1.txt"));
    // The undo of that run, stopped after its first step.
    Controller().startProgress = [](const QString&) -> ProgressHook {
        return [](std::size_t, std::size_t) { return false; };
    };
    Get<QAction>("MNU_UNDO")->trigger();
    EXPECT_EQ(Status(), QStringLiteral("arrêté : 1 remis sous leur ancien nom, 3 non traités"));
    Controller().startProgress = nullptr;
    Get<QAction>("MNU_UNDO")->trigger();
    EXPECT_EQ(Status(), QStringLiteral("3 remis sous leur ancien nom, 0 échecs"));
    EXPECT_TRUE(Exists("x_1.txt") && Exists("2.txt") && Exists("3.txt") && Exists("4.txt"));
}

// A numbering that does not start at a whole number: said once, in red, under
// "Exemple :"; no box for a click in the grid; "Voir" still shows the box.
TEST_F(PreviewFollows, AConversionErrorIsOneRedLineUntilTheScriptIsMended) {
    MakeFiles({"a.txt", "b.txt", "c.txt"});
    Start();
    ListFolder();
    SetScript({"19|Ajouter [Numéro=_001] au début"});
    const QString why = QStringLiteral("'_001' n'est pas une valeur entière correcte");
    for (int row : {1, 2, 3, 1}) {
        Click(row);
        Settle();
    }
    CtrlA();
    Settle();
    EXPECT_TRUE(desktop_.log.errors.isEmpty());
    EXPECT_TRUE(desktop_.log.messages.isEmpty());
    QAbstractItemModel* lines = List()->model();
    ASSERT_EQ(lines->rowCount(), 1);
    EXPECT_EQ(lines->index(0, 0).data().toString(), why);
    EXPECT_EQ(List()->Problem(), why);
    EXPECT_EQ(lines->index(0, 0).data(Qt::ForegroundRole).value<QColor>(),
              ColoursFor(List()->palette()).conflict);
    // Readable under a dark palette too.
    {
        const DarkFusion dark;
        QCoreApplication::processEvents();
        ASSERT_TRUE(IsDarkPalette(List()->palette()));
        const QColor red = lines->index(0, 0).data(Qt::ForegroundRole).value<QColor>();
        EXPECT_EQ(red, ColoursFor(List()->palette()).conflict);
        EXPECT_GE(ContrastRatio(red, List()->palette().color(QPalette::Base)), 4.5);
    }

    // "Voir" asks for the preview: the message box, as always.
    QTest::mouseClick(Get<QToolButton>("BtnVoir"), Qt::LeftButton);
    EXPECT_EQ(desktop_.log.errors, QStringList({why}));
    EXPECT_EQ(List()->Problem(), why);

    // Mended, the names come back and the red line goes.
    Doc().Load({T("19|Ajouter [Numéro=1] au début")});
    EXPECT_EQ(Preview(), QStringList({"1a.txt", "2b.txt", "3c.txt"}));
    EXPECT_TRUE(List()->Problem().isEmpty());
    EXPECT_EQ(List()->model()->rowCount(), 3);
    EXPECT_EQ(desktop_.log.errors.size(), 1);
}

// A file that two patterns of the filter match is listed, numbered and renamed once.
TEST_F(PreviewFollows, OverlappingPatternsListEachFileOnce) {
    MakeFiles({"a.jpg", "b.JPG", "c.jpg", "d.png"});
    Start();
    Get<QLineEdit>("EdFiltre")->setText(QStringLiteral("*.jpg;*.JPG"));
    ListFolder();
    ASSERT_EQ(Controller().Files().Count(), 3U);
    CtrlA();
    SetScript({"19|Ajouter [Numéro=1] au début"});
    EXPECT_EQ(Preview(), QStringList({"1a.jpg", "2b.JPG", "3c.jpg"}));
    Get<QAction>("Action_Executer")->trigger();
    EXPECT_EQ(Status(), QStringLiteral("3 renommé(s), 0 inchangé(s), 0 échec(s)"));
    EXPECT_EQ(ReadFileBytes(folder_ / "1a.jpg"), "a.jpg");
    EXPECT_EQ(ReadFileBytes(folder_ / "2b.JPG"), "b.JPG");
    EXPECT_EQ(ReadFileBytes(folder_ / "3c.jpg"), "c.jpg");
    EXPECT_TRUE(Exists("d.png"));
}

} // namespace
} // namespace quorvel::test
