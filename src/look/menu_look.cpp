#include "look/menu_look.hpp"

#include "look/colours.hpp"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPointer>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace quorvel {

namespace {

// Rectangles below are (left, top, right, bottom) with the right and bottom edges
// excluded, as the drawing rules are stated; Edges converts them.
QRect Edges(int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

// A one-pixel frame on the chosen sides of `r`: top and left in `topLeft`, bottom
// and right in `bottomRight`, which also takes the two corners the colours share.
struct Sides {
    bool left = true;
    bool top = true;
    bool right = true;
    bool bottom = true;
};

void FrameLines(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight,
                Sides sides = {}) {
    if (r.width() <= 0 || r.height() <= 0) {
        return;
    }
    if (sides.top) {
        p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    }
    if (sides.left) {
        p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    }
    if (sides.right) {
        p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    }
    if (sides.bottom) {
        p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    }
}

// The 3D colours of the platform: shadow, highlight, dark shadow and light.
QColor Shadow(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::Dark);
}
QColor Highlight(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::Light);
}

// Two pixels sunk around `r`: shadow and highlight outside, dark shadow and light
// inside.
void SunkenEdge(QPainter& p, const QRect& r, const QPalette& palette) {
    FrameLines(p, r, Shadow(palette), Highlight(palette));
    FrameLines(p, r.adjusted(1, 1, -1, -1), palette.color(QPalette::Active, QPalette::Shadow),
               palette.color(QPalette::Active, QPalette::Midlight));
}

QColor MenuColour(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::Base);
}

QColor ButtonFace(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::Button);
}

constexpr int kTextFlags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;

// The caption and the shortcut text of a menu item ("caption<TAB>shortcut").
std::pair<QString, QString> CaptionAndShortcut(const QString& text) {
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    return tab < 0 ? std::pair{text, QString()} : std::pair{text.left(tab), text.mid(tab + 1)};
}

void DrawItemTexts(QPainter& p, const QRect& r, const QString& caption, const QString& shortcut,
                   const QColor& colour) {
    p.setPen(colour);
    p.drawText(r, Qt::AlignLeft | kTextFlags, caption);
    if (!shortcut.isEmpty()) {
        p.drawText(r, Qt::AlignRight | kTextFlags, shortcut);
    }
}

QPixmap ItemImage(const QStyleOptionMenuItem& option, const QPainter& p) {
    if (option.icon.isNull()) {
        return {};
    }
    const bool enabled = option.state.testFlag(QStyle::State_Enabled);
    const qreal ratio = p.device() != nullptr ? p.device()->devicePixelRatioF() : 1.0;
    return option.icon.pixmap(QSize(kMenuImageWidth, kMenuImageWidth), ratio,
                              enabled ? QIcon::Normal : QIcon::Disabled);
}

} // namespace

const QImage& CheckMarkImage() {
    static const QImage image = [] {
        static const char* const kRows[] = {"......X", ".....XX", "X...XXX", "XX.XXX.",
                                            "XXXXX..", ".XXX...", "..X...."};
        QImage check(7, 7, QImage::Format_ARGB32);
        check.fill(Qt::transparent);
        for (int y = 0; y < 7; ++y) {
            for (int x = 0; x < 7; ++x) {
                if (kRows[y][x] == 'X') {
                    check.setPixel(x, y, qRgb(0, 0, 0));
                }
            }
        }
        return check;
    }();
    return image;
}

void DrawMenuItem(QPainter& p, const QStyleOptionMenuItem& option) {
    const QRect& rect = option.rect;
    const int l = rect.left();
    const int t = rect.top();
    const int r = rect.left() + rect.width();
    const int b = rect.top() + rect.height();
    const QRect iconColumn = Edges(l, t, l + kMenuImageWidth + 4, b);
    const LookColours colours = ColoursFor(option.palette);
    p.save();

    if (option.menuItemType == QStyleOptionMenuItem::Separator) {
        p.fillRect(iconColumn, colours.menuIconColumn);
        const int y = t + (b - t) / 2 - 2;
        const int x = l + kMenuImageWidth + 8;
        if (x < r) {
            p.fillRect(QRect(x, y, r - x, 1), Shadow(option.palette));
            p.fillRect(QRect(x, y + 1, r - x, 1), Highlight(option.palette));
        }
        p.restore();
        return;
    }

    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const bool grayed = !option.state.testFlag(QStyle::State_Enabled);
    const QPixmap image = ItemImage(option, p);
    if (selected) {
        p.fillRect(rect, colours.menuFrame);
        p.fillRect(rect.adjusted(1, 1, -1, -1), grayed ? colours.menuSilver : colours.menuHighlight);
        if (!image.isNull()) {
            p.drawPixmap(l + 1, t + 1, image);
        }
    } else {
        p.fillRect(rect, colours.menuBase);
        p.fillRect(iconColumn, colours.menuIconColumn);
        if (!image.isNull()) {
            p.drawPixmap(l + 2, t + 2, image);
        }
    }

    if (option.checkType != QStyleOptionMenuItem::NotCheckable && option.checked) {
        SunkenEdge(p, iconColumn, option.palette);
        QImage check = CheckMarkImage();
        if (colours.dark) {
            // The mark in the colour of the text, so that it shows on a dark column.
            QPainter tint(&check);
            tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
            tint.fillRect(check.rect(), colours.menuText);
        }
        p.drawImage(iconColumn.left() + (iconColumn.width() - check.width()) / 2,
                    iconColumn.top() + (iconColumn.height() - check.height()) / 2, check);
    }

    const auto [caption, shortcut] = CaptionAndShortcut(option.text);
    const int x = l + kMenuImageWidth + (selected ? 7 : 8);
    p.setFont(option.font);
    if (selected) {
        DrawItemTexts(p, Edges(x + 1, t + 2, r, b), caption, shortcut, colours.menuShadow);
    }
    DrawItemTexts(p, Edges(x, t, r, b), caption, shortcut, grayed ? colours.menuGrey : colours.menuText);
    p.restore();
}

