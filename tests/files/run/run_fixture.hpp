// Real folders for the tests of the run: every file holds its own original name as
// content, so that after each run a test sees which file went where and that none
// was overwritten. Journals go to a folder of the test's own.
#pragma once

#include "files/listing/scan.hpp"
#include "files/run/rename_run.hpp"
#include "files/run/safe_rename.hpp"
#include "support/temp_dir.hpp"
#include "support/text.hpp"

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <numeric>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel::test {

// Folder content: name -> bytes, sub-folders shown as "<dir>".
using Content = std::map<std::string, std::string>;

inline Content FolderContent(const std::string& folder) {
    Content content;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        content[name] = entry.is_directory() ? "<dir>" : ReadFileBytes(entry.path().string());
    }
    return content;
}

inline ScriptLines Script(std::initializer_list<const char*> lines) {
    ScriptLines script;
    for (const char* line : lines) {
        script.push_back(T(line));
    }
    return script;
}

inline const ScriptLines kAddPrefix = {U"14|Ajouter [Chaine=x_] au d\u00E9but"};
// "1.txt" -> "2.txt": the first character replaced by a number counting from 2.
inline const ScriptLines kShiftUp = {U"1|Supprimer les [n=1] premiers caract\u00E8res",
                                     U"19|Ajouter [Num\u00E9ro=2] au d\u00E9but"};
// "ab" -> "ba", "abc" -> "bca": the first character moved to the end.
inline const ScriptLines kRotate = {U"24|D\u00E9placer les [n=1] premiers caract\u00E8res \u00E0 la fin"};

class RunFixture : public ::testing::Test {
protected:
    void Files(std::initializer_list<std::string> names) const {
        for (const std::string& name : names) {
            std::ofstream(folder_ + "/" + name, std::ios::binary) << name;
        }
    }
    Content Folder() const { return FolderContent(folder_); }
    // The folder as it was made by Files: every name holding itself.
    static Content Itself(std::initializer_list<std::string> names) {
        Content content;
        for (const std::string& name : names) {
            content[name] = name;
        }
        return content;
    }

    // Scans the folder and selects every file, as the unattended run does.
    void Scan(const char* filter = "*.*") {
        files_.Clear();
        ASSERT_EQ(ScanFolder(FolderPath(folder_), files_, T(filter)), 0);
        files_.Sort();
        selection_.resize(files_.Count());
        std::iota(selection_.begin(), selection_.end(), std::size_t{0});
    }
    RunOptions Options() const { return {journals_.path(), false, {}, {}}; }
    RunReport Run(const ScriptLines& script) {
        counter_ = 99;
        return RunRenames(script, files_, selection_, counter_, Options());
    }
    RunReport Plan(const ScriptLines& script) {
        counter_ = 99;
        return PlanRenames(script, files_, selection_, counter_, Options());
    }
    // The renames of a report as "from>to", in the order they were done.
    static std::vector<std::string> Steps(const RunReport& report) {
        std::vector<std::string> steps;
        for (const Step& step : report.steps) {
            steps.push_back(std::string(StepFrom(step, report.files)) + ">" +
                            std::string(StepTo(step, report.files)));
        }
        return steps;
    }

    TempDir dir_;
    TempDir journals_;
    std::string folder_ = dir_.path(); // the folder the helpers work on
    TListFiles files_;
    std::vector<std::size_t> selection_;
    NumberCounter counter_ = 0;
};

// The renameat2 calls left before the one that kills the process (the run may
// rename on two threads).
inline std::atomic<int>& CallsLeftBeforeKill() {
    static std::atomic<int> left = 0;
    return left;
}

inline int KillingRenameat2(int olddirfd, const char* oldpath, int newdirfd, const char* newpath,
                            unsigned int flags) {
    if (--CallsLeftBeforeKill() == 0) {
        ::raise(SIGKILL);
    }
    return ::renameat2(olddirfd, oldpath, newdirfd, newpath, flags);
}

// Runs `run` in a child process killed (SIGKILL) at its `call`-th renameat2, which
// does not happen: a run killed in the middle. Whether the child died so.
inline bool KilledAtRename(int call, const std::function<void()>& run) {
    const pid_t child = ::fork();
    if (child == 0) {
        CallsLeftBeforeKill() = call;
        SetRenameat2ForTests(&KillingRenameat2);
        run();
        std::_Exit(0);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

} // namespace quorvel::test
