// "Sous-dossiers" and "Renommer aussi les dossiers": the window lists the folders
// below the folder chosen, and the folders themselves, keeps both choices between
// sessions, shows where each file is, and previews, runs and undoes across the tree.
#include "editor/example_list.hpp"
#include "editor/script_document.hpp"
#include "engine/codec.hpp"
#include "files/run/progress.hpp"
#include "settings/ini_file.hpp"
#include "support/unprivileged.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <filesystem>
#include <sys/stat.h>

namespace quorvel::test {
namespace {

class TreeListing : public MainWindowTest {
protected:
    // b.txt, a.txt; sub1/c.txt, sub1/deep/d.txt; sub2/e.txt.
    void MakeTree() {
        for (const char* folder : {"sub1/deep", "sub2"}) {
            std::filesystem::create_directories(folder_ / folder);
        }
        MakeFiles({"b.txt", "a.txt", "sub1/c.txt", "sub1/deep/d.txt", "sub2/e.txt"});
    }
    QCheckBox* SubFolders() const { return Get<QCheckBox>("CheckSousDossiers"); }
    QCheckBox* Folders() const { return Get<QCheckBox>("CheckDossiers"); }

    // The rows of the grid: each entry's path below the folder listed, a folder with "/".
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (const TProjectFile& file : Controller().Files().Files()) {
            rows.push_back(file.RelativeBytes() + (file.IsFolder() ? "/" : ""));
        }
        return rows;
    }
};

TEST_F(TreeListing, TheCheckBoxesSpeakTheLanguageShownAndAreKeptBetweenSessions) {
    CopyLanguageFiles();
    Start();
    EXPECT_EQ(SubFolders()->text(), QStringLiteral("Sous-dossiers"));
    EXPECT_EQ(Folders()->text(), QStringLiteral("Renommer aussi les dossiers"));
    EXPECT_FALSE(SubFolders()->isChecked() || Folders()->isChecked());
    // Above "Exemple :", whole in the panel.
    EXPECT_LT(Folders()->geometry().bottom(), Get<QLabel>("LabExemple")->y());
    EXPECT_LE(Folders()->geometry().right(), Get<QWidget>("PanelVOIR")->width());
    Get<QAction>("MNU_Anglais")->trigger();
    EXPECT_EQ(SubFolders()->text(), QStringLiteral("Sub-folders"));
    EXPECT_EQ(Folders()->text(), QStringLiteral("Rename folders too"));
    EXPECT_EQ(messages::FoldersProgress(), QStringLiteral("Reading folders…"));
    EXPECT_EQ(messages::UnreadableFolders(2), QStringLiteral("2 unreadable folders"));
    SubFolders()->setChecked(true);
    Get<QAction>("MNU_QUIT")->trigger();
    EXPECT_EQ(IniFile(SettingsPath()).ReadInteger("OPTIONS", "SUBFOLDERS", -1), 1);
    EXPECT_EQ(IniFile(SettingsPath()).ReadInteger("OPTIONS", "FOLDERS", -1), 0);

    MakeTree();
    Start();
    EXPECT_TRUE(SubFolders()->isChecked());
    EXPECT_FALSE(Folders()->isChecked());
    ListFolder();
    EXPECT_EQ(Controller().Files().Count(), 5U); // the tree, as the last session left it
    Folders()->setChecked(true);
    SubFolders()->setChecked(false);
    window_->close();
    EXPECT_EQ(IniFile(SettingsPath()).ReadInteger("OPTIONS", "SUBFOLDERS", -1), 0);
    EXPECT_EQ(IniFile(SettingsPath()).ReadInteger("OPTIONS", "FOLDERS", -1), 1);
    SetLanguageIndex(0);
}

TEST_F(TreeListing, TheBoxesListTheTreeInItsOrderAndEachRowSaysWhereItIs) {
    MakeTree();
    MainWindow& w = Start();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    ListFolder();
    const FileListModel& model = Controller().Files();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_FALSE(model.DetailLineOfRow(1).contains(QLatin1Char('/'))); // one folder: as it always was

    // Space on the box, reached with Tab from the filter, lists the tree.
    Get<QWidget>("EdFiltre")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), SubFolders());
    QTest::keyClick(SubFolders(), Qt::Key_Space);
    EXPECT_EQ(Rows(),
              (std::vector<std::string>{"a.txt", "b.txt", "sub1/c.txt", "sub1/deep/d.txt", "sub2/e.txt"}));
    EXPECT_TRUE(model.DetailLineOfRow(4).startsWith(QStringLiteral("sub1/deep/    ")))
        << model.DetailLineOfRow(4).toStdString();
    EXPECT_FALSE(model.DetailLineOfRow(1).contains(QLatin1Char('/')));
    EXPECT_EQ(model.index(3, 0).data(Qt::AccessibleTextRole).toString().left(17),
              QStringLiteral("d.txt, sub1/deep/"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), Folders());
    QTest::keyClick(Folders(), Qt::Key_Space);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt", "b.txt", "sub1/", "sub2/", "sub1/c.txt",
                                                "sub1/deep/", "sub1/deep/d.txt", "sub2/e.txt"}));
    EXPECT_EQ(model.ShownNameOfRow(3), QStringLiteral("sub1/"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Get<QWidget>("StringGridFiles"));

    // The folders of the folder chosen alone, with its files.
    SubFolders()->setChecked(false);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt", "b.txt", "sub1/", "sub2/"}));
    EXPECT_TRUE(Get<QLabel>("ListStatus")->text().isEmpty());
}

