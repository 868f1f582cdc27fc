// The command tree on the keyboard and the mouse: a command is chosen by Enter,
// Insert or a double click; a group only opens and closes.
#include "editor/command_tree.hpp"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

struct CommandTreeTest : ::testing::Test {
    TCommandTree tree;
    QSignalSpy chosen{&tree, &TCommandTree::commandChosen};

    CommandTreeTest() {
        tree.resize(300, 600);
        tree.show();
    }
    QPoint PointOf(int number) const { return tree.visualItemRect(tree.Node(number)).center(); }
    // A double click as the mouse makes one: a click, then the second press and its release.
    void DoubleClick(int number, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(tree.viewport(), button, Qt::NoModifier, PointOf(number));
        QTest::mouseDClick(tree.viewport(), button, Qt::NoModifier, PointOf(number));
        QTest::mouseRelease(tree.viewport(), button, Qt::NoModifier, PointOf(number));
    }
};

TEST_F(CommandTreeTest, EnterAndInsertChooseTheCurrentCommand) {
    tree.setCurrentItem(tree.Node(1));
    QTest::keyClick(&tree, Qt::Key_Return);
    tree.setCurrentItem(tree.Node(14));
    QTest::keyClick(&tree, Qt::Key_Insert);
    QTest::keyClick(&tree, Qt::Key_Enter, Qt::KeypadModifier);
    ASSERT_EQ(chosen.count(), 3);
    EXPECT_EQ(chosen[0], QVariantList({1}));
    EXPECT_EQ(chosen[1], QVariantList({14}));
    EXPECT_EQ(chosen[2], QVariantList({14}));
    // With Ctrl or Shift held, Enter chooses nothing.
    QTest::keyClick(&tree, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(&tree, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(chosen.count(), 3);
}

TEST_F(CommandTreeTest, EnterOpensAndClosesAGroupAndInsertLeavesIt) {
    QTreeWidgetItem* group = tree.Node(0);
    ASSERT_TRUE(group->isExpanded());
    tree.setCurrentItem(group);
    QTest::keyClick(&tree, Qt::Key_Return);
    EXPECT_FALSE(group->isExpanded());
    QTest::keyClick(&tree, Qt::Key_Insert);
    EXPECT_FALSE(group->isExpanded());
    QTest::keyClick(&tree, Qt::Key_Return);
    EXPECT_TRUE(group->isExpanded());
    EXPECT_EQ(chosen.count(), 0);
    // The arrows still move through the tree.
    QTest::keyClick(&tree, Qt::Key_Down);
    EXPECT_EQ(tree.currentItem(), tree.Node(1));
}

TEST_F(CommandTreeTest, ADoubleClickChoosesACommandAndOpensOrClosesAGroup) {
    QTreeWidgetItem* group = tree.Node(9);
    ASSERT_TRUE(group->isExpanded());
    DoubleClick(9);
    EXPECT_FALSE(group->isExpanded());
    EXPECT_EQ(chosen.count(), 0);
    DoubleClick(1);
    ASSERT_EQ(chosen.count(), 1);
    EXPECT_EQ(chosen[0], QVariantList({1}));
    DoubleClick(1, Qt::RightButton);
    EXPECT_EQ(chosen.count(), 1);
}

} // namespace
} // namespace quorvel
