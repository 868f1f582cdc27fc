// A check box whose caption wraps onto as many lines as the width it is given
// needs, the box beside its first line: a long caption fits a narrow panel. Its
// text, its keys and what it says to assistive technology are a QCheckBox's.
#pragma once

#include <QCheckBox>

namespace quorvel {

class TWrapCheckBox : public QCheckBox {
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;

    bool hasHeightForWidth() const override { return true; }
    // The height the caption takes at `width`, one line at least.
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The whole control answers a click, every line of its caption included.
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    // Where the caption goes in a control of `width`, its lines from the top.
    QRect CaptionRect(int width, int height) const;
    int IndicatorWidth() const;
};

} // namespace quorvel
