// Which rows of the file grid are selected: the sorted list of selected grid rows
// (1 and up) and the anchor of Shift ranges. Changed only through the press rules
// of browser/grid_selection.hpp; every change is announced by `changed`.
#pragma once

#include "files/listing/list_int.hpp"

#include <QObject>
#include <vector>

namespace quorvel {

struct GridPress;

class FileSelection final : public QObject {
    Q_OBJECT
public:
    explicit FileSelection(QObject* parent = nullptr);

    const TListInt& Rows() const { return rows_; }
    // The row a Shift range starts from; -1 when there is none.
    int AnchorRow() const { return anchor_; }
    // Moving the anchor ends a Shift extension.
    void SetAnchorRow(int row);

    // A press on grid row `row`; false when it was not on a data row.
    bool Apply(const GridPress& press, int row);
    // Shift and a move key made grid row `row` current: the selection becomes what
    // it was when this Shift extension began plus every row from the anchor (row 1
    // when there is none) to `row`, both included. Any other change ends the
    // extension, and the next one begins from the selection as it is then.
    void ExtendTo(int row);
    // Every data row of a grid of `rowCount` rows (header included).
    void SelectAll(int rowCount);
    // Selects the given grid rows, sorted.
    void Select(const std::vector<int>& rows);
    // Nothing selected; the anchor stays.
    void Clear();

    // The selected rows that hold one of `fileCount` records, as 0-based indexes.
    std::vector<std::size_t> Indexes(std::size_t fileCount) const;

signals:
    void changed();

private:
    TListInt rows_;
    int anchor_ = -1;
    bool extending_ = false;
    std::vector<int> extensionBase_; // the selection when the Shift extension began
};

} // namespace quorvel
