// Files handed over by a file manager, on the command line or dropped on the grid:
// the window lists exactly those, in the order given, all selected, shows their
// folder in the tree, and lists the same set again after a run and its undo.
#include "browser/dropped_files.hpp"
#include "editor/script_document.hpp"
#include "engine/codec.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QCheckBox>
#include <QDropEvent>
#include <QMimeData>
#include <filesystem>

namespace quorvel::test {
namespace {

class GivenFiles : public MainWindowTest {
protected:
    // one/b.txt, one/été.txt in Latin-1 (not UTF-8), one/c.txt; two/a.txt.
    void SetUp() override {
        MainWindowTest::SetUp();
        for (const char* folder : {"one", "two"}) {
            std::filesystem::create_directories(folder_ / folder);
        }
        MakeFiles({"one/b.txt", "one/\xE9t\xE9.txt", "one/c.txt", "two/a.txt"});
    }

    // The window started as "quorvel --files PATHS..." starts it, once it is up.
    void StartWith(std::vector<std::string> paths) {
        ProgramEnvironment environment =
            ProgramEnvironment::ForProgramAt(QString::fromStdString(program_ / "quorvel"), {});
        environment.givenFiles = std::move(paths);
        window_ = std::make_unique<MainWindow>(std::move(environment));
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        for (int turn = 0; turn < 100 && Controller().Mode() != ListingMode::GivenFiles; ++turn) {
            QCoreApplication::processEvents();
        }
        ASSERT_EQ(Controller().Mode(), ListingMode::GivenFiles);
    }

    // The rows of the grid: each file's path below the folder listed.
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (const TProjectFile& file : Controller().Files().Files()) {
            rows.push_back(file.RelativeBytes());
        }
        return rows;
    }

    QByteArray TreeFolder() const { return Get<TFolderTree>("ShellTreeView")->CurrentFolder(); }

    // A drag of `list` (text/uri-list) offering `actions`, entered then dropped on
    // the grid; whether the grid took it.
    bool Drop(const QByteArray& list, Qt::DropActions actions) {
        QMimeData data;
        data.setData(QStringLiteral("text/uri-list"), list);
        QWidget* viewport = Get<TFileGrid>("StringGridFiles")->viewport();
        const QPoint at = viewport->rect().center();
        QDragEnterEvent enter(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        if (!enter.isAccepted()) {
            return false;
        }
        EXPECT_NE(enter.dropAction(), Qt::MoveAction); // the file manager keeps its files
        QDropEvent drop(at, actions, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &drop);
        QCoreApplication::processEvents(); // the files are listed once the drop is over
        return drop.isAccepted();
    }

    std::string Url(const std::string& path) const {
        return "file://" + QByteArray::fromStdString(path).toPercentEncoding("/").toStdString();
    }
};

TEST_F(GivenFiles, TheCommandLineListsThemInOrderAllSelectedAndSaysWhichAreMissing) {
    const std::string missing = folder_ / "one/missing.txt";
    StartWith({folder_ / "two/a.txt", folder_ / "one/b.txt", missing, folder_ / "one/\xE9t\xE9.txt",
               folder_ / "two/a.txt"});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"two/a.txt", "one/b.txt", "one/\xE9t\xE9.txt"}));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    // The tree on the folder that holds them all; the home folder never listed.
    EXPECT_EQ(TreeFolder(), QByteArray::fromStdString(folder_.path()));
    EXPECT_EQ(Controller().Folder().AbsoluteWithoutSlash().Bytes(), folder_.path());
    ASSERT_EQ(desktop_.log.messages.size(), 1) << desktop_.log.messages.join('\n').toStdString();
    const QStringList lines = desktop_.log.messages[0].split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("Ces fichiers ne sont pas affichés :"));
    EXPECT_EQ(lines[1],
              QStringLiteral("« ") + QString::fromStdString(missing) + " » : aucun fichier de ce nom")
        << "a file never there is not said to be gone";
    // The preview is of those files.
    Controller().Script().Load({DecodeName("14|Ajouter [Chaine=x_] au début")});
    Settle();
    EXPECT_EQ(Controller().PreviewedName(0), QStringLiteral("x_a.txt"));

    // Another folder chosen in the tree lists folders again.
    ListFolder(folder_ / "one");
    EXPECT_EQ(Controller().Mode(), ListingMode::Folder);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"b.txt", "c.txt", "\xE9t\xE9.txt"}));
}

