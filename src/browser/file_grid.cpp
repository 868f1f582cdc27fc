#include "browser/file_grid.hpp"

#include "bridge/qt_text.hpp"
#include "browser/dropped_files.hpp"
#include "browser/file_list_model.hpp"
#include "browser/icon_cache.hpp"
#include "engine/codec.hpp"
#include "files/listing/list_int.hpp"
#include "files/listing/project_file.hpp"
#include "files/listing/size_text.hpp"

#include <QDateTime>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace quorvel {

QString VisibleName(QString name) {
    for (QChar& c : name) {
        if (c.unicode() < 0x20) {
            c = QChar(static_cast<char16_t>(0x2400 + c.unicode())); // the control pictures
        } else if (c.unicode() == 0x7F) {
            c = QChar(static_cast<char16_t>(0x2421));
        }
    }
    return name;
}

// --- Drawing -----------------------------------------------------------------

const QColor FileCellDelegate::kSelectedLight = GridColours{}.selectedLight;
const QColor FileCellDelegate::kSelected = GridColours{}.selected;

FileCellDelegate::FileCellDelegate(const FileListModel& files, const TListInt& selectedRows, QObject* parent)
    : QStyledItemDelegate(parent), files_(files), selectedRows_(selectedRows) {}

QString FileCellDelegate::DetailText(std::int64_t size, std::int64_t date) {
    return ToQString(SizeText(size)) + QStringLiteral("    ") + DateText(date);
}

QString FileCellDelegate::DateText(std::int64_t date) {
    const QLocale locale = QLocale::system();
    const QDateTime when = QDateTime::fromSecsSinceEpoch(date);
    QString text = locale.toString(when.date(), QLocale::ShortFormat);
    if (when.time() != QTime(0, 0, 0)) {
        // The long time format without its time zone.
        QString format = locale.timeFormat(QLocale::LongFormat);
        format.remove(QLatin1Char('t'));
        text += QLatin1Char(' ') + locale.toString(when.time(), format.trimmed());
    }
    return text;
}

void FileCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    const bool gridSelected = option.state.testFlag(QStyle::State_Selected);
    DrawFileCell(*painter, index.row() + 1, option.rect, gridSelected, option.font);
}

void FileCellDelegate::DrawFileCell(QPainter& painter, int row, QRect rect, bool gridSelected,
                                    const QFont& font) const {
    painter.save();
    QFont plain = font;
    plain.setBold(false);
    plain.setItalic(false);
    plain.setUnderline(false);
    plain.setStrikeOut(false);
    painter.setFont(plain);
    const TProjectFile* record = files_.RecordOfRow(row);
    if (record == nullptr) {
        painter.fillRect(rect, colours_.base);
        painter.restore();
        return;
    }
    const TProjectFile& file = *record;
    // A file gone since the listing keeps its name alone (and its folder).
    const QString text = files_.ShownNameOfRow(row) + QLatin1Char('\n') + files_.DetailLineOfRow(row);

    QColor background = colours_.base;
    QColor foreground = colours_.text;
    if (selectedRows_.IndexOf(row) >= 0) {
        background = gridSelected ? colours_.selectedLight : colours_.selected;
        foreground = colours_.selectedText;
    }
    painter.fillRect(rect, background);
    rect.adjust(2, 0, -2, 0);

    const int image = file.IsFolder()
                          ? TIconCache::kFolderImage
                          : IconKeys().FileIconIndex(QString::fromUtf8(EncodeName(file.FullPath())));
    const int top = rect.top() + (rect.height() - TIconCache::kSize) / 2;
    painter.drawPixmap(rect.left(), top, IconKeys().Image(image));

    rect.setLeft(rect.left() + TIconCache::kSize);
    rect.adjust(4, 0, -4, 0);
    painter.setPen(foreground);
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip, text);
    painter.restore();
}

// --- Header ------------------------------------------------------------------

FileGridHeader::FileGridHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Interactive);
    setStretchLastSection(false);
    setFixedHeight(20);
}

