#include "look/dock_layout.hpp"

#include <QWidget>
#include <QWidgetItem>

namespace quorvel {

DockLayout::DockLayout(QWidget* parent) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

DockLayout::~DockLayout() {
    for (Entry& e : entries_) {
        delete e.item; // layout items are owned by the layout, as in every QLayout
    }
}

void DockLayout::Add(QWidget* widget, Dock dock, int extent) {
    addChildWidget(widget);
    entries_.push_back({new QWidgetItem(widget), dock, extent, -1});
    invalidate();
}

void DockLayout::AnchorBottom(QWidget* widget, int parentHeight) {
    addChildWidget(widget);
    entries_.push_back(
        {new QWidgetItem(widget), Dock::None, 0, parentHeight - widget->geometry().bottom() - 1});
    invalidate();
}

const DockLayout::Entry* DockLayout::Find(const QWidget* widget) const {
    for (const Entry& e : entries_) {
        if (e.item->widget() == widget) {
            return &e;
        }
    }
    return nullptr;
}

Dock DockLayout::DockOf(const QWidget* widget) const {
    const Entry* e = Find(widget);
    return e ? e->dock : Dock::None;
}

int DockLayout::Extent(const QWidget* widget) const {
    const Entry* e = Find(widget);
    return e ? e->extent : 0;
}

void DockLayout::SetExtent(const QWidget* widget, int extent) {
    if (Entry* e = const_cast<Entry*>(Find(widget))) {
        e->extent = std::max(0, extent);
        invalidate();
        if (parentWidget()) {
            setGeometry(parentWidget()->rect());
        }
    }
}

QWidget* DockLayout::DockedBefore(const QWidget* widget) const {
    QWidget* before = nullptr;
    const Dock dock = DockOf(widget);
    for (const Entry& e : entries_) {
        if (e.item->widget() == widget) {
            return before;
        }
        if (e.dock == dock) {
            before = e.item->widget();
        }
    }
    return nullptr;
}

void DockLayout::addItem(QLayoutItem* item) {
    entries_.push_back({item, Dock::None, 0, -1});
}

QLayoutItem* DockLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? entries_[static_cast<std::size_t>(index)].item : nullptr;
}

QLayoutItem* DockLayout::takeAt(int index) {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    QLayoutItem* item = entries_[static_cast<std::size_t>(index)].item;
    entries_.erase(entries_.begin() + index);
    return item;
}

int DockLayout::count() const {
    return static_cast<int>(entries_.size());
}

QSize DockLayout::sizeHint() const {
    return minimumSize().expandedTo(QSize(200, 150));
}

QSize DockLayout::minimumSize() const {
    int w = 0;
    int h = 0;
    for (const Entry& e : entries_) {
        if (e.dock == Dock::Top || e.dock == Dock::Bottom) {
            h += e.extent;
        } else if (e.dock == Dock::Left || e.dock == Dock::Right) {
            w += e.extent;
        }
    }
    return {w, h};
}

void DockLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    QRect free = rect.marginsRemoved(contentsMargins());
    for (const Dock side : {Dock::Top, Dock::Bottom, Dock::Left, Dock::Right}) {
        for (const Entry& e : entries_) {
            if (e.dock != side || e.item->widget()->isHidden()) {
                continue;
            }
            QRect r = free;
            switch (side) {
            case Dock::Top:
                r.setHeight(std::min(e.extent, free.height()));
                free.setTop(r.bottom() + 1);
                break;
            case Dock::Bottom:
                r.setTop(free.bottom() + 1 - std::min(e.extent, free.height()));
                free.setBottom(r.top() - 1);
                break;
            case Dock::Left:
                r.setWidth(std::min(e.extent, free.width()));
                free.setLeft(r.right() + 1);
                break;
            default:
                r.setLeft(free.right() + 1 - std::min(e.extent, free.width()));
                free.setRight(r.left() - 1);
                break;
            }
            e.item->setGeometry(r);
        }
    }
    for (const Entry& e : entries_) {
        if (e.dock == Dock::Client) {
            e.item->setGeometry(free);
        } else if (e.dock == Dock::None && e.bottomDistance >= 0) {
            QRect g = e.item->widget()->geometry();
            g.moveBottom(rect.bottom() - e.bottomDistance);
            e.item->widget()->setGeometry(g);
        }
    }
}

} // namespace quorvel
