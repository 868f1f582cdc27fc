#include "editor/command_tree.hpp"
#include "editor/edit_number.hpp"
#include "editor/example_list.hpp"
#include "editor/script_view.hpp"
#include "look/t_panel.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QImage>

namespace quorvel::test {
namespace {

// What the panel paints, without its children, on a background it never shows.
QImage Paint(const QWidget& panel) {
    QImage image(panel.size(), QImage::Format_RGB32);
    image.fill(QColor(0xFF, 0x00, 0xFF));
    const_cast<QWidget&>(panel).render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

QColor At(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

T_Panel& Fade(T_Panel& panel, QColor from, QColor to, QSize size) {
    panel.SetBevelOuter(TBevelCut::bvNone);
    panel.SetColor(from);
    panel.SetColorTo(to);
    panel.resize(size);
    return panel;
}

TEST(TPanel, VerticalFadeEndsOneStepBeforeItsLastColourOnAPanelWithoutBevels) {
    T_Panel panel;
    // 101 lines on 100 rows: row 100 (exactly the end colour) lies outside.
    const QImage image = Paint(Fade(panel, QColor(0, 0, 0), QColor(200, 100, 50), {60, 100}));
    struct Row {
        int y;
        QColor colour;
    };
    for (const Row& row : {Row{0, QColor(0, 0, 0)}, Row{1, QColor(2, 1, 0)}, Row{3, QColor(6, 3, 2)},
                           Row{50, QColor(100, 50, 25)}, Row{99, QColor(198, 99, 50)}}) {
        for (int x : {0, 30, 59}) {
            EXPECT_EQ(At(image, x, row.y), row.colour) << x << "," << row.y;
        }
    }
}

TEST(TPanel, FadeRoundsHalvesToTheEvenNeighbour) {
    T_Panel panel;
    const QImage image = Paint(Fade(panel, QColor(0, 0, 0), QColor(100, 0, 0), {10, 200}));
    struct Row {
        int y;
        int red;
    };
    for (const Row& row : {Row{0, 0}, Row{1, 0}, Row{3, 2}, Row{5, 2}, Row{7, 4}, Row{199, 100}}) {
        EXPECT_EQ(At(image, 5, row.y).red(), row.red) << row.y;
    }
}

TEST(TPanel, HorizontalFadeDrawsColumnsAndEqualColoursPaintFlat) {
    T_Panel panel;
    panel.SetFadeOrient(TFadeOrientation::faHorizontal);
    QImage image = Paint(Fade(panel, QColor(0, 0, 0), QColor(0, 0, 100), {200, 10}));
    EXPECT_EQ(At(image, 0, 5), QColor(0, 0, 0));
    EXPECT_EQ(At(image, 3, 0), QColor(0, 0, 2));
    EXPECT_EQ(At(image, 5, 9), QColor(0, 0, 2));

    panel.SetFadeOrient(TFadeOrientation::faVertical);
    image = Paint(Fade(panel, QColor(10, 20, 30), QColor(10, 20, 30), {50, 40}));
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 50; ++x) {
            ASSERT_EQ(At(image, x, y), QColor(10, 20, 30)) << x << "," << y;
        }
    }
}

TEST(TPanel, LoweredBevelFramesTheFadeThatStartsOverItsTopLine) {
    T_Panel panel;
    Fade(panel, QColor(0, 0, 0), QColor(0, 90, 0), {20, 10});
    panel.SetBevelOuter(TBevelCut::bvLowered);
    const QImage image = Paint(panel);
    const QColor shadow = QColor(panel.palette().color(QPalette::Dark).rgb());
    const QColor highlight = QColor(panel.palette().color(QPalette::Light).rgb());
    // D = 10 - 2: lines at rows 0..8 from x = 1 to x = 18, over the top bevel line.
    EXPECT_EQ(At(image, 1, 0), QColor(0, 0, 0));
    EXPECT_EQ(At(image, 18, 8), QColor(0, 90, 0));
    EXPECT_EQ(At(image, 0, 0), shadow);
    EXPECT_EQ(At(image, 0, 8), shadow);
    // The bottom-right colour takes the right column and the bottom row, corners included.
    EXPECT_EQ(At(image, 19, 0), highlight);
    EXPECT_EQ(At(image, 0, 9), highlight);
    EXPECT_EQ(At(image, 19, 9), highlight);
    EXPECT_EQ(At(image, 10, 9), highlight);
}

TEST(TPanel, TilesATextureFromTwiceTheBevelWidthAndCutsTheLastOnes) {
    QImage texture(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            texture.setPixel(x, y, qRgb(x * 6, y * 8, 77));
        }
    }
    T_Panel panel;
    panel.resize(100, 70);
    panel.SetBevelOuter(TBevelCut::bvNone);
    panel.SetColor(QColor(1, 2, 3));
    panel.SetTexture(texture);
    const QImage image = Paint(panel);
    auto texel = [&](int x, int y) { return QColor(texture.pixel(x, y)); };
    // The area is 96 x 66 from (2, 2): tiles at x = 2, 42, 82 and y = 2, 32, 62.
    struct Pixel {
        int x;
        int y;
        QColor colour;
    };
    for (const Pixel& p :
         {Pixel{2, 2, texel(0, 0)}, Pixel{41, 2, texel(39, 0)}, Pixel{42, 2, texel(0, 0)},
          Pixel{82, 31, texel(0, 29)}, Pixel{97, 2, texel(15, 0)}, Pixel{2, 32, texel(0, 0)},
          Pixel{2, 67, texel(0, 5)}, Pixel{97, 67, texel(15, 5)},
          // Outside the area: the panel's colour.
          Pixel{1, 1, QColor(1, 2, 3)}, Pixel{98, 2, QColor(1, 2, 3)}, Pixel{2, 68, QColor(1, 2, 3)}}) {
        EXPECT_EQ(At(image, p.x, p.y), p.colour) << p.x << "," << p.y;
    }
    // Stretched, the texture covers the area inside the bevels.
    panel.SetStretch(true);
    const QImage stretched = Paint(panel);
    EXPECT_EQ(At(stretched, 0, 0), texel(0, 0));
    EXPECT_EQ(At(stretched, 99, 69), texel(39, 29));
}

TEST(TPanel, AFadeWithoutRoomDrawsNothingButThePanelColour) {
    T_Panel panel;
    Fade(panel, QColor(5, 5, 5), QColor(200, 200, 200), {1, 1});
    panel.SetBevelOuter(TBevelCut::bvLowered);
    panel.SetBevelWidth(3);
    const QImage image = Paint(panel);
    EXPECT_EQ(image.size(), QSize(1, 1));
}

using SidePanels = MainWindowTest;

TEST_F(SidePanels, PanelVoirFadesFromCreamToSkyBlueOverItsTopBevelLine) {
    Start();
    T_Panel* voir = Get<T_Panel>("PanelVOIR");
    ASSERT_EQ(voir->size(), QSize(168, 281));
    const QImage image = Paint(*voir);
    const QColor shadow = QColor(voir->palette().color(QPalette::Dark).rgb());
    const QColor highlight = QColor(voir->palette().color(QPalette::Light).rgb());
    // Lines at rows 0..279, each from x = 1 to x = 166; the first is cream, the last sky blue.
    for (int x : {1, 80, 166}) {
        EXPECT_EQ(At(image, x, 0), QColor(0xFF, 0xFB, 0xF0)) << x;
        EXPECT_EQ(At(image, x, 279), QColor(0xA6, 0xCA, 0xF0)) << x;
    }
    // Row 1: red 255 - 89/279 = 254.68 -> 255, green 251 - 49/279 -> 251, blue 240 + 0 -> 240.
    EXPECT_EQ(At(image, 80, 1), QColor(0xFF, 0xFB, 0xF0));
    // Row 140: 255 - 140 * 89/279 = 210.34, 251 - 140 * 49/279 = 226.41.
    EXPECT_EQ(At(image, 80, 140), QColor(210, 226, 240));
    EXPECT_EQ(At(image, 0, 0), shadow);
    EXPECT_EQ(At(image, 0, 279), shadow);
    EXPECT_EQ(At(image, 167, 100), highlight);
    EXPECT_EQ(At(image, 80, 280), highlight);

    const QImage bas = Paint(*Get<T_Panel>("PanelBAS"));
    EXPECT_EQ(At(bas, 0, 0), QColor(0xA6, 0xCA, 0xF0));
    EXPECT_EQ(At(bas, 165, 0), QColor(0xA6, 0xCA, 0xF0));
    EXPECT_GT(At(bas, 80, bas.height() - 1).red(), 0xF8);
}

} // namespace
} // namespace quorvel::test
