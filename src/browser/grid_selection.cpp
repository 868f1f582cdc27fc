#include "browser/grid_selection.hpp"

#include "browser/file_grid.hpp"
#include "files/listing/list_int.hpp"

namespace quorvel {

namespace {

// Ctrl rule for one row: a left press removes a selected row; any press adds an
// unselected one.
void ToggleRow(TListInt& selected, int row, bool left) {
    const auto at = selected.IndexOf(row);
    if (at >= 0) {
        if (left) {
            selected.Delete(static_cast<std::size_t>(at));
        }
    } else {
        selected.Add(row);
    }
}

bool NoKey(const GridPress& p) {
    return !p.shift && !p.ctrl && !p.alt && !p.doubleClick;
}

} // namespace

bool ApplyGridPress(TListInt& selected, int anchor, int row, const GridPress& press) {
    if (row < 1) {
        return false;
    }
    if (press.left && !press.right && !press.middle && NoKey(press)) {
        selected.Clear();
        selected.Add(row);
    } else if (press.right && !press.left && !press.middle && NoKey(press)) {
        if (selected.IndexOf(row) < 0) {
            selected.Add(row);
        }
    } else if (press.ctrl) {
        ToggleRow(selected, row, press.left);
    } else if (press.shift) {
        const int first = row > anchor ? anchor + 1 : row;
        const int last = row > anchor ? row : anchor - 1;
        for (int r = std::max(first, 1); r <= last; ++r) {
            ToggleRow(selected, r, press.left);
        }
    }
    return true;
}

void SelectAllRows(TListInt& selected, int rowCount) {
    selected.Clear();
    selected.AddRange(1, rowCount);
}

} // namespace quorvel
