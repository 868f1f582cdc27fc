// A main window living in a temporary program folder, with a folder of real files
// to list, and the desktop services recorded. The window's controls are found by
// their names; what the user cannot do directly goes through its controller.
#pragma once

#include "browser/file_grid.hpp"
#include "browser/file_list_model.hpp"
#include "browser/file_selection.hpp"
#include "browser/folder_tree.hpp"
#include "shell/main_window.hpp"
#include "shell/rename_controller.hpp"
#include "support/temp_dir.hpp"
#include "tests/shell/find.hpp"
#include "tests/shell/recording_desktop.hpp"

#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>

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

    // The control of the window named `name`.
    template <class T> T* Get(const char* name) const { return Find<T>(*window_, name); }

    // What the window works with: the files, the selection, the script.
    RenameController& Controller() const {
        auto* controller = window_->findChild<RenameController*>();
        if (controller == nullptr) {
            throw std::runtime_error("no controller");
        }
        return *controller;
    }

    // Lists the folder as the user does: by selecting it in the folder tree, or, when
    // it is selected already, by Enter in the filter box.
    void ListFolder() { ListFolder(folder_.path()); }
    void ListFolder(const std::string& path) {
        auto* tree = Get<TFolderTree>("ShellTreeView");
        const QByteArray folder = QByteArray::fromStdString(path);
        if (tree->CurrentFolder() == folder) {
            QTest::keyClick(Get<QLineEdit>("EdFiltre"), Qt::Key_Return);
        } else {
            ASSERT_TRUE(tree->SelectPath(folder)) << path;
        }
    }

    std::string SettingsPath() const { return program_ / "quorvel.ini"; }

    // Centre of grid row `row` (1 and up) in the grid's viewport.
    QPoint RowPoint(int row) const {
        auto* grid = Get<TFileGrid>("StringGridFiles");
        return grid->visualRect(grid->Model().index(row - 1, 0)).center();
    }

    void Click(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Get<TFileGrid>("StringGridFiles")->viewport(), button, modifiers, RowPoint(row));
    }

    std::vector<int> Selected() const {
        const TListInt& selected = Controller().Selection().Rows();
        std::vector<int> rows;
        for (std::size_t i = 0; i < selected.Count(); ++i) {
            rows.push_back(selected.Items(i));
        }
        return rows;
    }

    TempDir program_;
    TempDir folder_;
    ScopedDesktop desktop_;
    std::unique_ptr<MainWindow> window_;
};

} // namespace quorvel::test
