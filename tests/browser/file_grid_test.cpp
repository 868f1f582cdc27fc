// The file grid on a real folder: what it says the user did.
#include "browser/file_grid.hpp"
#include "browser/file_list_model.hpp"
#include "engine/codec.hpp"
#include "files/listing/list_int.hpp"
#include "support/temp_dir.hpp"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

struct FileGridTest : ::testing::Test {
    test::TempDir folder;
    FileListModel files;
    TListInt selected;
    TFileGrid grid{files, selected, nullptr};

    FileGridTest() {
        for (const char* name : {"1.txt", "2.txt", "3.txt"}) {
            folder.Write(name, name);
        }
        files.List(FolderPath(folder.path()), U"*.*");
        grid.resize(400, 300);
        grid.verticalHeader()->setDefaultSectionSize(grid.DataRowHeight());
        grid.show();
    }
    QPoint RowPoint(int row) const { return grid.visualRect(files.index(row - 1, 0)).center(); }
};

TEST_F(FileGridTest, APressIsReportedAfterTheGridMovedItsCurrentRow) {
    QSignalSpy presses(&grid, &TFileGrid::pressed);
    QSignalSpy current(&grid, &TFileGrid::currentRowChanged);
    int currentAtPress = -1;
    QObject::connect(&grid, &TFileGrid::pressed, [&] { currentAtPress = grid.CurrentRow(); });

    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(2));
    ASSERT_EQ(presses.count(), 1);
    EXPECT_EQ(presses[0][1].toInt(), 2);
    EXPECT_EQ(currentAtPress, 2);
    EXPECT_EQ(current.takeLast()[0].toInt(), 2);

    // A right press makes its row current too; a Shift press leaves the anchor.
    QTest::mouseClick(grid.viewport(), Qt::RightButton, Qt::NoModifier, RowPoint(3));
    EXPECT_EQ(currentAtPress, 3);
    EXPECT_EQ(current.takeLast()[0].toInt(), 3);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, RowPoint(1));
    EXPECT_TRUE(current.isEmpty());
    EXPECT_TRUE(presses.last()[0].value<GridPress>().shift);

    // Below the rows: row 0, no current row moved.
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(20, grid.viewport()->height() - 2));
    EXPECT_EQ(presses.last()[1].toInt(), 0);
    EXPECT_TRUE(current.isEmpty());
}

TEST_F(FileGridTest, CtrlAAsksForEveryRowAndADoubleClickToOpenTheCurrentOne) {
    QSignalSpy all(&grid, &TFileGrid::selectAllRequested);
    QSignalSpy current(&grid, &TFileGrid::currentRowChanged);
    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&grid, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(all.count(), 2);
    EXPECT_TRUE(current.isEmpty()); // the key goes no further

    QSignalSpy open(&grid, &TFileGrid::openRequested);
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, RowPoint(3));
    ASSERT_EQ(open.count(), 1);
    EXPECT_EQ(open[0][0].toInt(), 3);
    QTest::mouseDClick(grid.viewport(), Qt::RightButton, Qt::NoModifier, RowPoint(1));
    EXPECT_EQ(open.count(), 1);
}

TEST_F(FileGridTest, MoveKeysMakeARowCurrentAndMoveTheAnchor) {
    for (const char* name : {"4.txt", "5.txt", "6.txt"}) {
        folder.Write(name, name);
    }
    files.List(FolderPath(folder.path()), U"*.*");
    QSignalSpy current(&grid, &TFileGrid::currentRowChanged);
    QSignalSpy presses(&grid, &TFileGrid::pressed);
    grid.SetCurrentRow(2);
    current.clear();
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.CurrentRow(), 3);
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(grid.CurrentRow(), 2);
    QTest::keyClick(&grid, Qt::Key_End); // the last row, not the end of the row
    EXPECT_EQ(grid.CurrentRow(), 6);
    QTest::keyClick(&grid, Qt::Key_Home);
    EXPECT_EQ(grid.CurrentRow(), 1);
    QTest::keyClick(&grid, Qt::Key_PageDown);
    EXPECT_GT(grid.CurrentRow(), 1);
    QList<int> rows;
    for (const QVariantList& signal : current) {
        rows.push_back(signal[0].toInt());
    }
    EXPECT_EQ(rows, QList<int>({3, 2, 6, 1, grid.CurrentRow()})); // each move sets the anchor
    EXPECT_TRUE(presses.isEmpty());                               // moving selects nothing
}

TEST_F(FileGridTest, TheCurrentRowIsFramedWhileTheGridHasTheFocus) {
    grid.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
    grid.setFocus();
    grid.SetCurrentRow(2);
    const auto blackAt = [&](int row) {
        const QRect r = grid.visualRect(files.index(row - 1, 0));
        const QImage image = grid.viewport()->grab().toImage();
        int count = 0;
        for (int x = r.left() + 2; x < r.right() - 2; ++x) {
            count += QColor(image.pixel(x, r.top() + 2)) == QColor(Qt::black) ? 1 : 0;
        }
        return count;
    };
    EXPECT_GT(blackAt(2), 100); // the frame's top along the row
    EXPECT_EQ(blackAt(1), 0);
    grid.clearFocus();
    EXPECT_EQ(blackAt(2), 0);
}

TEST_F(FileGridTest, SpaceIsACtrlPressOnTheCurrentRowAndShiftKeysExtendFromTheAnchor) {
    QSignalSpy current(&grid, &TFileGrid::currentRowChanged);
    QSignalSpy presses(&grid, &TFileGrid::pressed);
    QSignalSpy extends(&grid, &TFileGrid::extendRequested);
    QTest::keyClick(&grid, Qt::Key_Space); // no current row yet: nothing
    EXPECT_TRUE(presses.isEmpty());
    grid.SetCurrentRow(2);
    current.clear();
    QTest::keyClick(&grid, Qt::Key_Space);
    ASSERT_EQ(presses.count(), 1);
    const auto press = presses[0][0].value<GridPress>();
    EXPECT_TRUE(press.left && press.ctrl && !press.shift && !press.right && !press.doubleClick);
    EXPECT_EQ(presses[0][1].toInt(), 2);
    EXPECT_EQ(current.takeLast()[0].toInt(), 2); // the row toggled is the anchor, as after a Ctrl+click

    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier); // at the last row already: nothing
    QTest::keyClick(&grid, Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(&grid, Qt::Key_Home, Qt::ShiftModifier);
    QTest::keyClick(&grid, Qt::Key_End, Qt::ShiftModifier);
    EXPECT_TRUE(current.isEmpty()); // the anchor stays
    QList<int> rows;
    for (const QVariantList& signal : extends) {
        rows.push_back(signal[0].toInt());
    }
    EXPECT_EQ(rows, QList<int>({3, 2, 1, 3}));
    EXPECT_EQ(grid.CurrentRow(), 3);
    EXPECT_EQ(presses.count(), 1);
    // A plain move afterwards moves the anchor again.
    QTest::keyClick(&grid, Qt::Key_Up);
    ASSERT_EQ(current.count(), 1);
    EXPECT_EQ(current[0][0].toInt(), 2);
}

} // namespace
} // namespace quorvel
