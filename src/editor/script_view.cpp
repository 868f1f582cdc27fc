#include "editor/script_view.hpp"

#include "bridge/qt_text.hpp"
#include "editor/command_tree.hpp"
#include "editor/script_document.hpp"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>

namespace quorvel {

TScriptView::TScriptView(QWidget* parent) : QTextBrowser(parent) {
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse);
    setUndoRedoEnabled(false);
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
        connect(script_, &ScriptDocument::changed, this, &TScriptView::Render);
    }
    Render();
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
