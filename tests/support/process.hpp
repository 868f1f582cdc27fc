// Runs a program as a child process, feeding its standard input and capturing its
// standard output and error; or starts one in the background, to be killed.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace quorvel::test {

struct ProcessResult {
    int exitCode = -1; // -1 when the child did not exit normally
    std::string out;
    std::string err;
};

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input = {});

// A program running in the background, its standard streams on /dev/null. When it
// is still running as the object goes away, it is killed (SIGKILL) and reaped.
class BackgroundProcess {
public:
    explicit BackgroundProcess(const std::vector<std::string>& argv);
    BackgroundProcess(const BackgroundProcess&) = delete;
    BackgroundProcess& operator=(const BackgroundProcess&) = delete;
    ~BackgroundProcess();

    // Whether it has ended, without waiting.
    bool Ended();
    // Sends `signal` (nothing once it has been reaped), then waits for the end.
    void Kill(int signal);
    // Waits for the end; the status as waitpid gives it.
    int Wait();

private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = 0;
};

} // namespace quorvel::test
