// A main window living in a temporary program folder, with a folder of real files
// to list, and the desktop services recorded.
#pragma once

#include "browser/file_list_model.hpp"
#include "browser/file_selection.hpp"
#include "shell/main_window.hpp"
#include "support/temp_dir.hpp"
#include "tests/shell/recording_desktop.hpp"

#include <QHeaderView>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>

namespace quorvel::test {

class MainWindowTest : public ::testing::Test {
protected:
    // Journals of earlier tests of the process could name a folder of this test: a
    // temporary folder may get the inode of one removed before.
    void SetUp() override {
        if (const char* state = std::getenv("XDG_STATE_HOME")) {
            std::filesystem::remove_all(std::filesystem::path(state) / "quorvel");
        }
    }

    // Creates the files `names` (each holding its own name) in the folder to list.
    void MakeFiles(std::initializer_list<const char*> names) {
        for (const char* name : names) {
            folder_.Write(name, name);
        }
    }

    // A window started from the program folder, shown, with the folder listed.
    MainWindow& Start(const QStringList& arguments = {}) {
        window_ = std::make_unique<MainWindow>(
            ProgramEnvironment::ForProgramAt(QString::fromStdString(program_ / "quorvel"), arguments));
        window_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
        return *window_;
    }

    void ListFolder() { window_->FillFileList(QByteArray::fromStdString(folder_.path())); }

    std::string SettingsPath() const { return program_ / "quorvel.ini"; }

    // Centre of grid row `row` (1 and up) in the grid's viewport.
    QPoint RowPoint(int row) const {
        TFileGrid* grid = window_->StringGridFiles;
        return grid->visualRect(grid->Model().index(row - 1, 0)).center();
    }

    void Click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(window_->StringGridFiles->viewport(), button, modifiers, RowPoint(row));
    }

    std::vector<int> Selected() const {
        std::vector<int> rows;
        for (std::size_t i = 0; i < window_->Selection->Rows().Count(); ++i) {
            rows.push_back(window_->Selection->Rows().Items(i));
        }
        return rows;
    }

    TempDir program_;
    TempDir folder_;
    ScopedDesktop desktop_;
    std::unique_ptr<MainWindow> window_;
};

} // namespace quorvel::test
