// Entry point of the GUI suites: the real widgets on Qt's offscreen platform, in a
// sandbox where the home, data, configuration, state and runtime folders are
// temporary.
#include "support/temp_dir.hpp"

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static const quorvel::test::TempDir sandbox;
    for (const char* name : {"home", "data", "config", "state", "runtime", "bin"}) {
        std::filesystem::create_directories(sandbox / name);
    }
    ::chmod((sandbox / "runtime").c_str(), 0700);
    qputenv("HOME", QByteArray::fromStdString(sandbox / "home"));
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(sandbox / "data"));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(sandbox / "config"));
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(sandbox / "state"));
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(sandbox / "runtime"));
    // No desktop database tools: they would outlive the sandbox.
    qputenv("PATH", QByteArray::fromStdString(sandbox / "bin"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
