#include "editor/script_view.hpp"

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

void TScriptView::Load(const QStringList& lines) {
    source_.clear();
    for (const QString& line : lines) {
        source_ += line;
        source_ += QStringLiteral("\r\n");
    }
    setHtml(source_);
    // Margins of 10 pixels left and right and 5 above and below, inside the page so
    // that they take the page's colour.
    QTextFrameFormat page = document()->rootFrame()->frameFormat();
    page.setLeftMargin(10);
    page.setRightMargin(10);
    page.setTopMargin(5);
    page.setBottomMargin(5);
    document()->rootFrame()->setFrameFormat(page);
    moveCursor(QTextCursor::Start);
}

void TScriptView::SelectRange(int start, int end) {
    QTextCursor cursor(document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

bool TScriptView::HotSpotAt(int position, HotSpot& spot) const {
    // An anchor's first character carries its name; the characters after it carry
    // only its target. Walking the fragments from the start numbers the links of
    // each line.
    QHash<QString, int> ordinals;
    HotSpot current;
    bool inLink = false;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            const QString href = format.anchorHref();
            if (href.isEmpty()) {
                inLink = false;
            } else if (!format.anchorNames().isEmpty()) {
                const QString name = format.anchorNames().front();
                current =
                    HotSpot{href, name.toInt(), ++ordinals[name], fragment.position(), fragment.position()};
                inLink = true;
            }
            if (inLink) {
                current.end = fragment.position() + fragment.length();
            }
            if (fragment.position() > position) {
                return false;
            }
            if (position < fragment.position() + fragment.length()) {
                if (!inLink) {
                    return false;
                }
                // Take the rest of the link too.
                auto next = it;
                for (++next; !next.atEnd(); ++next) {
                    const QTextCharFormat f = next.fragment().charFormat();
                    if (f.anchorHref().isEmpty() || !f.anchorNames().isEmpty()) {
                        break;
                    }
                    current.end = next.fragment().position() + next.fragment().length();
                }
                spot = current;
                return true;
            }
        }
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
