#include "editor/script_view.hpp"

#include "bridge/qt_text.hpp"
#include "editor/command_tree.hpp"
#include "editor/script_document.hpp"
#include "editor/script_view_access.hpp"

#include <QAbstractTextDocumentLayout>
#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <cmath>

namespace quorvel {

TScriptView::TScriptView(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse |
                            Qt::LinksAccessibleByKeyboard);
    setUndoRedoEnabled(false);
    connect(this, &QTextEdit::cursorPositionChanged, this, &TScriptView::FollowSelection);
    connect(this, &QTextEdit::selectionChanged, this, &TScriptView::FollowSelection);
    InstallScriptViewAccessibility();
}

namespace {
// The rank of a link among the links of its line (1, 2...), and its line, kept in
// its format. The line, a number, also keeps the formats of equal links of
// different lines apart where the text engine compares formats, which keeps a long
// script of repeated lines as quick to show as any other.
constexpr int kOrdinalProperty = QTextFormat::UserProperty + 1;
constexpr int kLineProperty = QTextFormat::UserProperty + 2;
constexpr int kEmptyProperty = QTextFormat::UserProperty + 3; // a link that shows an empty value
} // namespace

void TScriptView::SetScript(const ScriptDocument* script) {
    if (script_ != nullptr) {
        disconnect(script_, nullptr, this, nullptr);
    }
    script_ = script;
    if (script_ != nullptr) {
        connect(script_, &ScriptDocument::changed, this, &TScriptView::ShowScript);
    }
    ShowScript();
}

void TScriptView::ShowScript() {
    // The keyboard stays on the link it was on, or on the one that took its place.
    std::optional<std::pair<int, int>> was = focused_;
    if (was && was->first == removing_) {
        was->second = 0;
    }
    const bool keyboardHere = window()->focusWidget() == this;
    rendering_ = true;
    Render();
    IndexLinks();
    rendering_ = false;
    focused_.reset();
    emit linksChanged();
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&event);
    }
    if (was && keyboardHere) {
        if (const int link = LinkFrom(was->first, was->second); link >= 0) {
            SelectLink(link);
        }
    }
    viewport()->update();
}

void TScriptView::IndexLinks() {
    order_.clear();
    firstLink_.assign(links_.size(), 0);
    for (std::size_t line = 0; line < links_.size(); ++line) {
        firstLink_[line] = static_cast<int>(order_.size());
        for (std::size_t slot = 0; slot < links_[line].size(); ++slot) {
            if (links_[line][slot].end > links_[line][slot].start) {
                order_.emplace_back(static_cast<int>(line), static_cast<int>(slot));
            }
        }
    }
}

void TScriptView::Render() {
    source_.clear();
    links_.clear();
    clear();
    if (script_ == nullptr || script_->IsEmpty()) {
        return;
    }
    for (const QString& line : script_->HtmlLines()) {
        source_ += line;
        source_ += QStringLiteral("\r\n");
    }
    QTextDocument* doc = document();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    const QTextCharFormat plain;
    QTextCharFormat link;
    link.setAnchor(true);
    link.setFontUnderline(true);
    link.setForeground(colours_.link);
    links_.resize(script_->Count());
    for (std::size_t i = 0; i < script_->Count(); ++i) {
        if (i > 0) {
            cursor.insertBlock();
        }
        const ScriptLine& line = script_->Line(i);
        const TextView text = line.LineText();
        const QStringList name{QString::number(i)};
        std::size_t done = 0;
        for (std::size_t k = 0; k < line.Slots().size(); ++k) {
            const PlaceholderSlot& slot = line.Slots()[k];
            cursor.insertText(ToQString(text.substr(done, slot.open - done)), plain);
            const TextView placeholder = slot.In(text);
            QTextCharFormat format = link;
            format.setAnchorHref(QStringLiteral("file://") + ToQString(placeholder));
            format.setAnchorNames(name);
            format.setProperty(kOrdinalProperty, static_cast<int>(k) + 1);
            format.setProperty(kLineProperty, static_cast<int>(i));
            Text shown = line.Shown(k);
            if (shown.empty()) {
                // An empty value: the placeholder's name, so that the link can be seen and clicked.
                shown = EmptyValueLabel(placeholder);
                format.setFontItalic(true);
                format.setForeground(colours_.emptyValue);
                format.setProperty(kEmptyProperty, true);
            }
            const int start = cursor.position();
            cursor.insertText(ToQString(shown), format);
            links_[i].push_back({start, cursor.position()});
            done = slot.close + 1;
        }
        cursor.insertText(ToQString(text.substr(std::min(done, text.size()))), plain);
    }
    cursor.endEditBlock();
    // Margins of 10 pixels left and right and 5 above and below, inside the page so
    // that they take the page's colour.
    QTextFrameFormat page = doc->rootFrame()->frameFormat();
    page.setLeftMargin(10);
    page.setRightMargin(10);
    page.setTopMargin(5);
    page.setBottomMargin(5);
    doc->rootFrame()->setFrameFormat(page);
    moveCursor(QTextCursor::Start);
}

