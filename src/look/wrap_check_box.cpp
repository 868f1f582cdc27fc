#include "look/wrap_check_box.hpp"

#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <algorithm>

namespace quorvel {

namespace {

constexpr int kCaptionFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;
constexpr int kMargin = 2; // above and below the caption, room for the focus frame

} // namespace

int TWrapCheckBox::IndicatorWidth() const {
    return style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this) +
           style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, this);
}

QRect TWrapCheckBox::CaptionRect(int width, int height) const {
    const int left = IndicatorWidth();
    return {left, kMargin, std::max(1, width - left - kMargin), std::max(1, height - 2 * kMargin)};
}

int TWrapCheckBox::heightForWidth(int width) const {
    const QRect caption = CaptionRect(width, 10000);
    const int lines = fontMetrics().boundingRect(caption, kCaptionFlags, text()).height();
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this);
    return std::max({lines, fontMetrics().height(), indicator}) + 2 * kMargin;
}

void TWrapCheckBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const bool focused = option.state.testFlag(QStyle::State_HasFocus);
    // The box alone, beside the first line of the caption.
    option.text.clear();
    option.state &= ~QStyle::State_HasFocus;
    option.rect.setHeight(
        std::max(fontMetrics().height(), style()->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, this)) +
        2 * kMargin);
    painter.drawControl(QStyle::CE_CheckBox, option);

    const QRect caption = CaptionRect(width(), height());
    painter.drawItemText(caption, kCaptionFlags, palette(), isEnabled(), text(), QPalette::WindowText);
    if (focused) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = fontMetrics().boundingRect(caption, kCaptionFlags, text()).adjusted(-2, -1, 2, 1);
        frame.backgroundColor = palette().color(QPalette::Window);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, frame);
    }
}

} // namespace quorvel
