// The selection of grid rows: presses, and the Shift extension of the keyboard.
#include "browser/file_grid.hpp"
#include "browser/file_selection.hpp"

#include <QSignalSpy>
#include <gtest/gtest.h>

namespace quorvel {
namespace {

std::vector<int> RowsOf(const FileSelection& selection) {
    std::vector<int> rows;
    for (std::size_t i = 0; i < selection.Rows().Count(); ++i) {
        rows.push_back(selection.Rows().Items(i));
    }
    return rows;
}

GridPress CtrlPress() {
    GridPress press;
    press.left = true;
    press.ctrl = true;
    return press;
}

TEST(FileSelection, ShiftExtendsWhatWasSelectedWithTheRowsFromTheAnchor) {
    FileSelection selection;
    QSignalSpy changes(&selection, &FileSelection::changed);
    selection.SetAnchorRow(2);
    selection.Apply(CtrlPress(), 2);
    selection.SetAnchorRow(6);
    selection.Apply(CtrlPress(), 6);
    EXPECT_EQ(RowsOf(selection), std::vector<int>({2, 6}));

    // From anchor 6 down to 8, then back up across the anchor to 4: each step is
    // {2, 6} and the rows between the anchor and the current row, both included.
    selection.ExtendTo(7);
    EXPECT_EQ(RowsOf(selection), std::vector<int>({2, 6, 7}));
    selection.ExtendTo(8);
    EXPECT_EQ(RowsOf(selection), std::vector<int>({2, 6, 7, 8}));
    selection.ExtendTo(4);
    EXPECT_EQ(RowsOf(selection), std::vector<int>({2, 4, 5, 6}));
    selection.ExtendTo(6);
    EXPECT_EQ(RowsOf(selection), std::vector<int>({2, 6}));
    EXPECT_EQ(selection.AnchorRow(), 6);

    // A press ends the extension: the next one starts from the selection then.
    selection.ExtendTo(8);
    selection.Apply(CtrlPress(), 7); // toggles 7 off
    EXPECT_EQ(RowsOf(selection), std::vector<int>({2, 6, 8}));
    selection.ExtendTo(5);
    EXPECT_EQ(RowsOf(selection), std::vector<int>({2, 5, 6, 8}));
    // So does a move of the anchor.
    selection.SetAnchorRow(10);
    selection.ExtendTo(11);
    EXPECT_EQ(RowsOf(selection), std::vector<int>({2, 5, 6, 8, 10, 11}));
    EXPECT_EQ(changes.count(), 10); // every press and every step
}

TEST(FileSelection, ShiftWithoutAnAnchorStartsAtTheFirstRow) {
    FileSelection selection;
    selection.ExtendTo(3);
    EXPECT_EQ(RowsOf(selection), std::vector<int>({1, 2, 3}));
    selection.ExtendTo(0); // no data row: nothing
    EXPECT_EQ(RowsOf(selection), std::vector<int>({1, 2, 3}));
    selection.Clear();
    selection.ExtendTo(2);
    EXPECT_EQ(RowsOf(selection), std::vector<int>({1, 2}));
}

TEST(FileSelection, ALongExtensionIsOneRangeOfRows) {
    FileSelection selection;
    selection.SetAnchorRow(1);
    selection.ExtendTo(1'000'000);
    EXPECT_EQ(selection.Rows().Count(), 1'000'000U);
    selection.SelectAll(4);
    EXPECT_EQ(RowsOf(selection), std::vector<int>({1, 2, 3}));
    selection.ExtendTo(2); // a new extension, from the selection of every row
    EXPECT_EQ(RowsOf(selection), std::vector<int>({1, 2, 3}));
}

} // namespace
} // namespace quorvel
