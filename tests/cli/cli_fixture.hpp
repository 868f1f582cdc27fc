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
    // Children inherit the environment: no test ever writes to the real home.
    CliFixture() { ::setenv("XDG_STATE_HOME", (dir_ / "state").c_str(), 1); }

    ProcessResult Cli(std::vector<std::string> args, const std::string& input = {}) {
        args.insert(args.begin(), QUORVEL_CLI);
        return RunProcess(args, input);
    }

    TempDir dir_;
};

} // namespace quorvel::test
