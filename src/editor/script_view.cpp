#include "editor/script_view.hpp"

#include "bridge/qt_text.hpp"
#include "editor/script_html.hpp"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>

namespace quorvel {

const char* const TScriptView::kCommandMimeType = "application/x-quorvel-command-node";

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
} // namespace

void TScriptView::Show(const ScriptLines& script, const QStringList& htmlLines) {
    source_.clear();
    for (const QString& line : htmlLines) {
        source_ += line;
        source_ += QStringLiteral("\r\n");
    }
    clear();
    QTextDocument* doc = document();
    doc->setUndoRedoEnabled(false);
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    const QTextCharFormat plain;
    QTextCharFormat link;
    link.setAnchor(true);
    link.setFontUnderline(true);
    link.setForeground(palette().color(QPalette::Link));
    for (std::size_t i = 0; i < script.size(); ++i) {
        if (i > 0) {
            cursor.insertBlock();
        }
        const TextView text = LineText(script[i]);
        const QStringList name{QString::number(i)};
        std::size_t done = 0;
        int ordinal = 0;
        for (const PlaceholderSlot& slot : PlaceholderSlots(text)) {
            cursor.insertText(ToQString(text.substr(done, slot.open - done)), plain);
            const TextView placeholder = slot.In(text);
            QTextCharFormat format = link;
            format.setAnchorHref(QStringLiteral("file://") + ToQString(placeholder));
            format.setAnchorNames(name);
            format.setProperty(kOrdinalProperty, ++ordinal);
            format.setProperty(kLineProperty, static_cast<int>(i));
            Text shown = ShownText(placeholder);
            if (shown.empty()) {
                // An empty value: the placeholder's name, so that the link can be seen and clicked.
                shown = EmptyValueLabel(placeholder);
                format.setFontItalic(true);
                format.setForeground(QColor(0x80, 0x80, 0x80));
            }
            cursor.insertText(ToQString(shown), format);
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

void TScriptView::SelectRange(int start, int end) {
    QTextCursor cursor(document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

bool TScriptView::HotSpotAt(int position, HotSpot& spot) const {
    const QTextBlock block = document()->findBlock(position);
    if (!block.isValid()) {
        return false;
    }
    // The fragments of one link share its names and its rank.
    auto sameLink = [](const QTextCharFormat& a, const QTextCharFormat& b) {
        return !b.anchorHref().isEmpty() && a.anchorNames() == b.anchorNames() &&
               a.property(kOrdinalProperty) == b.property(kOrdinalProperty);
    };
    std::vector<QTextFragment> fragments;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        fragments.push_back(it.fragment());
    }
    for (std::size_t k = 0; k < fragments.size(); ++k) {
        const QTextFragment& fragment = fragments[k];
        if (position < fragment.position() || position >= fragment.position() + fragment.length()) {
            continue;
        }
        const QTextCharFormat format = fragment.charFormat();
        if (format.anchorHref().isEmpty() || format.anchorNames().isEmpty()) {
            return false;
        }
        std::size_t first = k;
        while (first > 0 && sameLink(format, fragments[first - 1].charFormat())) {
            --first;
        }
        std::size_t last = k;
        while (last + 1 < fragments.size() && sameLink(format, fragments[last + 1].charFormat())) {
            ++last;
        }
        spot.href = format.anchorHref();
        spot.line = format.anchorNames().front().toInt();
        spot.ordinal = format.property(kOrdinalProperty).toInt();
        spot.start = fragments[first].position();
        spot.end = fragments[last].position() + fragments[last].length();
        return true;
    }
    return false;
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
    HotSpot spot;
    if (position >= 0 && HotSpotAt(position, spot)) {
        emit HotSpotClicked(spot);
    }
}

bool TScriptView::Accepts(const QMimeData* payload) const {
    return payload != nullptr && payload->hasFormat(QString::fromLatin1(kCommandMimeType)) && acceptsDrop &&
           acceptsDrop(payload);
}

void TScriptView::dragEnterEvent(QDragEnterEvent* event) {
    if (Accepts(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TScriptView::dragMoveEvent(QDragMoveEvent* event) {
    if (Accepts(event->mimeData())) {
        event->acceptProposedAction();
    } else {
        event->ignore();
    }
}

void TScriptView::dropEvent(QDropEvent* event) {
    if (Accepts(event->mimeData())) {
        event->acceptProposedAction();
        emit CommandDropped(event->mimeData());
    } else {
        event->ignore();
    }
}

} // namespace quorvel
