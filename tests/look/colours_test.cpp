#include "look/colours.hpp"
#include "look/menu_look.hpp"
#include "support/dark_palette.hpp"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>
#include <gtest/gtest.h>
#include <memory>

namespace quorvel {
namespace {

// The palette of the Fusion style, the style itself gone again.
QPalette FusionPalette() {
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
    return fusion->standardPalette();
}

using test::DarkPalette;

TEST(Colours, ContrastIsTheWcagRatio) {
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::black, Qt::white), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(Qt::white, Qt::black), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(QColor(0x77, 0x77, 0x77), QColor(0x77, 0x77, 0x77)), 1.0);
    EXPECT_NEAR(ContrastRatio(QColor(0x76, 0x76, 0x76), Qt::white), 4.54, 0.01);
}

TEST(Colours, ALightPaletteKeepsTheClassicLook) {
    const QPalette light = FusionPalette();
    ASSERT_FALSE(IsDarkPalette(light));
    const LookColours c = ColoursFor(light);
    EXPECT_EQ(c.panelFrom, QColor(0xFF, 0xFB, 0xF0));
    EXPECT_EQ(c.panelTo, QColor(0xA6, 0xCA, 0xF0));
    EXPECT_EQ(c.scriptBase, QColor(0xA6, 0xCA, 0xF0));
    EXPECT_EQ(c.commandBase, QColor(0xA6, 0xCA, 0xF0));
    EXPECT_EQ(c.link, QColor(0, 0, 0xFF));
    EXPECT_EQ(c.gridBase, QColor(Qt::white));
    EXPECT_EQ(c.gridText, QColor(Qt::black));
    EXPECT_EQ(c.gridSelected, QColor(115, 201, 240));
    EXPECT_EQ(c.conflict, QColor(Qt::red));
    EXPECT_EQ(c.menuHighlight, kMenuHighlight);
    EXPECT_EQ(c.menuFrame, kMenuFrame);
    EXPECT_EQ(c.menuText, QColor(Qt::black));
    EXPECT_EQ(c.aboutFrom, QColor(0xEA, 0x95, 0x4E));
    EXPECT_EQ(c.aboutTo, QColor(Qt::white));
    EXPECT_EQ(c.aboutText, QColor(Qt::black));
    EXPECT_EQ(c.traceChanged, QColor(0xFF, 0xE0, 0x8A));
    EXPECT_EQ(c.traceRemoved, QColor(0xC0, 0x00, 0x00));
    EXPECT_EQ(c.selection, light.color(QPalette::Highlight));
}

TEST(Colours, TracesSuitTheTooltipsTheyAreShownIn) {
    // A light window whose tooltips are light text on a dark strip, as some desktops draw them.
    const QPalette light = FusionPalette();
    QPalette tips = light;
    tips.setColor(QPalette::ToolTipBase, QColor(0x30, 0x30, 0x30));
    tips.setColor(QPalette::ToolTipText, QColor(0xEE, 0xEE, 0xEE));
    const LookColours c = ColoursFor(light, tips);
    EXPECT_FALSE(c.dark);
    EXPECT_EQ(c.panelFrom, QColor(0xFF, 0xFB, 0xF0)) << "the window keeps its classic look";
    EXPECT_EQ(c.traceBase, QColor(0x30, 0x30, 0x30));
    EXPECT_NE(c.traceChanged, QColor(0xFF, 0xE0, 0x8A)) << "no light gold behind light text";
    for (const ColourPair& pair : TextPairs(c)) {
        if (pair.what.startsWith(QStringLiteral("trace"))) {
            EXPECT_GE(ContrastRatio(pair.text, pair.back), 4.5) << pair.what.toStdString();
        }
    }
}

TEST(Colours, EveryTextIsReadableUnderADarkPalette) {
    std::vector<QPalette> palettes{DarkPalette()};
    // A dark scheme whose base is a mid grey and whose text is not quite white.
    QPalette grey = DarkPalette();
    grey.setColor(QPalette::Base, QColor(0x5A, 0x5A, 0x5A));
    grey.setColor(QPalette::Text, QColor(0x9A, 0x9A, 0x9A));
    grey.setColor(QPalette::ToolTipBase, QColor(0x80, 0x80, 0x80));
    palettes.push_back(grey);
    for (const QPalette& palette : palettes) {
        ASSERT_TRUE(IsDarkPalette(palette));
        const LookColours c = ColoursFor(palette);
        for (const ColourPair& pair : TextPairs(c)) {
            EXPECT_GE(ContrastRatio(pair.text, pair.back), 4.5)
                << pair.what.toStdString() << ": " << pair.text.name().toStdString() << " on "
                << pair.back.name().toStdString();
        }
    }
}

TEST(Colours, MenusUnderADarkPaletteDrawLightTextOnDarkRows) {
    QStyleOptionMenuItem option;
    option.rect = QRect(0, 0, 150, 20);
    option.palette = DarkPalette();
    option.font = QApplication::font();
    option.fontMetrics = QFontMetrics(option.font);
    option.text = QStringLiteral("Ouvrir\tCtrl+O");
    option.menuItemType = QStyleOptionMenuItem::Normal;
    const LookColours c = ColoursFor(option.palette);
    for (const QStyle::State state :
         {QStyle::State(QStyle::State_Enabled), QStyle::State_Enabled | QStyle::State_Selected}) {
        option.state = state;
        QImage image(option.rect.size(), QImage::Format_RGB32);
        QPainter painter(&image);
        DrawMenuItem(painter, option);
        painter.end();
        const QColor back = (state & QStyle::State_Selected) ? c.menuHighlight : c.menuBase;
        EXPECT_EQ(QColor(image.pixel(140, 3)), back);
        int text = 0;
        for (int y = 0; y < 20; ++y) {
            for (int x = 24; x < 110; ++x) {
                text += QColor(image.pixel(x, y)).lightness() > 200 ? 1 : 0;
            }
        }
        EXPECT_GT(text, 10) << "the caption is drawn in a light colour";
    }
}

} // namespace
} // namespace quorvel