void FileGridHeader::SetFrameColour(const QColor& colour) {
    frame_ = colour;
    viewport()->update();
}

void FileGridHeader::paintSection(QPainter* painter, const QRect& rect, int) const {
    painter->fillRect(rect, palette().color(QPalette::Button));
    painter->setPen(frame_);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
}

// --- View --------------------------------------------------------------------

TFileGrid::TFileGrid(FileListModel& model, const TListInt& selectedRows, QWidget* parent)
    : QTableView(parent), model_(model), delegate_(model, selectedRows, this) {
    header_ = new FileGridHeader(this);
    setHorizontalHeader(header_);
    setModel(&model_);
    setItemDelegate(&delegate_);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    horizontalHeader()->setDefaultSectionSize(345);
    horizontalHeader()->resizeSection(0, 345);
    setShowGrid(true);
    setGridStyle(Qt::SolidLine);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFrameShape(QFrame::NoFrame);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
}

int TFileGrid::RowCount() const {
    return model_.rowCount() + 1;
}

int TFileGrid::DataRowHeight() const {
    return 2 * QFontMetrics(font()).height() + 5;
}

void TFileGrid::SetColours(const GridColours& colours) {
    delegate_.SetColours(colours);
    header_->SetFrameColour(colours.headerFrame);
    viewport()->update();
}

int TFileGrid::CurrentRow() const {
    const QModelIndex index = currentIndex();
    return index.isValid() ? index.row() + 1 : -1;
}

void TFileGrid::SetCurrentRow(int row) {
    if (row >= 1 && row < RowCount()) {
        setCurrentIndex(model_.index(row - 1, 0));
    }
}

int TFileGrid::RowAt(QPoint viewportPos) const {
    const int modelRow = rowAt(viewportPos.y());
    return modelRow < 0 ? 0 : modelRow + 1;
}

GridPress TFileGrid::PressOf(const QMouseEvent* event, bool doubleClick) const {
    GridPress press;
    press.left = event->buttons().testFlag(Qt::LeftButton);
    press.right = event->buttons().testFlag(Qt::RightButton);
    press.middle = event->buttons().testFlag(Qt::MiddleButton);
    press.doubleClick = doubleClick;
    press.shift = event->modifiers().testFlag(Qt::ShiftModifier);
    press.ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    press.alt = event->modifiers().testFlag(Qt::AltModifier);
    return press;
}

void TFileGrid::mousePressEvent(QMouseEvent* event) {
    const int row = RowAt(event->position().toPoint());
    // The grid moves its own current cell on a left press; with Shift it only
    // extends its highlight, and the anchor stays where it was.
    // Ctrl plays no part in the grid's own highlight: it is the current cell, or
    // the range dragged or Shift-clicked from it.
    if (event->button() == Qt::LeftButton) {
        // A press below the rows moves no anchor either, whatever current cell the
        // grid takes as it gets the focus.
        shiftPress_ = event->modifiers().testFlag(Qt::ShiftModifier) || row < 1;
        QMouseEvent plain(event->type(), event->position(), event->scenePosition(), event->globalPosition(),
                          event->button(), event->buttons(), event->modifiers() & ~Qt::ControlModifier);
        QTableView::mousePressEvent(&plain);
        shiftPress_ = false;
    }
    // A right press on a data row makes it current too, which moves the anchor to it.
    if (event->buttons().testFlag(Qt::RightButton) && row >= 1) {
        SetCurrentRow(row);
    }
    emit pressed(PressOf(event, false), row);
}

void TFileGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    // The press that made the double click moved the current cell to its row.
    const int row = RowAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && row >= 1) {
        SetCurrentRow(row);
    }
    if (event->button() == Qt::LeftButton) {
        emit openRequested(CurrentRow());
    }
    if (event->buttons().testFlag(Qt::RightButton) && row >= 1) {
        SetCurrentRow(row);
    }
    emit pressed(PressOf(event, true), row);
}

void TFileGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_A && event->modifiers().testFlag(Qt::ControlModifier)) {
        emit selectAllRequested();
        return;
    }
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Space && held == Qt::NoModifier) {
        // Space toggles the current row as a Ctrl+click on it does, which makes it
        // the anchor too.
        event->accept();
        if (const int row = CurrentRow(); row >= 1) {
            emit currentRowChanged(row);
            GridPress press;
            press.left = true;
            press.ctrl = true;
            emit pressed(press, row);
        }
        return;
    }
    static constexpr int kMoves[] = {Qt::Key_Up,       Qt::Key_Down, Qt::Key_PageUp,
                                     Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
    if (held.testFlag(Qt::ShiftModifier) &&
        std::find(std::begin(kMoves), std::end(kMoves), event->key()) != std::end(kMoves)) {
        // Shift moves the current row and leaves the anchor where it is.
        const int before = CurrentRow();
        shiftPress_ = true;
        QTableView::keyPressEvent(event);
        shiftPress_ = false;
        if (const int row = CurrentRow(); row >= 1 && row != before) {
            emit extendRequested(row);
        }
        return;
    }
    QTableView::keyPressEvent(event);
}

QModelIndex TFileGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    // A table's Home and End keep to the row, and the grid's rows have one cell:
    // here they go to the first and the last row, as Ctrl+Home and Ctrl+End do.
    if (action == MoveHome || action == MoveEnd) {
        modifiers |= Qt::ControlModifier;
    }
    return QTableView::moveCursor(action, modifiers);
}

void TFileGrid::focusInEvent(QFocusEvent* event) {
    // Getting the focus (by Tab, say) may make the first row current: that is no
    // selection of the user's, and the anchor stays where it was.
    const bool was = shiftPress_;
    shiftPress_ = true;
    QTableView::focusInEvent(event);
    shiftPress_ = was;
}

void TFileGrid::focusOutEvent(QFocusEvent* event) {
    QTableView::focusOutEvent(event);
    viewport()->update();
}

void TFileGrid::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    const QModelIndex current = currentIndex();
    if (!hasFocus() || !current.isValid()) {
        return;
    }
    // The row the keys move, selected or not: a black frame between two white
    // lines, which shows on a white row, a blue one and a dark one alike.
    const QRect row = visualRect(current).adjusted(0, 0, -1, -1);
    QPainter painter(viewport());
    painter.setBrush(Qt::NoBrush);
    int inset = 1;
    for (const QColor& line : {QColor(Qt::white), QColor(Qt::black), QColor(Qt::black), QColor(Qt::white)}) {
        painter.setPen(QPen(line, 1));
        painter.drawRect(row.adjusted(inset, inset, -inset, -inset));
        ++inset;
    }
}

void TFileGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (!shiftPress_ && current.isValid()) {
        emit currentRowChanged(current.row() + 1);
    }
}

} // namespace quorvel

namespace quorvel {

namespace {

// Takes a drag of local files as a link, else as a copy: a move would let the
// file manager remove what it thinks was moved. False when it is neither offered
// nor files.
bool TakeFiles(QDropEvent* event) {
    if (event->mimeData() == nullptr || DroppedFiles(*event->mimeData()).empty()) {
        return false;
    }
    for (const Qt::DropAction action : {Qt::LinkAction, Qt::CopyAction}) {
        if (event->possibleActions().testFlag(action)) {
            event->setDropAction(action);
            event->accept();
            return true;
        }
    }
    return false;
}

} // namespace

void TFileGrid::dragEnterEvent(QDragEnterEvent* event) {
    if (!TakeFiles(event)) {
        event->ignore();
    }
}

void TFileGrid::dragMoveEvent(QDragMoveEvent* event) {
    if (!TakeFiles(event)) {
        event->ignore();
    }
}

void TFileGrid::dropEvent(QDropEvent* event) {
    if (!TakeFiles(event)) {
        event->ignore();
        return;
    }
    emit filesDropped(DroppedFiles(*event->mimeData()));
}

} // namespace quorvel
