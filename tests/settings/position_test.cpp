#include "browser/file_grid.hpp"
#include "editor/command_tree.hpp"
#include "editor/edit_number.hpp"
#include "editor/example_list.hpp"
#include "editor/script_view.hpp"
#include "settings/ini_file.hpp"
#include "settings/save_form_pos.hpp"
#include "support/process.hpp"
#include "tests/shell/main_window_fixture.hpp"

#include <QGuiApplication>
#include <QScreen>
#include <sstream>

namespace quorvel::test {
namespace {

QSize ScreenSize() {
    return QGuiApplication::primaryScreen()->geometry().size();
}

// The sections of an INI file in order, each with its keys in order.
std::vector<std::pair<std::string, std::vector<std::string>>> Layout(const std::string& path) {
    std::vector<std::pair<std::string, std::vector<std::string>>> sections;
    std::istringstream in(ReadFileBytes(path));
    for (std::string line; std::getline(in, line);) {
        if (line.size() > 2 && line.front() == '[') {
            sections.push_back({line.substr(1, line.size() - 2), {}});
        } else if (const auto eq = line.find('='); eq != std::string::npos && !sections.empty()) {
            sections.back().second.push_back(line.substr(0, eq));
        }
    }
    return sections;
}

const std::vector<std::string> kBounds = {"LEFT", "TOP", "WIDTH", "HEIGHT"};

using Positions = MainWindowTest;

TEST_F(Positions, FirstCloseWritesTheWindowThenEveryControlInOwningOrderThenTheOptions) {
    MainWindow& w = Start();
    const QRect bounds(w.pos(), w.size());
    w.close();
    const IniFile ini(SettingsPath());
    EXPECT_EQ(ini.ReadInteger("FENPOS", "LEFT", -1), bounds.x());
    EXPECT_EQ(ini.ReadInteger("FENPOS", "TOP", -1), bounds.y());
    EXPECT_EQ(ini.ReadInteger("FENPOS", "WIDTH", -1), 799);
    EXPECT_EQ(ini.ReadInteger("FENPOS", "HEIGHT", -1), 577);
    EXPECT_EQ(ini.ReadInteger("FENPOS", "WINDOWSTATE", -1), 0);
    EXPECT_EQ(ini.ReadInteger("Panel1", "HEIGHT", -1), 281);
    EXPECT_EQ(ini.ReadInteger("PanelVOIR", "WIDTH", -1), 168);
    EXPECT_EQ(ini.ReadInteger("BtnVoir", "LEFT", -1), 43);
    EXPECT_EQ(ini.ReadInteger("BtnVoir", "TOP", -1), 250);
    EXPECT_EQ(ini.ReadInteger("EdNumber", "TOP", -1), 16);
    EXPECT_EQ(ini.ReadInteger("StringGridFiles", "COL0", -1), 345);

    std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
        {"FENPOS", {"LEFT", "TOP", "WIDTH", "HEIGHT", "WINDOWSTATE"}}};
    for (const char* control : {"Splitter3",         "Panel1",        "Splitter1",
                                "ShellTreeView",     "PanelVOIR",     "Label1",
                                "BtnVoir",           "LabExemple",    "EdFiltre",
                                "CheckSousDossiers", "CheckDossiers", "MemoExemple",
                                "StringGridFiles",   "Panel2",        "Splitter2",
                                "TreeViewCommande",  "Panel4",        "HTMLViewer",
                                "PanelBAS",          "BtnOk",         "EdString",
                                "EdInteger",         "EdNumber",      "EdPattern",
                                "LabPatternProblem", "EdTemplate",    "BtnTemplateTokens",
                                "LabTemplateProblem"}) {
        expected.push_back({control, kBounds});
    }
    expected[13].second.push_back("COL0"); // StringGridFiles
    // Those sections and the options, nothing else (the status bar keeps no place).
    const auto layout = Layout(SettingsPath());
    ASSERT_EQ(layout.size(), expected.size() + 1);
    EXPECT_EQ(std::vector(layout.begin(), layout.begin() + static_cast<std::ptrdiff_t>(expected.size())),
              expected);
    EXPECT_EQ(layout.back(), (std::pair<std::string, std::vector<std::string>>{
                                 "OPTIONS", {"LANGUAGE", "SUBFOLDERS", "FOLDERS"}}));
    EXPECT_TRUE(desktop_.log.errors.isEmpty());
}

TEST_F(Positions, ClosingMaximisedKeepsTheNormalBoundsAndComesBackMaximised) {
    const IniFile ini(SettingsPath());
    for (const auto& [key, value] : {std::pair{"LEFT", 10}, {"TOP", 20}, {"WIDTH", 700}, {"HEIGHT", 500}}) {
        ini.WriteInteger("FENPOS", key, value);
    }
    MainWindow& w = Start();
    EXPECT_EQ(w.size(), QSize(700, 500));
    // The window is centred when first shown; the restored place gives way.
    EXPECT_EQ(w.x(), (ScreenSize().width() - 700) / 2);
    w.showMaximized();
    w.close();
    EXPECT_EQ(ini.ReadInteger("FENPOS", "LEFT", -1), 10);
    EXPECT_EQ(ini.ReadInteger("FENPOS", "WIDTH", -1), 700);
    EXPECT_EQ(ini.ReadInteger("FENPOS", "WINDOWSTATE", -1), 2);

    MainWindow& again = Start();
    EXPECT_TRUE(again.isMaximized());
    EXPECT_EQ(again.normalGeometry().size(), QSize(700, 500));
}

TEST_F(Positions, AFailedWriteSaysWhereOnceAndTheWindowStillCloses) {
    // A folder where the settings file should be: no write can succeed, not even as root.
    std::filesystem::create_directory(program_ / "quorvel.ini");
    MainWindow& w = Start();
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(desktop_.log.errors,
              QStringList{QString::fromStdString("Impossible d'écrire dans " + SettingsPath())});
    window_.reset(); // the save on destruction fails silently
    EXPECT_EQ(desktop_.log.errors.size(), 1);
}

TEST_F(Positions, ControlBoundsAreWrittenNeverRead) {
    MainWindow& w = Start();
    Get<TFileGrid>("StringGridFiles")->setColumnWidth(0, 400);
    w.close();
    EXPECT_EQ(IniFile(SettingsPath()).ReadInteger("StringGridFiles", "COL0", -1), 400);
    Start();
    EXPECT_EQ(Get<TFileGrid>("StringGridFiles")->columnWidth(0), 345);
}

// A window of its own with the keeper, its settings in a temporary folder.
class Keeper : public ::testing::Test {
protected:
    TSaveFormPos& Make() {
        window_ = std::make_unique<QWidget>();
        window_->resize(799, 577);
        window_->move(7, 9);
        keeper_ = new TSaveFormPos(window_.get(), QString::fromStdString(dir_ / "quorvel.ini"));
        return *keeper_;
    }
    // Replaces the saved values (after the previous window's own save on destruction).
    void Store(std::initializer_list<std::pair<const char*, int>> values) {
        window_.reset();
        std::filesystem::remove(dir_ / "quorvel.ini");
        for (const auto& [key, value] : values) {
            IniFile(dir_ / "quorvel.ini").WriteInteger("FENPOS", key, value);
        }
    }