// A tree may take long to read: its progress is followed, and "Arrêter" keeps what
// was listed so far.
TEST_F(TreeListing, StoppingTheReadingOfATreeKeepsWhatWasListed) {
    MakeTree();
    Start();
    ListFolder();
    QStringList labels;
    Controller().startProgress = [&labels](const QString& label) -> ProgressHook {
        labels.push_back(label);
        return [](std::size_t, std::size_t) { return false; }; // "Arrêter" at once
    };
    ListFolder();
    EXPECT_TRUE(labels.isEmpty()) << "one folder is read at once";
    SubFolders()->setChecked(true);
    EXPECT_EQ(labels, QStringList({QStringLiteral("Lecture des dossiers…")}));
    EXPECT_EQ(Rows(), (std::vector<std::string>{"a.txt", "b.txt"}));
    Controller().startProgress = nullptr;
}

class TreeRun : public TreeListing {
protected:
    // The tree listed, every file selected, "x_" put before each name, and run.
    void RunOnTheTree() {
        MakeTree();
        MainWindow& w = Start();
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        ListFolder();
        SubFolders()->setChecked(true);
        Controller().Script().Load({DecodeName("14|Ajouter [Chaine=x_] au début")});
        QTest::keyClick(Get<TFileGrid>("StringGridFiles"), Qt::Key_A, Qt::ControlModifier);
        Settle();
        EXPECT_EQ(Get<TExampleList>("MemoExemple")->toPlainText().split('\n'),
                  QStringList({"x_a.txt", "x_b.txt", "x_c.txt", "x_d.txt", "x_e.txt"}));
        Controller().run(RunMode::Unattended);
    }
};

TEST_F(TreeRun, PreviewAndRunReachTheFilesOfEveryFolder) {
    RunOnTheTree();
    for (const char* renamed : {"x_a.txt", "sub1/x_c.txt", "sub1/deep/x_d.txt", "sub2/x_e.txt"}) {
        EXPECT_TRUE(std::filesystem::exists(folder_ / renamed)) << renamed;
    }
    EXPECT_EQ(ReadFileBytes(folder_ / "sub1/deep/x_d.txt"), "sub1/deep/d.txt");
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3, 4, 5})); // under their new names, in their folders
    EXPECT_TRUE(desktop_.log.errors.isEmpty()) << desktop_.log.errors.join('\n').toStdString();
}

