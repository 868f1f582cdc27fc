// "Aide": the help page in the program's own window, in the language shown; its
// links inside the page followed in place, the others handed to the desktop.
#include "engine/catalogue.hpp"
#include "shell/help_window.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QAction>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextFrame>
#include <filesystem>

namespace quorvel::test {
namespace {

// A page titled `title` with a table of contents, a part far down, a link to a
// site and one to another file.
std::string Page(const char* title) {
    std::string page =
        std::string("<html><head><title>") + title +
        "</title></head><body><p><a href=\"#far\">Far down</a></p>"
        "<p><a href=\"https://example.org/guide\">Site</a> <a href=\"notes.htm\">Notes</a></p>";
    for (int i = 0; i < 200; ++i) {
        page += "<p>Line " + std::to_string(i) + "</p>";
    }
    return page + "<h2 id=\"far\">Far</h2><p>End</p></body></html>";
}

class Help : public MainWindowTest {
protected:
    // The language is the program's: the next window starts in French again.
    void TearDown() override { SetLanguageIndex(0); }

    void WritePages(bool english = true) {
        std::filesystem::create_directories(program_ / "Help/en");
        program_.Write("Help/Help.htm", Page("Aide de Quorvel"));
        if (english) {
            program_.Write("Help/en/Help.htm", Page("Quorvel help"));
        }
    }

    // A window that shows French, as at a first start.
    void StartInFrench() {
        SetLanguageIndex(0);
        Start();
        ASSERT_TRUE(Get<QAction>("MNU_Fancais")->isChecked());
    }

    THelpWindow* Open() {
        Get<QAction>("MNU_Help")->trigger();
        return window_->findChild<THelpWindow*>(QStringLiteral("HelpWindow"));
    }

    QString Shown(const THelpWindow* help) const { return help->source().toLocalFile(); }

    // Clicks the link whose text is `text`, as the user does.
    static void ClickLink(THelpWindow* help, const QString& text) {
        QTextCursor found = help->document()->find(text);
        ASSERT_FALSE(found.isNull()) << text.toStdString();
        QTextCursor middle(help->document());
        middle.setPosition((found.selectionStart() + found.selectionEnd()) / 2);
        const QRect caret = help->cursorRect(middle);
        QTest::mouseClick(help->viewport(), Qt::LeftButton, Qt::NoModifier, caret.center());
    }
};

TEST_F(Help, ShowsThePageOfTheLanguageShownInItsOwnWindow) {
    WritePages();
    StartInFrench();
    THelpWindow* help = Open();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_TRUE(help->isWindow());
    EXPECT_EQ(Shown(help).toStdString(), program_ / "Help/Help.htm");
    EXPECT_EQ(help->windowTitle(), "Aide de Quorvel");
    EXPECT_TRUE(desktop_.log.opened.empty()) << "no browser is asked for";
    // Inside the screen's available area.
    EXPECT_TRUE(help->screen()->availableGeometry().contains(help->geometry()));

    // In English the English page, in the window already open.
    Get<QAction>("MNU_Anglais")->trigger();
    EXPECT_EQ(Shown(help).toStdString(), program_ / "Help/en/Help.htm");
    EXPECT_EQ(help->windowTitle(), "Quorvel help");
    help->close();
    EXPECT_EQ(Open(), help) << "one window, shown again";
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(Shown(help).toStdString(), program_ / "Help/en/Help.htm");
    EXPECT_TRUE(desktop_.log.opened.empty());
}

TEST_F(Help, TheFrenchPageStandsInForAMissingEnglishOne) {
    WritePages(false);
    const ProgramEnvironment env =
        ProgramEnvironment::ForProgramAt(QString::fromStdString(program_ / "quorvel"), {});
    EXPECT_EQ(HelpPage(env, true).toStdString(), program_ / "Help/Help.htm");
    EXPECT_EQ(HelpPage(env, false).toStdString(), program_ / "Help/Help.htm");
    WritePages(true);
    EXPECT_EQ(HelpPage(env, true).toStdString(), program_ / "Help/en/Help.htm");
}

TEST_F(Help, WithoutAPageNothingOpens) {
    Start();
    EXPECT_EQ(Open(), nullptr);
    EXPECT_TRUE(desktop_.log.opened.empty());
}

TEST_F(Help, EscapeAndCtrlWCloseTheWindow) {
    WritePages();
    StartInFrench();
    for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        THelpWindow* help = Open();
        ASSERT_NE(help, nullptr);
        ASSERT_TRUE(help->isVisible());
        QTest::keyClick(help, key[0].key(), key[0].keyboardModifiers());
        EXPECT_FALSE(help->isVisible()) << key.toString().toStdString();
    }
    EXPECT_EQ(window_->findChildren<THelpWindow*>().size(), 1);
}

TEST_F(Help, LinksInThePageAreFollowedInPlaceAndOthersGoToTheDesktop) {
    WritePages();
    StartInFrench();
    THelpWindow* help = Open();
    ASSERT_NE(help, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(help));
    ASSERT_EQ(help->verticalScrollBar()->value(), 0);

    ClickLink(help, QStringLiteral("Far down"));
    EXPECT_GT(help->verticalScrollBar()->value(), 0) << "the page scrolls to the part";
    EXPECT_EQ(Shown(help).toStdString(), program_ / "Help/Help.htm");
    EXPECT_TRUE(desktop_.log.opened.empty());

    help->verticalScrollBar()->setValue(0);
    ClickLink(help, QStringLiteral("Site"));
    ClickLink(help, QStringLiteral("Notes"));
    ASSERT_EQ(desktop_.log.opened.size(), 2U);
    EXPECT_EQ(desktop_.log.opened[0], QUrl("https://example.org/guide"));
    EXPECT_EQ(desktop_.log.opened[1].toLocalFile().toStdString(), program_ / "Help/notes.htm");
    EXPECT_EQ(Shown(help).toStdString(), program_ / "Help/Help.htm") << "the page stays";
}

// The pages the program ships, in both languages: their style sheet is read, so
// that they keep their own light page and dark text under a dark desktop too.
TEST_F(Help, TheShippedPagesTakeTheirStyleSheet) {
    std::filesystem::copy(std::filesystem::path(QUORVEL_SOURCE_DIR) / "resources/Help", program_ / "Help",
                          std::filesystem::copy_options::recursive);
    StartInFrench();
    for (const char* heading : {"Sommaire", "Contents"}) {
        if (std::string(heading) == "Contents") {
            Get<QAction>("MNU_Anglais")->trigger();
        }
        THelpWindow* help = Open();
        ASSERT_NE(help, nullptr);
        const QTextCursor found = help->document()->find(QString::fromLatin1(heading));
        ASSERT_FALSE(found.isNull()) << heading;
        EXPECT_EQ(found.charFormat().foreground().color(), QColor(0x10, 0x38, 0x6B)) << heading;
        const QTextFrameFormat page = help->document()->rootFrame()->frameFormat();
        EXPECT_EQ(page.background().color(), QColor(Qt::white)) << heading;
    }
}

} // namespace
} // namespace quorvel::test