    TempDir dir_;
    std::unique_ptr<QWidget> window_;
    TSaveFormPos* keeper_ = nullptr;
};

// The offscreen platform has one screen of 800 x 800 with no panel: the window
// designed at 799 x 577 fits in it with one pixel to spare across.
QRect AvailableArea() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

TEST_F(Keeper, TheOffscreenScreenIsTheOneTheseTestsAssume) {
    ASSERT_EQ(QGuiApplication::screens().size(), 1);
    EXPECT_EQ(AvailableArea(), QRect(0, 0, 800, 800));
}

TEST_F(Keeper, LoadsSizeThenPlaceInsideTheScreensAvailableArea) {
    ASSERT_EQ(AvailableArea(), QRect(0, 0, 800, 800));
    struct Case {
        const char* what;
        std::initializer_list<std::pair<const char*, int>> stored;
        bool centre;
        QRect expected;
    };
    const Case cases[] = {
        {"no file: as designed", {}, true, QRect(7, 9, 799, 577)},
        {"a left of 5000 is pulled back onto the screen",
         {{"LEFT", 5000}, {"TOP", 3}},
         true,
         QRect(1, 3, 799, 577)},
        {"a top of 5000 too", {{"LEFT", 0}, {"TOP", 5000}}, true, QRect(0, 223, 799, 577)},
        {"no left or top: centred",
         {{"LEFT", -1}, {"WIDTH", 300}, {"HEIGHT", 200}},
         true,
         QRect(250, 300, 300, 200)},
        {"no left or top and no centring: unmoved", {{"WIDTH", 300}}, false, QRect(7, 9, 300, 577)},
        {"a place inside is kept",
         {{"LEFT", 500}, {"TOP", 600}, {"WIDTH", 300}, {"HEIGHT", 200}},
         true,
         QRect(500, 600, 300, 200)},
        {"a place one pixel over the edge is moved in",
         {{"LEFT", 501}, {"TOP", 601}, {"WIDTH", 300}, {"HEIGHT", 200}},
         true,
         QRect(500, 600, 300, 200)},
        {"negative places are moved inside", {{"LEFT", -40}, {"TOP", -2}}, true, QRect(0, 0, 799, 577)},
        {"far places are moved inside",
         {{"LEFT", -2'000'000'000}, {"TOP", 2'000'000'000}},
         true,
         QRect(0, 223, 799, 577)},
        {"a window larger than the area is made as large as the area",
         {{"LEFT", 0}, {"WIDTH", 900}, {"HEIGHT", 2'000'000'000}},
         true,
         QRect(0, 0, 800, 800)},
        {"and is placed at its corner whatever the place stored",
         {{"LEFT", 100}, {"TOP", -50}, {"WIDTH", 1600}, {"HEIGHT", 1200}},
         true,
         QRect(0, 0, 800, 800)},
        {"a size of zero or below reads as missing",
         {{"WIDTH", 0}, {"HEIGHT", -5}},
         true,
         QRect(0, 111, 799, 577)},
        {"and so does the other one",
         {{"WIDTH", -300}, {"HEIGHT", 0}, {"LEFT", 1}, {"TOP", 2}},
         true,
         QRect(1, 2, 799, 577)},
        {"a left of 0 is kept, the top centred", {{"LEFT", 0}}, true, QRect(0, 111, 799, 577)},
    };
    for (const Case& c : cases) {
        Store(c.stored);
        Make().LoadFormPos(c.centre);
        EXPECT_EQ(QRect(window_->pos(), window_->size()), c.expected) << c.what;
        EXPECT_EQ(window_->windowState(), Qt::WindowNoState) << c.what;
    }
}

TEST_F(Keeper, CentringShrinksAWindowLargerThanTheAreaFirst) {
    ASSERT_EQ(AvailableArea(), QRect(0, 0, 800, 800));
    QWidget window;
    window.resize(300, 200);
    CentreOnPrimaryScreen(window);
    EXPECT_EQ(QRect(window.pos(), window.size()), QRect(250, 300, 300, 200));
    window.resize(1000, 500);
    CentreOnPrimaryScreen(window);
    EXPECT_EQ(QRect(window.pos(), window.size()), QRect(0, 150, 800, 500));
    window.resize(1598, 1154);
    CentreOnPrimaryScreen(window);
    EXPECT_EQ(QRect(window.pos(), window.size()), QRect(0, 0, 800, 800));
}

// At scale 2 the offscreen screen of 800 x 800 pixels is a small screen of 400 x 400:
// the window designed at 799 x 577 must be shrunk to it, not opened half outside.
// The scale is set when the application starts: the test runs again in a program
// of its own with QT_SCALE_FACTOR=2.
TEST_F(Keeper, AtScaleTwoOnASmallScreenTheWindowStaysInside) {
    if (!qEnvironmentVariableIsSet("QUORVEL_TEST_AT_SCALE_TWO")) {
        const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
        const auto r = RunProcess({"/usr/bin/env", "QT_SCALE_FACTOR=2", "QUORVEL_TEST_AT_SCALE_TWO=1", self,
                                   "--gtest_filter=Keeper.AtScaleTwoOnASmallScreenTheWindowStaysInside"});
        EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
        EXPECT_NE(r.out.find("[  PASSED  ] 1 test."), std::string::npos) << r.out;
        return;
    }
    ASSERT_EQ(AvailableArea(), QRect(0, 0, 400, 400));
    Store({{"LEFT", 200}, {"TOP", 150}, {"WIDTH", 799}, {"HEIGHT", 577}});
    Make().Loaded();
    EXPECT_EQ(QRect(window_->pos(), window_->size()), QRect(0, 0, 400, 400));
    window_->resize(799, 577);
    CentreOnPrimaryScreen(*window_);
    EXPECT_EQ(QRect(window_->pos(), window_->size()), QRect(0, 0, 400, 400));
}

TEST_F(Keeper, WindowStateLowByteSelectsNormalMinimisedOrMaximised) {
    struct Case {
        int stored;
        Qt::WindowState expected;
    };
    for (const Case c :
         {Case{0, Qt::WindowNoState}, Case{1, Qt::WindowMinimized}, Case{2, Qt::WindowMaximized},
          Case{258, Qt::WindowMaximized}, Case{3, Qt::WindowNoState}, Case{-1, Qt::WindowNoState}}) {
        Store({{"WINDOWSTATE", c.stored}});
        Make().Loaded();
        EXPECT_EQ(window_->windowState(), c.expected) << c.stored;
    }
    // A value that is not a number reads as missing.
    Store({{"WINDOWSTATE", 0}});
    IniFile(dir_ / "quorvel.ini").WriteString("FENPOS", "WIDTH", "large");
    Make().Loaded();
    EXPECT_EQ(window_->width(), 799);
}

TEST_F(Keeper, SavesOnceMoreWhenTheWindowGoesAway) {
    Make();
    window_->move(33, 44);
    window_.reset();
    const IniFile ini(dir_ / "quorvel.ini");
    EXPECT_EQ(ini.ReadInteger("FENPOS", "LEFT", -1), 33);
    EXPECT_EQ(ini.ReadInteger("FENPOS", "HEIGHT", -1), 577);
    EXPECT_EQ(ini.ReadInteger("FENPOS", "WINDOWSTATE", -1), 0);
}

TEST_F(Keeper, ResolvesTheFileNameAgainstTheDefaultFolder) {
    TSaveFormPos& keeper = Make();
    const QString folder = QString::fromStdString(dir_.path() + "/");
    EXPECT_EQ(keeper.ResolveIniFile(), folder + "quorvel.ini");
    EXPECT_EQ(keeper.IniFileName(), "quorvel.ini");
    EXPECT_EQ(keeper.IniFolder(), folder);
    keeper.SetIniFileName("autre.ini");
    EXPECT_EQ(keeper.ResolveIniFile(), folder + "autre.ini");
    keeper.SetIniFileName("/srv/reglages/fenetre.ini");
    EXPECT_EQ(keeper.ResolveIniFile(), "/srv/reglages/fenetre.ini");
    // A bare name keeps the folder set before.
    keeper.SetIniFileName("seul.ini");
    EXPECT_EQ(keeper.ResolveIniFile(), "/srv/reglages/seul.ini");
    keeper.SetIniFileName(QString::fromStdString(dir_ / "x.ini")); // saved to on destruction
}

} // namespace
} // namespace quorvel::test