void TScriptView::SetColours(const ScriptColours& colours) {
    colours_ = colours;
    RecolourLinks();
}

void TScriptView::RecolourLinks() {
    // The links are found first: recolouring them changes the fragments.
    struct Link {
        int start;
        int end;
        bool empty;
    };
    std::vector<Link> links;
    QTextDocument* doc = document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (format.hasProperty(kLineProperty)) {
                links.push_back({fragment.position(), fragment.position() + fragment.length(),
                                 format.hasProperty(kEmptyProperty)});
            }
        }
    }
    if (links.empty()) {
        return;
    }
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    for (const Link& link : links) {
        QTextCharFormat colour;
        colour.setForeground(link.empty ? colours_.emptyValue : colours_.link);
        cursor.setPosition(link.start);
        cursor.setPosition(link.end, QTextCursor::KeepAnchor);
        cursor.mergeCharFormat(colour);
    }
    cursor.endEditBlock();
}

void TScriptView::SelectPlaceholder(int line, int slot) {
    if (line < 0 || static_cast<std::size_t>(line) >= links_.size() || slot < 0 ||
        static_cast<std::size_t>(slot) >= links_[static_cast<std::size_t>(line)].size()) {
        return;
    }
    const LinkRange& range = links_[static_cast<std::size_t>(line)][static_cast<std::size_t>(slot)];
    QTextCursor cursor(document());
    cursor.setPosition(range.start);
    cursor.setPosition(range.end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

int TScriptView::LinkIndex(int line, int slot) const {
    if (line < 0 || static_cast<std::size_t>(line) >= firstLink_.size()) {
        return -1;
    }
    for (auto k = static_cast<std::size_t>(firstLink_[static_cast<std::size_t>(line)]);
         k < order_.size() && order_[k].first == line; ++k) {
        if (order_[k].second == slot) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

int TScriptView::LinkFrom(int line, int slot) const {
    if (order_.empty()) {
        return -1;
    }
    const auto at = std::lower_bound(order_.begin(), order_.end(), std::pair{line, slot});
    return at == order_.end() ? LinkCount() - 1 : static_cast<int>(at - order_.begin());
}

void TScriptView::SelectLink(int link) {
    const auto [line, slot] = LinkPlaceholder(link);
    SelectPlaceholder(line, slot);
    FollowSelection(); // the link selected is the focused one
}

void TScriptView::FocusPlaceholder(int line, int slot) {
    setFocus(Qt::OtherFocusReason);
    if (const int link = LinkFrom(line, slot); link >= 0) {
        SelectLink(link);
    }
}

void TScriptView::FollowSelection() {
    if (rendering_) {
        return;
    }
    const QTextCursor cursor = textCursor();
    std::optional<std::pair<int, int>> now;
    if (cursor.hasSelection()) {
        if (const auto link = PlaceholderAt(cursor.selectionStart())) {
            const LinkRange& range =
                links_[static_cast<std::size_t>(link->first)][static_cast<std::size_t>(link->second)];
            if (range.start == cursor.selectionStart() && range.end == cursor.selectionEnd()) {
                now = link;
            }
        }
    }
    if (now == focused_) {
        return;
    }
    focused_ = now;
    viewport()->update();
    if (focused_ && hasFocus() && QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::Focus);
        event.setChild(LinkIndex(focused_->first, focused_->second));
        QAccessible::updateAccessibility(&event);
    }
}

QString TScriptView::LinkName(int link) const {
    if (link < 0 || link >= LinkCount()) {
        return {};
    }
    const auto [line, slot] = LinkPlaceholder(link);
    const LinkRange& range = links_[static_cast<std::size_t>(line)][static_cast<std::size_t>(slot)];
    QTextCursor cursor(document());
    cursor.setPosition(range.start);
    cursor.setPosition(range.end, QTextCursor::KeepAnchor);
    QString name = cursor.selectedText();
    if (script_ != nullptr && static_cast<std::size_t>(line) < script_->Count()) {
        const TextView placeholder =
            script_->Line(static_cast<std::size_t>(line)).Placeholder(static_cast<std::size_t>(slot));
        name += QStringLiteral(" (") + ToQString(EmptyValueLabel(placeholder)) + QLatin1Char(')');
    }
    return name;
}

QString TScriptView::LinkDescription(int link) const {
    if (link < 0 || link >= LinkCount()) {
        return {};
    }
    const auto [line, slot] = LinkPlaceholder(link);
    bool empty = true;
    if (script_ != nullptr && static_cast<std::size_t>(line) < script_->Count()) {
        const ScriptLine& read = script_->Line(static_cast<std::size_t>(line));
        const TextView placeholder = read.Placeholder(static_cast<std::size_t>(slot));
        empty =
            placeholder.find(U'=') == TextView::npos || read.Shown(static_cast<std::size_t>(slot)).empty();
    }
    const QString& text = empty ? emptyDescription_ : filledDescription_;
    return text.contains(QLatin1String("%1")) ? text.arg(line + 1) : text;
}

void TScriptView::SetLinkDescriptions(const QString& filled, const QString& empty) {
    filledDescription_ = filled;
    emptyDescription_ = empty;
}

std::vector<QRect> TScriptView::LinkRects(int link) const {
    if (link < 0 || link >= LinkCount()) {
        return {};
    }
    const auto [line, slot] = LinkPlaceholder(link);
    const LinkRange& range = links_[static_cast<std::size_t>(line)][static_cast<std::size_t>(slot)];
    const QTextBlock block = document()->findBlock(range.start);
    const QTextLayout* layout = block.layout();
    std::vector<QRect> rects;
    if (layout == nullptr) {
        return rects;
    }
    const QPointF origin = document()->documentLayout()->blockBoundingRect(block).topLeft() -
                           QPointF(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const int from = range.start - block.position();
    const int to = range.end - block.position();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine row = layout->lineAt(i);
        const int start = std::max(from, row.textStart());
        const int end = std::min(to, row.textStart() + row.textLength());
        if (start >= end) {
            continue;
        }
        const qreal left = row.cursorToX(start);
        const qreal right = row.cursorToX(end);
        rects.push_back(QRectF(origin.x() + std::min(left, right), origin.y() + row.y(),
                               std::abs(right - left), row.height())
                            .toAlignedRect());
    }
    return rects;
}

void TScriptView::PressLink(int link) {
    if (link >= 0 && link < LinkCount()) {
        const auto [line, slot] = LinkPlaceholder(link);
        emit placeholderClicked(line, slot);
    }
}

bool TScriptView::focusNextPrevChild(bool next) {
    // Tab and Shift+Tab go from link to link; past the first or the last they leave
    // the view as they would leave any control.
    if (hasFocus() && !order_.empty()) {
        const int at = focused_ ? LinkIndex(focused_->first, focused_->second) : -1;
        const int to = at < 0 ? (next ? 0 : LinkCount() - 1) : at + (next ? 1 : -1);
        if (to >= 0 && to < LinkCount()) {
            SelectLink(to);
            return true;
        }
    }
    return QTextEdit::focusNextPrevChild(next);
}

void TScriptView::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
    if (focused_ && held == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
            event->accept();
            emit placeholderClicked(focused_->first, focused_->second);
            return;
        case Qt::Key_Delete: {
            event->accept();
            // The first link of the line that takes this one's place gets the focus.
            removing_ = focused_->first;
            emit lineRemovalRequested(focused_->first);
            removing_ = -1;
            return;
        }
        default:
            break;
        }
    }
    QTextBrowser::keyPressEvent(event);
}

void TScriptView::focusInEvent(QFocusEvent* event) {
    QTextBrowser::focusInEvent(event);
    // Coming in by Tab lands on the first link, by Shift+Tab on the last.
    if (!order_.empty() &&
        (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)) {
        SelectLink(event->reason() == Qt::TabFocusReason ? 0 : LinkCount() - 1);
    }
    viewport()->update();
}

void TScriptView::focusOutEvent(QFocusEvent* event) {
    QTextBrowser::focusOutEvent(event);
    viewport()->update();
}

QColor FocusFrameColour(const QColor& page) {
    // The relative luminance of WCAG 2; black stands out more than white from a page
    // lighter than about 0.18.
    const auto channel = [](double c) {
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double luminance =
        0.2126 * channel(page.redF()) + 0.7152 * channel(page.greenF()) + 0.0722 * channel(page.blueF());
    return (luminance + 0.05) / 0.05 >= 1.05 / (luminance + 0.05) ? QColor(Qt::black) : QColor(Qt::white);
}

void TScriptView::paintEvent(QPaintEvent* event) {
    QTextBrowser::paintEvent(event);
    if (!hasFocus() || !focused_) {
        return;
    }
    // The focused link in a frame of black or white, whichever stands out more from
    // the page: at least 4.5 to 1 on any page.
    const int link = LinkIndex(focused_->first, focused_->second);
    if (link < 0) {
        return;
    }
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(FocusFrameColour(viewport()->palette().color(viewport()->backgroundRole())), 2));
    painter.setBrush(Qt::NoBrush);
    for (const QRect& rect : LinkRects(link)) {
        painter.drawRect(rect.adjusted(-3, -1, 2, 0));
    }
}

std::optional<std::pair<int, int>> TScriptView::PlaceholderAt(int position) const {
    const QTextBlock block = document()->findBlock(position);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (position < fragment.position() || position >= fragment.position() + fragment.length()) {
            continue;
        }
        const QTextCharFormat format = fragment.charFormat();
        if (format.anchorHref().isEmpty() || !format.hasProperty(kLineProperty)) {
            return std::nullopt;
        }
        return std::pair{format.property(kLineProperty).toInt(),
                         format.property(kOrdinalProperty).toInt() - 1};
    }
    return std::nullopt;
}