TEST_F(GivenFiles, FilesDroppedOnTheGridAreListedTheSameWay) {
    Start();
    ListFolder(folder_ / "two");
    const std::string list = "# a comment\r\n" + Url(folder_ / "one/\xE9t\xE9.txt") +
                             "\r\nhttp://example.org/x\r\n" + "file://localhost" + (folder_ / "two/a.txt") +
                             "\r\nfile://elsewhere/x\r\n" + Url(folder_ / "one/b.txt") + "\r\n";
    // A drag that can only move is refused: the file manager would remove the files.
    EXPECT_FALSE(Drop(QByteArray::fromStdString(list), Qt::MoveAction));
    EXPECT_EQ(Controller().Mode(), ListingMode::Folder);
    EXPECT_FALSE(Drop("http://example.org/x\r\n", Qt::CopyAction | Qt::MoveAction));

    ASSERT_TRUE(Drop(QByteArray::fromStdString(list), Qt::CopyAction | Qt::MoveAction));
    EXPECT_EQ(Controller().Mode(), ListingMode::GivenFiles);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"one/\xE9t\xE9.txt", "two/a.txt", "one/b.txt"}));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(TreeFolder(), QByteArray::fromStdString(folder_.path()));
    EXPECT_TRUE(desktop_.log.messages.isEmpty()) << desktop_.log.messages.join('\n').toStdString();
    EXPECT_EQ(LocalFilesOfUriList("file:/a%20b/%FF\nfile:///c?x=1#y\n"),
              (std::vector<std::string>{"/a b/\xFF", "/c"}));
}

TEST_F(GivenFiles, ARunAndItsUndoListTheSameSetAgain) {
    StartWith({folder_ / "two/a.txt", folder_ / "one/b.txt"});
    Controller().Script().Load({DecodeName("14|Ajouter [Chaine=x_] au début")});
    Controller().run(RunMode::Unattended);
    EXPECT_EQ(ReadFileBytes(folder_ / "two/x_a.txt"), "two/a.txt");
    // The set under its new names, in its order; one/c.txt is not part of it.
    EXPECT_EQ(Rows(), (std::vector<std::string>{"two/x_a.txt", "one/x_b.txt"}));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2}));
    // Listed again as the folder is read again (Enter in the filter): the same set.
    QTest::keyClick(Get<QLineEdit>("EdFiltre"), Qt::Key_Return);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"two/x_a.txt", "one/x_b.txt"}));

    QTest::keyClick(Get<TFileGrid>("StringGridFiles"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(ReadFileBytes(folder_ / "one/b.txt"), "one/b.txt");
    EXPECT_EQ(Rows(), (std::vector<std::string>{"two/a.txt", "one/b.txt"}));
    EXPECT_EQ(Controller().Mode(), ListingMode::GivenFiles);
    EXPECT_TRUE(desktop_.log.errors.isEmpty()) << desktop_.log.errors.join('\n').toStdString();
}

// The preview of a set from two folders checks each name in its own folder: a name
// held in one folder is marked there, and the trace says how each name was made.
TEST_F(GivenFiles, ThePreviewMarksConflictsInTheFolderOfEachFile) {
    MakeFiles({"one/x_b.txt"});
    std::vector<ExampleMark> marks;
    StartWith({folder_ / "two/a.txt", folder_ / "one/b.txt", folder_ / "one/c.txt"});
    QObject::connect(&Controller(), &RenameController::previewMarked,
                     [&marks](const std::vector<ExampleMark>& m) { marks = m; });
    Controller().Script().Load({DecodeName("14|Ajouter [Chaine=x_] au début")});
    Settle();
    ASSERT_EQ(marks.size(), 1u);
    EXPECT_EQ(marks[0].line, 1) << "one/x_b.txt is held; two/x_a.txt is free";
    EXPECT_TRUE(marks[0].conflict);
    const std::optional<NameTrace> trace = Controller().Trace(2);
    ASSERT_TRUE(trace);
    EXPECT_EQ(trace->original, QStringLiteral("c.txt"));
    ASSERT_EQ(trace->steps.size(), 1u);
    EXPECT_EQ(trace->steps[0].name, QStringLiteral("x_c.txt"));

    Controller().run(RunMode::Unattended);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"two/x_a.txt", "one/b.txt", "one/x_c.txt"}));
    EXPECT_EQ(ReadFileBytes(folder_ / "one/x_b.txt"), "one/x_b.txt") << "the file held is untouched";
}

