// A main window living in a temporary program folder, with a folder of real files
// to list, and the desktop services recorded. The window's controls are found by
// their names; what the user cannot do directly goes through its controller.
#pragma once

#include "browser/file_grid.hpp"
#include "browser/file_list_model.hpp"
#include "browser/file_selection.hpp"
#include "browser/folder_tree.hpp"
#include "files/run/run_messages.hpp"
#include "shell/main_window.hpp"
#include "shell/messages.hpp"
#include "shell/rename_controller.hpp"
#include "support/temp_dir.hpp"
#include "tests/shell/find.hpp"
#include "tests/shell/recording_desktop.hpp"

#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QTest>
#include <QTextDocument>
#include <cstdio>
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
        // The catalogues the build made, for the messages in English.
        BindMessageCatalogues(QUORVEL_CATALOGUES);
    }
    // A test that leaves the window in English leaves French behind it.
    void TearDown() override {
        window_.reset();
        SetMessageLanguage(MessageLanguage::French);
        messages::SetTranslations({});
    }

    // Lets the event loop turn until the preview asked for has been made.
    void Settle() {
        for (int turn = 0; turn < 1000 && Controller().PreviewPending(); ++turn) {
            QCoreApplication::processEvents();
        }
        ASSERT_FALSE(Controller().PreviewPending());
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

    // The text the tooltip of `control` shows, read as Qt reads a tooltip: as
    // markup when it looks like markup.
    QString ShownToolTip(const char* control) const {
        const QString tip = Get<QWidget>(control)->toolTip();
        if (!Qt::mightBeRichText(tip)) {
            return tip;
        }
        QTextDocument document;
        document.setHtml(tip);
        return document.toPlainText();
    }

    // The language files beside the program, as an installed program has them.
    void CopyLanguageFiles() {
        for (const char* file : {"English.lng", "Francais.lng"}) {
            std::filesystem::copy_file(std::string(QUORVEL_SOURCE_DIR "/resources/") + file, program_ / file,
                                       std::filesystem::copy_options::overwrite_existing);
        }
    }

    // Makes the newest journal look as a run killed after its last rename leaves
    // it: no end, not closed.
    void CutTheNewestJournal() {
        const std::filesystem::path state = std::getenv("XDG_STATE_HOME");
        std::filesystem::path newest;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(state)) {
            if (entry.is_regular_file() &&
                (newest.empty() || entry.last_write_time() >= std::filesystem::last_write_time(newest))) {
                newest = entry.path();
            }
        }
        ASSERT_FALSE(newest.empty());
        std::string journal = ReadFileBytes(newest.string());
        for (const char* record : {"\nclosed\n", "\nend "}) {
            journal.erase(journal.rfind(record) + 1);
        }
        std::FILE* f = std::fopen(newest.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(journal.data(), 1, journal.size(), f);
        std::fclose(f);
    }

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
