#include "editor/command_tree.hpp"
#include "editor/edit_number.hpp"
#include "editor/example_list.hpp"
#include "editor/script_view.hpp"
#include "look/menu_images.hpp"
#include "look/menu_look.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>

namespace quorvel::test {
namespace {

const QColor kUnpainted(0xFF, 0x00, 0xFF);

QStyleOptionMenuItem Item(const QString& text, QStyle::State state = QStyle::State_Enabled,
                          QSize size = {150, 20}) {
    QStyleOptionMenuItem option;
    option.rect = QRect(QPoint(0, 0), size);
    option.palette = QApplication::palette();
    option.font = QApplication::font();
    option.fontMetrics = QFontMetrics(option.font);
    option.state = state;
    option.text = text;
    option.menuItemType = text == "-" ? QStyleOptionMenuItem::Separator : QStyleOptionMenuItem::Normal;
    return option;
}

QImage Draw(const QStyleOptionMenuItem& option, void (*draw)(QPainter&, const QStyleOptionMenuItem&)) {
    QImage image(option.rect.size(), QImage::Format_RGB32);
    image.fill(kUnpainted);
    QPainter painter(&image);
    draw(painter, option);
    return image;
}

QColor At(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

int Count(const QImage& image, const QColor& colour, QRect area) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            n += At(image, x, y) == colour ? 1 : 0;
        }
    }
    return n;
}

QIcon Red() {
    QPixmap red(16, 16);
    red.fill(Qt::red);
    return QIcon(red);
}

TEST(MenuLook, SeparatorShowsTheIconColumnAndAnEtchedLine24PixelsIn) {
    const QStyleOptionMenuItem option = Item("-", QStyle::State_Enabled, {150, 9});
    const QImage image = Draw(option, DrawMenuItem);
    const QColor shadow = QColor(option.palette.color(QPalette::Dark).rgb());
    const QColor highlight = QColor(option.palette.color(QPalette::Light).rgb());
    EXPECT_EQ(Count(image, kMenuHighlight, QRect(0, 0, 20, 9)), 20 * 9);
    EXPECT_EQ(At(image, 20, 4), kUnpainted);
    // The line lies along the top of (left + 24, top + 9 / 2 - 2, right, bottom).
    EXPECT_EQ(At(image, 23, 2), kUnpainted);
    EXPECT_EQ(Count(image, shadow, QRect(24, 2, 126, 1)), 126);
    EXPECT_EQ(Count(image, highlight, QRect(24, 3, 126, 1)), 126);
    EXPECT_EQ(At(image, 60, 4), kUnpainted);
}

