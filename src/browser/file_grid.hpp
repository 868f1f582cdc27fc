// The file grid: one row per found file, drawn by the program (icon, name, and
// under it the size and date; in a listing of sub-folders the folder of the file
// first). The grid's own current cell and selection only
// tell which of two blues a selected row takes; which rows are selected is the
// file selection (browser/file_selection.hpp), changed by the press rules.
#pragma once

#include <QHeaderView>
#include <QStyledItemDelegate>
#include <QTableView>
#include <string>
#include <vector>

namespace quorvel {

class FileListModel;
class TListInt;

// A name as the grid shows it: control characters as their visible symbols
// ("\n" as U+240A), so that a name keeps to its own line. The file keeps its name.
QString VisibleName(QString name);

// The colours the grid paints with; the classic ones unless told otherwise.
struct GridColours {
    QColor base = Qt::white; // a row that is not selected
    QColor text = Qt::black;
    QColor selected{115, 201, 240};      // a selected row
    QColor selectedLight{135, 221, 245}; // a selected row under the grid's highlight
    QColor selectedText = Qt::white;
    QColor headerFrame = Qt::white; // the frame of the header row
};

class FileCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    FileCellDelegate(const FileListModel& files, const TListInt& selectedRows, QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

    // Draws grid row `row` (1 and up) into `rect`; `gridSelected` when the grid
    // reports the cell as its current cell or part of its dragged range.
    void DrawFileCell(QPainter& painter, int row, QRect rect, bool gridSelected, const QFont& font) const;

    // The second line of a file's row: size, four spaces, date and time.
    static QString DetailText(std::int64_t size, std::int64_t date);
    // The date and time alone, as DetailText writes them (the second line of a folder's row).
    static QString DateText(std::int64_t date);

    static const QColor kSelectedLight; // selected row under the grid's highlight
    static const QColor kSelected;      // any other selected row

    void SetColours(const GridColours& colours) { colours_ = colours; }

private:
    const FileListModel& files_;
    const TListInt& selectedRows_;
    GridColours colours_;
};

// The header row: a button-face strip with a frame (white in the classic look), no text.
class FileGridHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit FileGridHeader(QWidget* parent);
    void SetFrameColour(const QColor& colour);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;

private:
    QColor frame_ = Qt::white;
};

// What was held when the grid was pressed.
struct GridPress {
    bool left = false;
    bool right = false;
    bool middle = false;
    bool doubleClick = false;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

class TFileGrid : public QTableView {
    Q_OBJECT
public:
    // Shows the records of `model` (which outlives the grid), `selectedRows` drawn
    // as selected.
    TFileGrid(FileListModel& model, const TListInt& selectedRows, QWidget* parent);

    FileListModel& Model() { return model_; }
    // Number of grid rows, the header row included (so at least 1).
    int RowCount() const;
    // Grid row of the current cell, -1 when there is none.
    int CurrentRow() const;
    void SetCurrentRow(int row);
    // Grid row under a point of the viewport; 0 for none.
    int RowAt(QPoint viewportPos) const;
    // Height of data rows: two lines of text in the grid's font, plus 5.
    int DataRowHeight() const;
    // Paints the rows and the header with `colours` from now on.
    void SetColours(const GridColours& colours);

signals:
    // A press of the mouse on grid row `row` (0 for the header or below the rows),
    // after the grid has moved its own current cell: a left press without Shift
    // makes the row current, and so does a right press on a data row. Space is a
    // Ctrl+left press on the current row.
    void pressed(const quorvel::GridPress& press, int row);
    // The grid made row `row` current (a click, a right click, the arrow, page,
    // Home and End keys, Space on it), not as the focus arrived or by a Shift
    // press or key: the anchor of Shift ranges.
    void currentRowChanged(int row);
    // Shift and a move key made row `row` current: the selection reaches from the
    // anchor to it (browser/file_selection.hpp, ExtendTo).
    void extendRequested(int row);
    // Ctrl+A, other modifiers allowed; the key goes no further.
    void selectAllRequested();
    // A left double click; `row` is the current row, or -1.
    void openRequested(int row);
    // Files were dropped on the grid from a file manager: their paths, as bytes.
    void filesDropped(const std::vector<std::string>& paths);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Home and End go to the first and the last row.
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    // The current row in a frame while the grid has the focus.
    void paintEvent(QPaintEvent* event) override;
    // Local files dragged from a file manager are taken, as a link or a copy,
    // never as a move: the files stay where they are, and are listed.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    GridPress PressOf(const QMouseEvent* event, bool doubleClick) const;
    FileListModel& model_;
    FileCellDelegate delegate_;
    FileGridHeader* header_ = nullptr;
    bool shiftPress_ = false; // a Shift press, a press below the rows or the focus arriving: no anchor moves
};

} // namespace quorvel