void TScriptView::mouseMoveEvent(QMouseEvent* event) {
    if (pressed_ &&
        (event->position().toPoint() - pressPos_).manhattanLength() >= QApplication::startDragDistance()) {
        dragged_ = true;
    }
    QTextBrowser::mouseMoveEvent(event);
}

void TScriptView::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    dragged_ = false;
    pressPos_ = event->position().toPoint();
    QTextBrowser::mousePressEvent(event);
}

void TScriptView::mouseReleaseEvent(QMouseEvent* event) {
    QTextBrowser::mouseReleaseEvent(event);
    const QPoint pos = event->position().toPoint();
    // A click, not the end of a selection dragged with the mouse.
    const bool dragged = dragged_ || (pos - pressPos_).manhattanLength() >= QApplication::startDragDistance();
    if (event->button() != Qt::LeftButton || !pressed_ || dragged) {
        pressed_ = false;
        return;
    }
    pressed_ = false;
    const QPoint documentPos = pos + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const int position = document()->documentLayout()->hitTest(documentPos, Qt::ExactHit);
    if (position < 0) {
        return;
    }
    if (const auto link = PlaceholderAt(position)) {
        emit placeholderClicked(link->first, link->second);
    }
}

void TScriptView::dragEnterEvent(QDragEnterEvent* event) {
    if (CommandOfDrag(event->mimeData()) >= 0) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TScriptView::dragMoveEvent(QDragMoveEvent* event) {
    if (CommandOfDrag(event->mimeData()) >= 0) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TScriptView::dropEvent(QDropEvent* event) {
    if (const int number = CommandOfDrag(event->mimeData()); number >= 0) {
        event->acceptProposedAction();
        emit commandDropped(number);
    } else {
        event->ignore();
    }
}

} // namespace quorvel