TEST(MenuLook, ItemsFillTheirRowAndPlaceTheirImage) {
    struct Case {
        const char* what;
        QStyle::State state;
        QColor corner;     // (0, 0)
        QColor inside;     // (1, 1)
        QColor textColumn; // (140, 10)
        QPoint image;      // top-left of the red image
    };
    const QColor menu = QColor(QApplication::palette().color(QPalette::Base).rgb());
    const Case cases[] = {
        {"plain", QStyle::State_Enabled, kMenuHighlight, kMenuHighlight, menu, {2, 2}},
        {"selected",
         QStyle::State_Enabled | QStyle::State_Selected,
         kMenuFrame,
         kMenuHighlight,
         kMenuHighlight,
         {1, 1}},
        {"selected and grayed", QStyle::State_Selected, kMenuFrame, kMenuSilver, kMenuSilver, {1, 1}},
    };
    for (const Case& c : cases) {
        QStyleOptionMenuItem option = Item("Ouvrir", c.state);
        option.icon = Red();
        const QImage image = Draw(option, DrawMenuItem);
        EXPECT_EQ(At(image, 0, 0), c.corner) << c.what;
        EXPECT_EQ(At(image, 149, 19), c.state & QStyle::State_Selected ? kMenuFrame : menu) << c.what;
        EXPECT_EQ(At(image, 19, 10), c.state & QStyle::State_Selected ? At(image, 20, 10) : kMenuHighlight)
            << c.what;
        EXPECT_EQ(At(image, 140, 10), c.textColumn) << c.what;
        if (c.state & QStyle::State_Enabled) {
            EXPECT_EQ(At(image, c.image.x(), c.image.y()), QColor(Qt::red)) << c.what;
            EXPECT_EQ(At(image, c.image.x() + 15, c.image.y() + 15), QColor(Qt::red)) << c.what;
            EXPECT_NE(At(image, c.image.x() + 16, c.image.y() + 16), QColor(Qt::red)) << c.what;
        } else {
            EXPECT_EQ(Count(image, QColor(Qt::red), image.rect()), 0)
                << c.what << ": the image looks disabled";
        }
        // Text starts right of the icon column, black, or grey when grayed; a selected
        // item has a grey shadow under it.
        const QRect text(24, 0, 100, 20);
        const bool grayed = !(c.state & QStyle::State_Enabled);
        EXPECT_EQ(Count(image, Qt::black, text) > 0, !grayed) << c.what;
        if (grayed || (c.state & QStyle::State_Selected)) {
            EXPECT_GT(Count(image, kMenuGrey, text), 0) << c.what;
        }
        EXPECT_EQ(Count(image, Qt::black, QRect(0, 0, 23, 20)), 0) << c.what;
    }
}

TEST(MenuLook, TheCheckedLanguageShowsASunkenColumnWithTheCheckMark) {
    QStyleOptionMenuItem option = Item("Français");
    option.checkType = QStyleOptionMenuItem::Exclusive;
    option.checked = true;
    const QImage checked = Draw(option, DrawMenuItem);
    const QPalette& palette = option.palette;
    EXPECT_EQ(At(checked, 0, 0), QColor(palette.color(QPalette::Dark).rgb()));
    EXPECT_EQ(At(checked, 18, 0), QColor(palette.color(QPalette::Dark).rgb()));
    EXPECT_EQ(At(checked, 19, 0), QColor(palette.color(QPalette::Light).rgb()));
    EXPECT_EQ(At(checked, 0, 19), QColor(palette.color(QPalette::Light).rgb()));
    EXPECT_EQ(At(checked, 1, 1), QColor(palette.color(QPalette::Shadow).rgb()));
    EXPECT_EQ(At(checked, 18, 18), QColor(palette.color(QPalette::Midlight).rgb()));
    EXPECT_EQ(At(checked, 5, 5), kMenuHighlight);
    // The 7 x 7 mark, centred in the 20 x 20 column: from (6, 6).
    const QImage& mark = CheckMarkImage();
    for (int y = 0; y < 7; ++y) {
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(At(checked, 6 + x, 6 + y),
                      qAlpha(mark.pixel(x, y)) ? QColor(Qt::black) : kMenuHighlight)
                << x << "," << y;
        }
    }
    option.checked = false;
    const QImage unchecked = Draw(option, DrawMenuItem);
    EXPECT_EQ(Count(unchecked, kMenuHighlight, QRect(0, 0, 20, 20)), 400);
}