void DrawMenuBarItem(QPainter& p, const QStyleOptionMenuItem& option) {
    const QRect& rect = option.rect;
    const int l = rect.left();
    const int t = rect.top();
    const int r = rect.left() + rect.width();
    const int b = rect.top() + rect.height();
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const bool open = selected && option.state.testFlag(QStyle::State_Sunken);
    const LookColours colours = ColoursFor(option.palette);
    p.save();
    // What the rules leave unpainted shows the bar's own face.
    p.fillRect(rect, ButtonFace(option.palette));
    if (open) {
        const QRect r2 = Edges(l + 1, t + 1, r - 3, b);
        const Sides etched{true, true, true, false};
        FrameLines(p, r2, Shadow(option.palette), Highlight(option.palette), etched);
        FrameLines(p, r2.adjusted(1, 1, -1, 0), Highlight(option.palette), Shadow(option.palette), etched);
        p.fillRect(Edges(r - 4, t + 3, r - 1, b), colours.menuSilver);
    } else if (selected) {
        p.fillRect(rect, colours.menuFrame);
        p.fillRect(rect.adjusted(1, 1, -1, -1), colours.menuHighlight);
    }
    p.setFont(option.font);
    p.setPen(colours.menuBarText);
    p.drawText(Edges(l + 6, t, r, b), Qt::AlignLeft | kTextFlags, option.text);
    p.restore();
}

TMenuStyle::TMenuStyle(QStyle* base) : QProxyStyle(base) {}

void TMenuStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                             const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    switch (element) {
    case CE_MenuItem:
        if (item != nullptr) {
            DrawMenuItem(*painter, *item);
            return;
        }
        break;
    case CE_MenuBarItem:
        if (item != nullptr) {
            DrawMenuBarItem(*painter, *item);
            return;
        }
        break;
    case CE_MenuBarEmptyArea:
        painter->fillRect(option->rect, ButtonFace(option->palette));
        return;
    case CE_MenuEmptyArea:
        painter->fillRect(option->rect, MenuColour(option->palette));
        return;
    default:
        break;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}

void TMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const {
    switch (element) {
    case PE_PanelMenu:
        painter->fillRect(option->rect, MenuColour(option->palette));
        return;
    case PE_FrameMenu:
        FrameLines(*painter, option->rect, ColoursFor(option->palette).menuGrey,
                   ColoursFor(option->palette).menuGrey);
        return;
    case PE_PanelMenuBar:
        return;
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

QSize TMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                   const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type == CT_MenuBarItem && item != nullptr) {
        // The caption's width (the access key marks taken out) plus 8.
        const QSize base = QProxyStyle::sizeFromContents(type, option, size, widget);
        return QSize(size.width() + 8, base.height());
    }
    if (type == CT_MenuItem && item != nullptr) {
        if (item->menuItemType == QStyleOptionMenuItem::Separator) {
            return QSize(kMenuImageWidth + 16, 9);
        }
        const auto [caption, shortcut] = CaptionAndShortcut(item->text);
        const QFontMetrics& fm = item->fontMetrics;
        int width = kMenuImageWidth + 8 + fm.size(Qt::TextShowMnemonic, caption).width() + 24;
        if (!shortcut.isEmpty()) {
            width += 16 + fm.horizontalAdvance(shortcut);
        }
        return QSize(width, std::max(kMenuImageWidth + 4, fm.height() + 6));
    }
    return QProxyStyle::sizeFromContents(type, option, size, widget);
}

int TMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const {
    switch (metric) {
    case PM_MenuPanelWidth:
        return 1;
    case PM_MenuHMargin:
        return 0;
    case PM_MenuVMargin:
        return 1;
    case PM_MenuBarPanelWidth:
    case PM_MenuBarItemSpacing:
    case PM_MenuBarHMargin:
        return 0;
    case PM_SmallIconSize:
        if (qobject_cast<const QMenu*>(widget) != nullptr ||
            qobject_cast<const QMenuBar*>(widget) != nullptr) {
            return kMenuImageWidth;
        }
        break;
    default:
        break;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

int TMenuStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                          QStyleHintReturn* returnData) const {
    // A grayed item is highlighted like any other when the mouse is over it.
    if (hint == SH_Menu_AllowActiveAndDisabled) {
        return 1;
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void InstallMenuLook(QWidget& window) {
    static QPointer<TMenuStyle> style;
    if (style.isNull()) {
        QStyle* base = QStyleFactory::create(QApplication::style()->name());
        style = new TMenuStyle(base);
        style->setParent(QCoreApplication::instance());
    }
    for (QMenuBar* bar : window.findChildren<QMenuBar*>()) {
        bar->setStyle(style);
    }
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        menu->setStyle(style);
    }
}

} // namespace quorvel
