// A panel whose face is a two-colour fade, a tiled texture or a stretched texture.
#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

namespace quorvel {

enum class TFadeOrientation { faVertical = 0, faHorizontal = 1 };
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class T_Panel : public QWidget {
    Q_OBJECT
public:
    explicit T_Panel(QWidget* parent = nullptr);

    // The fade's start colour and the border colour.
    QColor Color() const { return color_; }
    void SetColor(const QColor& color);
    QColor ColorTo() const { return colorTo_; }
    void SetColorTo(const QColor& color);
    TFadeOrientation FadeOrient() const { return orient_; }
    void SetFadeOrient(TFadeOrientation orient);

    const QImage& Texture() const { return texture_; }
    void SetTexture(const QImage& texture);
    bool Stretch() const { return stretch_; }
    // Stores the value only; the change shows at the next repaint.
    void SetStretch(bool stretch) { stretch_ = stretch; }

    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut cut);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut cut);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int width);
    int BorderWidth() const { return borderWidth_; }
    void SetBorderWidth(int width);

    // Space taken by the bevels and the border on each side.
    int FrameWidth() const;

    // Paints the face into `painter` as the panel shows it (used by paintEvent).
    void PaintFace(QPainter& painter) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void PaintFade(QPainter& painter) const;
    void PaintTiles(QPainter& painter) const;

    QColor color_ = QColor(0xF0, 0xF0, 0xF0);
    QColor colorTo_ = Qt::black;
    TFadeOrientation orient_ = TFadeOrientation::faVertical;
    QImage texture_;
    bool stretch_ = false;
    TBevelCut bevelOuter_ = TBevelCut::bvRaised;
    TBevelCut bevelInner_ = TBevelCut::bvNone;
    int bevelWidth_ = 1;
    int borderWidth_ = 0;
};

} // namespace quorvel
