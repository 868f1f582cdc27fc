// What the suites of quorvel-cli share: a fresh temporary folder, journals kept in
// it rather than in the user's home, quorvel-cli run as a separate program, and
// folders read back whole.
#pragma once

#include "support/process.hpp"
#include "support/temp_dir.hpp"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace quorvel::test {

// Name -> content of every entry of a folder ("<dir>" for a folder).
using Content = std::map<std::string, std::string>;

inline Content ReadFolder(const std::string& folder) {
    Content content;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        content[entry.path().filename().string()] =
            entry.is_directory() ? "<dir>" : ReadFileBytes(entry.path().string());
    }
    return content;
}

// The first entry where two folders differ, for folders too big to print; empty
// when they are the same.
inline std::string FirstDifference(const Content& actual, const Content& expected) {
    for (const auto& [name, bytes] : expected) {
        const auto it = actual.find(name);
        if (it == actual.end()) {
            return "missing: " + name;
        }
        if (it->second != bytes) {
            return name + " holds " + it->second + ", not " + bytes;
        }
    }
    for (const auto& [name, bytes] : actual) {
        if (!expected.contains(name)) {
            return "unexpected: " + name;
        }
    }
    return {};
}

class CliFixture : public ::testing::Test {
protected:
    // Children inherit the environment: no test ever writes to the real home, and
    // the messages are in French, the built-in language, whatever the locale of
    // the machine; a test of another language sets its own (InLocale).
    CliFixture() {
        ::setenv("XDG_STATE_HOME", (dir_ / "state").c_str(), 1);
        for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            ::unsetenv(variable);
        }
    }

    ProcessResult Cli(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), QUORVEL_CLI);
        return RunProcess(args, input);
    }

    // quorvel-cli with the locale variables `assignments` ("LANG=en_US.UTF-8").
    ProcessResult InLocale(std::vector<std::string> assignments, std::vector<std::string> args) {
        assignments.insert(assignments.begin(), "/usr/bin/env");
        assignments.push_back(QUORVEL_CLI);
        assignments.insert(assignments.end(), args.begin(), args.end());
        return RunProcess(assignments);
    }

    TempDir dir_;
};

} // namespace quorvel::test
