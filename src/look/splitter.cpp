#include "look/splitter.hpp"

#include "look/dock_layout.hpp"

#include <QMouseEvent>

namespace quorvel {

TSplitter::TSplitter(QWidget* parent, bool vertical) : QWidget(parent), vertical_(vertical) {
    setCursor(vertical ? Qt::SplitHCursor : Qt::SplitVCursor);
}

DockLayout* TSplitter::Layout() const {
    return parentWidget() ? qobject_cast<DockLayout*>(parentWidget()->layout()) : nullptr;
}

void TSplitter::mousePressEvent(QMouseEvent* event) {
    DockLayout* layout = Layout();
    QWidget* target = layout ? layout->DockedBefore(this) : nullptr;
    if (event->button() != Qt::LeftButton || target == nullptr) {
        return;
    }
    dragging_ = true;
    const QPoint global = event->globalPosition().toPoint();
    pressPos_ = vertical_ ? global.x() : global.y();
    startExtent_ = layout->Extent(target);
}

void TSplitter::mouseMoveEvent(QMouseEvent* event) {
    DockLayout* layout = Layout();
    QWidget* target = layout ? layout->DockedBefore(this) : nullptr;
    if (!dragging_ || target == nullptr) {
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    const int delta = (vertical_ ? global.x() : global.y()) - pressPos_;
    const int available = vertical_ ? parentWidget()->width() : parentWidget()->height();
    const int limit = std::max(kMinExtent, available - kMinExtent - (vertical_ ? width() : height()));
    layout->SetExtent(target, std::clamp(startExtent_ + delta, kMinExtent, limit));
}

void TSplitter::mouseReleaseEvent(QMouseEvent*) {
    dragging_ = false;
}

} // namespace quorvel