// Files handed over come in the order given, even when the folder before was shown
// in another order; an order chosen for them holds while they stay listed.
TEST_F(GivenFiles, AnOrderChosenBeforeDoesNotReorderTheFilesGiven) {
    Start();
    ListFolder(folder_ / "one");
    Controller().arrange(FileOrder{SortKey::Name, true});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"\xE9t\xE9.txt", "c.txt", "b.txt"}));
    window_->OpenFiles({folder_ / "one/b.txt", folder_ / "one/c.txt", folder_ / "two/a.txt"});
    EXPECT_EQ(Controller().Order(), FileOrder{});
    EXPECT_EQ(Rows(), (std::vector<std::string>{"one/b.txt", "one/c.txt", "two/a.txt"}));

    Controller().arrange(FileOrder{SortKey::Name, true});
    QTest::keyClick(Get<QLineEdit>("EdFiltre"), Qt::Key_Return); // read again
    EXPECT_EQ(Controller().Mode(), ListingMode::GivenFiles);
    EXPECT_EQ(Controller().Order(), (FileOrder{SortKey::Name, true}));
    EXPECT_EQ(Controller().Files().Count(), 3u);
}

// Files dropped while a tree is read, its progress showing, stop that reading and
// are listed after it, their folder shown in the tree; a folder chosen while a long
// list is read does the same the other way.
TEST_F(GivenFiles, FilesGivenWhileATreeIsReadAreListedOnceItStops) {
    Start();
    ListFolder(folder_ / "one");
    int calls = 0;
    Controller().startProgress = [&](const QString&) -> ProgressHook {
        return [&](std::size_t, std::size_t) {
            if (++calls == 1) {
                window_->OpenFiles({folder_ / "two/a.txt", folder_ / "one/c.txt"});
            }
            return true;
        };
    };
    Get<QCheckBox>("CheckSousDossiers")->setChecked(true);
    EXPECT_GE(calls, 1);
    EXPECT_EQ(Controller().Mode(), ListingMode::GivenFiles);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"two/a.txt", "one/c.txt"}));
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2}));
    EXPECT_EQ(TreeFolder(), QByteArray::fromStdString(folder_.path()));

    // A list long enough to show its progress, and a folder chosen meanwhile.
    std::vector<std::string> many;
    for (int i = 0; i < 5000; ++i) {
        many.push_back(folder_ / ("one/gone" + std::to_string(i)));
    }
    many.push_back(folder_ / "one/b.txt");
    calls = 0;
    QStringList labels;
    Controller().startProgress = [&](const QString& label) -> ProgressHook {
        labels.push_back(label);
        return [&](std::size_t, std::size_t) {
            if (++calls == 1) {
                ListFolder(folder_ / "two");
            }
            return true;
        };
    };
    window_->OpenFiles(many);
    EXPECT_EQ(labels, QStringList({QStringLiteral("Lecture des fichiers…"),
                                   QStringLiteral("Lecture des dossiers…")}));
    EXPECT_EQ(Controller().Mode(), ListingMode::Folder);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt"}));
    EXPECT_TRUE(desktop_.log.messages.isEmpty()) << "the list stopped says nothing of its paths";
    Controller().startProgress = nullptr;
}

} // namespace
} // namespace quorvel::test
