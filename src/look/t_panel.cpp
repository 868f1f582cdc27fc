#include "look/t_panel.hpp"

#include <QPainter>
#include <cmath>

namespace quorvel {

namespace {

// A frame `width` pixels thick inside `r`: top and left edges in `topLeft`,
// bottom and right edges in `bottomRight`, which also takes both corners it shares
// with the other colour. Shrinks `r` by the width.
void Frame3D(QPainter& painter, QRect& r, const QColor& topLeft, const QColor& bottomRight, int width) {
    for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
        const int l = r.left();
        const int t = r.top();
        const int rr = r.right();
        const int b = r.bottom();
        painter.fillRect(QRect(QPoint(l, t), QPoint(rr - 1, t)), topLeft);
        painter.fillRect(QRect(QPoint(l, t), QPoint(l, b - 1)), topLeft);
        painter.fillRect(QRect(QPoint(rr, t), QPoint(rr, b)), bottomRight);
        painter.fillRect(QRect(QPoint(l, b), QPoint(rr, b)), bottomRight);
        r.adjust(1, 1, -1, -1);
    }
}

} // namespace

T_Panel::T_Panel(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void T_Panel::SetColor(const QColor& color) {
    color_ = color;
    update();
}

void T_Panel::SetColorTo(const QColor& color) {
    colorTo_ = color;
    update();
}

void T_Panel::SetFadeOrient(TFadeOrientation orient) {
    orient_ = orient;
    update();
}

void T_Panel::SetTexture(const QImage& texture) {
    texture_ = texture.copy();
    update();
}

void T_Panel::SetBevelOuter(TBevelCut cut) {
    bevelOuter_ = cut;
    update();
}

void T_Panel::SetBevelInner(TBevelCut cut) {
    bevelInner_ = cut;
    update();
}

void T_Panel::SetBevelWidth(int width) {
    bevelWidth_ = std::max(1, width);
    update();
}

void T_Panel::SetBorderWidth(int width) {
    borderWidth_ = std::max(0, width);
    update();
}

int T_Panel::FrameWidth() const {
    const int bevels =
        (bevelOuter_ != TBevelCut::bvNone ? 1 : 0) + (bevelInner_ != TBevelCut::bvNone ? 1 : 0);
    return bevels * bevelWidth_ + borderWidth_;
}

void T_Panel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintFace(painter);
}

void T_Panel::PaintFace(QPainter& painter) const {
    QRect r = rect();
    // The panel paints every pixel itself (it is opaque): what the bevels, the fade
    // or the tiles leave shows the panel's colour.
    painter.fillRect(r, color_);
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    auto bevel = [&](TBevelCut cut) {
        if (cut == TBevelCut::bvLowered) {
            Frame3D(painter, r, shadow, highlight, bevelWidth_);
        } else if (cut != TBevelCut::bvNone) {
            Frame3D(painter, r, highlight, shadow, bevelWidth_);
        }
    };
    bevel(bevelOuter_);
    Frame3D(painter, r, color_, color_, borderWidth_);
    bevel(bevelInner_);
    if (texture_.isNull()) {
        PaintFade(painter);
    } else if (stretch_) {
        painter.drawImage(r, texture_);
    } else {
        PaintTiles(painter);
    }
}

void T_Panel::PaintFade(QPainter& painter) const {
    const int bevels =
        (bevelOuter_ != TBevelCut::bvNone ? 1 : 0) + (bevelInner_ != TBevelCut::bvNone ? 1 : 0);
    const int a = bevels * bevelWidth_;
    const int w = width();
    const int h = height();
    const bool vertical = orient_ == TFadeOrientation::faVertical;
    const int d = vertical ? h - 2 * a : w - 2 * a;
    // Nothing to draw when the fade has no length, or its lines no room across.
    if (d < 0 || (vertical ? w : h) - 2 * a <= 0) {
        return;
    }
    const int from[3] = {color_.red(), color_.green(), color_.blue()};
    const int to[3] = {colorTo_.red(), colorTo_.green(), colorTo_.blue()};
    double step[3] = {0, 0, 0};
    for (int c = 0; c < 3; ++c) {
        // A fade of length 0 has no steps: it is one line of the start colour.
        step[c] = d == 0 ? 0.0 : static_cast<double>(to[c] - from[c]) / d;
    }
    for (int k = 0; k <= d; ++k) {
        int v[3];
        for (int c = 0; c < 3; ++c) {
            const long double value = static_cast<long double>(k) * step[c] + from[c];
            v[c] = std::clamp(static_cast<int>(std::nearbyintl(value)), 0, 255);
        }
        const QColor line(v[0], v[1], v[2]);
        if (vertical) {
            painter.fillRect(QRect(a, k, w - 2 * a, 1), line);
        } else {
            painter.fillRect(QRect(k, a, 1, h - 2 * a), line);
        }
    }
}

void T_Panel::PaintTiles(QPainter& painter) const {
    const int b = 2 * bevelWidth_;
    const int areaW = width() - 2 * b;
    const int areaH = height() - 2 * b;
    const int tw = texture_.width();
    const int th = texture_.height();
    if (areaW <= 0 || areaH <= 0 || tw <= 0 || th <= 0) {
        return;
    }
    // Each tile is a plain copy of the texture's pixels.
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (int restH = areaH; restH > 0;) {
        const int rowH = std::min(th, restH);
        const int y = b + (areaH - restH);
        for (int restW = areaW; restW > 0;) {
            const int tileW = std::min(tw, restW);
            painter.drawImage(QPoint(b + (areaW - restW), y), texture_, QRect(0, 0, tileW, rowH));
            restW -= tileW;
        }
        restH -= rowH;
    }
    painter.restore();
}

} // namespace quorvel
