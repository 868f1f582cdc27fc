// Runs a program as a child process, feeding its standard input and capturing its
// standard output and error.
#pragma once

#include <string>
#include <vector>

namespace quorvel::test {

struct ProcessResult {
    int exitCode = -1; // -1 when the child did not exit normally
    std::string out;
    std::string err;
};

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input = {});

} // namespace quorvel::test
