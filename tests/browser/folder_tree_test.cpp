#include "browser/folder_tree.hpp"
#include "support/temp_dir.hpp"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

namespace fs = std::filesystem;

QStringList Children(const QTreeWidgetItem* item) {
    QStringList names;
    for (int i = 0; i < item->childCount(); ++i) {
        names.push_back(item->child(i)->text(0));
    }
    return names;
}

// A tree showing a temporary folder, read, with the sub-folders `names`.
class FolderTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"b", "d"}) {
            fs::create_directory(dir_ / name);
        }
        dir_.Write("file.txt", "a file is no folder");
        ASSERT_TRUE(tree_.SelectPath(QByteArray::fromStdString(dir_.path())));
        shown_ = tree_.currentItem();
        shown_->setExpanded(true);
        ASSERT_EQ(Children(shown_), (QStringList{"b", "d"}));
    }

    // Waits until the folder shown has the sub-folders `names`.
    bool Becomes(const QStringList& names) {
        return QTest::qWaitFor([&] { return Children(shown_) == names; }, 5000);
    }

    test::TempDir dir_;
    TFolderTree tree_;
    QTreeWidgetItem* shown_ = nullptr;
};

TEST_F(FolderTreeTest, FollowsFoldersMadeRemovedAndRenamedOnDisk) {
    fs::create_directory(dir_ / "c");
    fs::create_directory(dir_ / "a");
    EXPECT_TRUE(Becomes({"a", "b", "c", "d"}));
    fs::remove(dir_ / "b");
    EXPECT_TRUE(Becomes({"a", "c", "d"}));
    fs::rename(dir_ / "a", dir_ / "e");
    EXPECT_TRUE(Becomes({"c", "d", "e"}));
    // Files come and go without the tree reading anything.
    dir_.Write("other.txt", "");
    QTest::qWait(300);
    EXPECT_EQ(Children(shown_), (QStringList{"c", "d", "e"}));
}

// A folder written to all the time (downloads, a temporary folder) still shows
// its new sub-folders.
TEST_F(FolderTreeTest, AFolderThatNeverStopsChangingStillShowsItsNewFolders) {
    int written = 0;
    QTimer churn;
    churn.setInterval(20);
    QObject::connect(&churn, &QTimer::timeout, [&] {
        if (written++ % 2 == 0) {
            dir_.Write("busy.part", "x");
        } else {
            fs::remove(dir_ / "busy.part");
        }
    });
    churn.start();
    QTest::qWait(100);
    fs::create_directory(dir_ / "c");
    EXPECT_TRUE(Becomes({"b", "c", "d"}));
    EXPECT_GT(written, 3);
}

TEST_F(FolderTreeTest, KeepsWhatWasReadBelowAFolderThatStays) {
    fs::create_directories(dir_ / "d/inner");
    QTreeWidgetItem* d = shown_->child(1);
    d->setExpanded(true);
    ASSERT_EQ(Children(d), QStringList{"inner"});
    fs::create_directory(dir_ / "c");
    ASSERT_TRUE(Becomes({"b", "c", "d"}));
    EXPECT_EQ(shown_->child(2), d);
    fs::create_directory(dir_ / "d/more");
    EXPECT_TRUE(QTest::qWaitFor([&] { return Children(d) == QStringList{"inner", "more"}; }, 5000));
}

TEST_F(FolderTreeTest, RefreshAndExpandingAgainReadWhatChanged) {
    fs::create_directory(dir_ / "c");
    tree_.Refresh(); // at once, without waiting for the watch
    EXPECT_EQ(Children(shown_), (QStringList{"b", "c", "d"}));
    shown_->setExpanded(false);
    fs::remove(dir_ / "c");
    shown_->setExpanded(true);
    EXPECT_EQ(Children(shown_), (QStringList{"b", "d"}));
}

TEST_F(FolderTreeTest, TheFolderShownGoingShowsItsParent) {
    ASSERT_TRUE(tree_.SelectPath(QByteArray::fromStdString(dir_ / "b")));
    QSignalSpy changed(&tree_, &TFolderTree::FolderChanged);
    fs::remove(dir_ / "b");
    EXPECT_TRUE(Becomes({"d"}));
    EXPECT_EQ(tree_.CurrentFolder().toStdString(), dir_.path());
    EXPECT_GE(changed.count(), 1);
}

TEST_F(FolderTreeTest, NamesThatAreNotUtf8AreFollowedByTheirBytes) {
    const std::string odd = dir_ / "caf\xE9";
    fs::create_directory(odd);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown_->childCount() == 3; }, 5000));
    ASSERT_TRUE(tree_.SelectPath(QByteArray::fromStdString(odd)));
    EXPECT_EQ(tree_.CurrentFolder().toStdString(), odd);
    tree_.currentItem()->setExpanded(true);
    fs::create_directory(odd + "/inside");
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree_.currentItem()->childCount() == 1; }, 5000));
    fs::remove(odd + "/inside");
    fs::remove(odd);
    EXPECT_TRUE(Becomes({"b", "d"}));
}

} // namespace
} // namespace quorvel