TEST(MenuLook, MenuBarItemsAreFramedWhenHotAndEtchedWhenOpen) {
    const QStyleOptionMenuItem plain = Item("&Fichier", QStyle::State_Enabled, {60, 20});
    const QColor face = QColor(plain.palette.color(QPalette::Button).rgb());
    QImage image = Draw(plain, DrawMenuBarItem);
    EXPECT_EQ(At(image, 0, 0), face);
    EXPECT_EQ(At(image, 59, 19), face);
    EXPECT_EQ(Count(image, QColor(plain.palette.color(QPalette::ButtonText).rgb()), QRect(0, 0, 6, 20)), 0);
    EXPECT_GT(Count(image, QColor(plain.palette.color(QPalette::ButtonText).rgb()), QRect(6, 0, 54, 20)), 0);

    image = Draw(Item("&Fichier", QStyle::State_Enabled | QStyle::State_Selected, {60, 20}), DrawMenuBarItem);
    EXPECT_EQ(At(image, 0, 0), kMenuFrame);
    EXPECT_EQ(At(image, 59, 19), kMenuFrame);
    EXPECT_EQ(At(image, 1, 1), kMenuHighlight);

    const QStyleOptionMenuItem open =
        Item("&Fichier", QStyle::State_Enabled | QStyle::State_Selected | QStyle::State_Sunken, {60, 20});
    image = Draw(open, DrawMenuBarItem);
    const QColor shadow = QColor(open.palette.color(QPalette::Dark).rgb());
    const QColor highlight = QColor(open.palette.color(QPalette::Light).rgb());
    EXPECT_EQ(At(image, 0, 0), face);
    EXPECT_EQ(At(image, 1, 5), shadow); // etched: left, top and right of (1, 1, 57, 20)
    EXPECT_EQ(At(image, 2, 5), highlight);
    EXPECT_EQ(At(image, 10, 1), shadow);
    EXPECT_EQ(At(image, 10, 2), highlight);
    EXPECT_EQ(At(image, 55, 5), shadow);
    EXPECT_EQ(At(image, 56, 2), highlight);
    // The shadow strip at the right: x from 56 to 58, y from 3.
    EXPECT_EQ(At(image, 57, 3), kMenuSilver);
    EXPECT_EQ(At(image, 58, 19), kMenuSilver);
    EXPECT_EQ(At(image, 57, 2), face);
    EXPECT_EQ(At(image, 59, 10), face);
}

using MenusOfTheWindow = MainWindowTest;

TEST_F(MenusOfTheWindow, UseTheLookAndTheirImages) {
    MainWindow& w = Start();
    auto* file = Get<QMenu>("MNU_File");
    for (QWidget* menu :
         std::initializer_list<QWidget*>{w.menuBar(), file, Get<QMenu>("MNU_Langage"),
                                         Get<QMenu>("MNU_AoutHelp"), Get<QMenu>("PopupMenu")}) {
        EXPECT_NE(qobject_cast<TMenuStyle*>(menu->style()), nullptr) << menu->objectName().toStdString();
    }
    // Menu-bar items are as wide as their caption plus 8.
    const QFontMetrics fm = w.menuBar()->fontMetrics();
    for (QMenu* menu : {file, Get<QMenu>("MNU_Langage"), Get<QMenu>("MNU_AoutHelp")}) {
        EXPECT_EQ(w.menuBar()->actionGeometry(menu->menuAction()).width(),
                  fm.size(Qt::TextShowMnemonic, menu->title()).width() + 8)
            << menu->title().toStdString();
    }
    EXPECT_EQ(w.menuBar()->actionGeometry(file->menuAction()).left(), 0);

    file->popup(w.mapToGlobal(QPoint(0, 0)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(file));
    const QImage menu = file->grab().toImage();
    const QRect open = file->actionGeometry(Get<QAction>("MNU_OPEN"));
    EXPECT_EQ(QColor(menu.pixel(open.left() + 19, open.center().y())), kMenuHighlight);
    EXPECT_NE(QColor(menu.pixel(open.left() + 2 + 8, open.top() + 2 + 8)), kMenuHighlight); // the image
    file->hide();
}

TEST(MenuImages, EveryImageIsCompiledIn) {
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(MenuImage(i).pixmap(16, 16).size(), QSize(16, 16)) << i;
    }
    EXPECT_TRUE(MenuImage(7).isNull());
    EXPECT_TRUE(MenuImage(-1).isNull());
    EXPECT_FALSE(PreviewButtonImage().isNull());
    EXPECT_FALSE(OkButtonImage().isNull());
    EXPECT_EQ(ProgramIcon().pixmap(32, 32).size(), QSize(32, 32));
}

} // namespace
} // namespace quorvel::test
