// The look of the main window's menus: drop-down and pop-up items with a light-blue
// icon column, a framed light-blue highlight with a grey shadow under its text,
// etched separators and a sunken column for checked items; menu-bar items as wide
// as their caption plus 8 pixels, framed when hot and etched when open.
#pragma once

#include <QColor>
#include <QProxyStyle>

class QStyleOptionMenuItem;

namespace quorvel {

inline const QColor kMenuHighlight{0xBD, 0xCF, 0xEC};
inline const QColor kMenuFrame{0x31, 0x6A, 0xC5};
inline const QColor kMenuSilver{0xC0, 0xC0, 0xC0};
inline const QColor kMenuGrey{0x80, 0x80, 0x80};

// Width of the menu images; the icon column is this plus 4.
constexpr int kMenuImageWidth = 16;

// One item of a drop-down or pop-up menu, separators included, in option.rect.
void DrawMenuItem(QPainter& painter, const QStyleOptionMenuItem& option);
// One item of the menu bar.
void DrawMenuBarItem(QPainter& painter, const QStyleOptionMenuItem& option);
// The check mark drawn in the icon column of a checked item (7 x 7, transparent).
const QImage& CheckMarkImage();

class TMenuStyle : public QProxyStyle {
    Q_OBJECT
public:
    explicit TMenuStyle(QStyle* base = nullptr);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
};

// Gives the menu bar and every menu of `window` the look above. The style is
// shared by all windows and lives as long as the application.
void InstallMenuLook(QWidget& window);

} // namespace quorvel
