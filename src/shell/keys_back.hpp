// Once a box, a dialog or a progress window is gone, the window under it takes the
// keys again, at the control that had them: a desktop without a window manager
// gives them back to nobody, and Ctrl+Z would do nothing until the window is
// clicked.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace quorvel {

class KeysBackAfter {
public:
    // Made before the box shows, with the widget it belongs to.
    explicit KeysBackAfter(QWidget* parent)
        : window_(parent != nullptr ? parent->window() : nullptr), focused_(QApplication::focusWidget()) {}
    KeysBackAfter(const KeysBackAfter&) = delete;
    KeysBackAfter& operator=(const KeysBackAfter&) = delete;
    ~KeysBackAfter() {
        if (window_ && window_->isVisible()) {
            window_->activateWindow();
        }
        if (focused_) {
            focused_->setFocus(Qt::OtherFocusReason);
        }
    }

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> focused_;
};

} // namespace quorvel
