// How presses on the file grid change the selected rows.
#pragma once

#include <cstdint>

namespace quorvel {

class TListInt;
struct GridPress;

// Applies a press on grid row `row` (1 and up; below 1 nothing happens) to
// `selected`, with `anchor` the fixed end of a Shift range (-1 when there is none):
// a plain left press selects the row alone, a right press adds it, Ctrl toggles it
// (a right press never removes), Shift toggles the rows between the anchor and it,
// the anchor itself excluded. Returns true when the press was on a data row.
bool ApplyGridPress(TListInt& selected, int anchor, int row, const GridPress& press);

// Selects rows 1 to rowCount - 1 (every data row), in order.
void SelectAllRows(TListInt& selected, int rowCount);

} // namespace quorvel
