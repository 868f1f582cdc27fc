#include "editor/command_tree.hpp"
#include "editor/edit_number.hpp"
#include "editor/example_list.hpp"
#include "editor/script_view.hpp"
#include "look/t_panel.hpp"
#include "quorvel_version.hpp"
#include "shell/about_box.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace quorvel::test {
namespace {

TEST(AboutBox, TitleIsTheFileNameUpToItsFirstDotAndTheVersion) {
    struct Case {
        const char* file;
        const char* version;
        const char* title;
    };
    for (const Case& c : {Case{"quorvel", QUORVEL_VERSION, "quorvel  version " QUORVEL_VERSION " "},
                          Case{"quorvel.beta", "1.2.1.0", "quorvel  version 1.2.1.0 "},
                          Case{"Quorvel.exe", "1.2.1.0", "Quorvel  version 1.2.1.0 "},
                          Case{"quorvel", "", "quorvel  version  "}, Case{".cache", "2", "  version 2 "}}) {
        EXPECT_EQ(TAboutBox::Title(QString::fromUtf8(c.file), QString::fromUtf8(c.version)), c.title)
            << c.file;
    }
}

class About : public ::testing::Test {
protected:
    std::string Program(const char* name) { return dir_.Write(name, ""); }
    TempDir dir_;
    ScopedDesktop desktop_;
};

TEST_F(About, ShowsTheTitleCentredWhiteOverABlackShadow) {
    TAboutBox box(QString::fromStdString(Program("quorvel.beta")), QStringLiteral("1.2.1.0"));
    EXPECT_EQ(box.size(), QSize(368, 188));
    EXPECT_TRUE(box.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(box.isHidden());
    EXPECT_EQ(box.LabelVersion->text(), "quorvel  version 1.2.1.0 ");
    EXPECT_EQ(box.LabelVersionBlanc->text(), box.LabelVersion->text());
    EXPECT_EQ(box.LabelVersion->x(), (368 - box.LabelVersion->width()) / 2);
    EXPECT_EQ(box.LabelVersion->y(), 10);
    EXPECT_EQ(box.LabelVersionBlanc->pos(), box.LabelVersion->pos() - QPoint(1, 1));
    EXPECT_EQ(QColor(box.LabelVersion->palette().color(QPalette::WindowText).rgb()), QColor(Qt::black));
    EXPECT_EQ(QColor(box.LabelVersionBlanc->palette().color(QPalette::WindowText).rgb()), QColor(Qt::white));
    // The white title lies above its shadow.
    const QObjectList& order = box.Panel1->children();
    EXPECT_GT(order.indexOf(box.LabelVersionBlanc), order.indexOf(box.LabelVersion));
    EXPECT_EQ(box.BtnOk->geometry(), QRect(152, 150, 80, 29));
    EXPECT_EQ(box.BtnOk->text(), "OK");

    // The panel fades from orange at the top to white at the bottom, inside a one-pixel border.
    const QImage image = box.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(5, 1)), QColor(0xEA, 0x95, 0x4E));
    EXPECT_GT(QColor(image.pixel(5, 186)).blue(), 0xF8);
    EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(box.palette().color(QPalette::WindowText).rgb()));
    EXPECT_EQ(QColor(image.pixel(367, 187)), QColor(box.palette().color(QPalette::WindowText).rgb()));
}

TEST_F(About, WithoutTheProgramFileTheVersionIsEmpty) {
    TAboutBox box(QString::fromStdString(dir_ / "quorvel"), QStringLiteral("1.2.1.0"));
    EXPECT_EQ(box.LabelVersion->text(), "quorvel  version  ");
}

TEST_F(About, LinksOpenThroughTheDesktop) {
    TAboutBox box(QString::fromStdString(Program("quorvel")), QStringLiteral("1.2.1.0"));
    QTest::mouseClick(box.LabURL, Qt::LeftButton);
    QTest::mouseClick(box.LabMail, Qt::LeftButton);
    ASSERT_EQ(desktop_.log.opened.size(), 2U);
    EXPECT_EQ(desktop_.log.opened[0], QUrl("https://quorvel.org"));
    EXPECT_EQ(desktop_.log.opened[1], QUrl("mailto:contact@quorvel.org"));
    EXPECT_EQ(box.LabURL->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(box.LabMail->font().underline());
}

using AboutFromTheMenu = MainWindowTest;

TEST_F(AboutFromTheMenu, ShowsTheSameBoxEachTimeAndOkClosesIt) {
    MainWindow& w = Start();
    auto* box = new TAboutBox(QString::fromStdString(program_ / "quorvel"), QStringLiteral("1.2.1.0"), &w);
    w.SetAboutBox(box);
    for (int time = 0; time < 2; ++time) {
        bool shown = false;
        QString title;
        QTimer::singleShot(0, box, [&] {
            shown = box->isVisible() && box->isModal();
            title = box->LabelVersion->text();
            QTest::mouseClick(box->BtnOk, Qt::LeftButton);
        });
        Get<QAction>("MNU_ABOUT")->trigger();
        EXPECT_TRUE(shown) << time;
        EXPECT_EQ(title, "quorvel  version  ") << time;
        EXPECT_FALSE(box->isVisible()) << time;
        EXPECT_EQ(box->result(), QDialog::Accepted) << time;
    }
}

} // namespace
} // namespace quorvel::test