// A folder renamed with a file in it: the file is selected again where it is now,
// under the folder's new name.
TEST_F(TreeRun, AFolderRenamedWithItsFilesKeepsThemSelected) {
    MakeTree();
    Start();
    ListFolder();
    Folders()->setChecked(true);
    SubFolders()->setChecked(true);
    ASSERT_EQ(Rows(), (std::vector<std::string>{"a.txt", "b.txt", "sub1/", "sub2/", "sub1/c.txt",
                                                "sub1/deep/", "sub1/deep/d.txt", "sub2/e.txt"}));
    Controller().Script().Load({DecodeName("14|Ajouter [Chaine=x_] au début")});
    Controller().Selection().Select({3, 5, 6, 7});
    Controller().run(RunMode::Unattended);
    EXPECT_EQ(ReadFileBytes(folder_ / "x_sub1/x_deep/x_d.txt"), "sub1/deep/d.txt");
    // a.txt, b.txt, sub2/, x_sub1/, sub2/e.txt, x_sub1/x_c.txt, x_sub1/x_deep/, x_sub1/x_deep/x_d.txt
    EXPECT_EQ(Selected(), (std::vector<int>{4, 6, 7, 8}));
}

// Ctrl+Z takes back the run in every folder of the tree, from its one journal.
TEST_F(TreeRun, CtrlZTakesBackTheRunInEveryFolder) {
    RunOnTheTree();
    QTest::keyClick(Get<TFileGrid>("StringGridFiles"), Qt::Key_Z, Qt::ControlModifier);
    for (const char* back : {"a.txt", "b.txt", "sub1/c.txt", "sub1/deep/d.txt", "sub2/e.txt"}) {
        EXPECT_EQ(ReadFileBytes(folder_ / back), back);
    }
    EXPECT_FALSE(std::filesystem::exists(folder_ / "sub2/x_e.txt"));
    EXPECT_TRUE(desktop_.log.errors.isEmpty()) << desktop_.log.errors.join('\n').toStdString();
}

TEST_F(TreeListing, FoldersThatCannotBeReadAreCountedOnceInTheStatusLine) {
    MakeTree();
    std::filesystem::create_directories(folder_ / "sub2/locked");
    Start();
    ListFolder();
    SubFolders()->setChecked(true);
    // Root reads every folder: the listing is made again in a child without root's rights.
    for (const char* folder : {"", "/sub1", "/sub1/deep", "/sub2"}) {
        ASSERT_EQ(::chmod((folder_.path() + folder).c_str(), 0755), 0);
    }
    for (const char* locked : {"sub1/deep", "sub2/locked"}) {
        ASSERT_EQ(::chmod((folder_ / locked).c_str(), 0711), 0);
    }
    const auto status = InChildWithoutRoot([&] {
        Controller().listFolder(QByteArray::fromStdString(folder_.path()), QStringLiteral("*.*"));
        const bool listed = Rows() == std::vector<std::string>{"a.txt", "b.txt", "sub1/c.txt", "sub2/e.txt"};
        const auto* line = Get<QLabel>("ListStatus");
        const bool told = line->text() == QStringLiteral("2 dossiers illisibles") &&
                          line->toolTip().contains(QStringLiteral("sub1/deep")) &&
                          line->toolTip().contains(QStringLiteral("sub2/locked"));
        return (listed ? 0 : 1) + (told ? 0 : 2) + (desktop_.log.errors.isEmpty() ? 0 : 4);
    });
    for (const char* locked : {"sub1/deep", "sub2/locked"}) {
        ::chmod((folder_ / locked).c_str(), 0700);
    }
    if (!status) {
        GTEST_SKIP() << "cannot give up root's rights here";
    }
    EXPECT_EQ(*status, 0) << "1: the rest was not listed, 2: the status line did not say, 4: a box was shown";
}

} // namespace
} // namespace quorvel::test
