// A bar between two docked widgets: dragging it resizes the widget docked just
// before it on the same side.
#pragma once

#include <QWidget>

namespace quorvel {

class DockLayout;

class TSplitter : public QWidget {
    Q_OBJECT
public:
    // `vertical` for a bar between left-docked widgets (dragged sideways).
    TSplitter(QWidget* parent, bool vertical);

    // Smallest extent the resized widget, and the space left for the client, keep.
    static constexpr int kMinExtent = 30;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    DockLayout* Layout() const;
    bool vertical_;
    bool dragging_ = false;
    int pressPos_ = 0;
    int startExtent_ = 0;
};

} // namespace quorvel
