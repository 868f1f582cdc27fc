#include "support/process.hpp"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace quorvel::test {

namespace {

struct Pipe {
    int fd[2] = {-1, -1};
    Pipe() {
        if (::pipe2(fd, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe failed");
        }
    }
    ~Pipe() {
        CloseRead();
        CloseWrite();
    }
    void CloseRead() {
        if (fd[0] >= 0) {
            ::close(fd[0]);
            fd[0] = -1;
        }
    }
    void CloseWrite() {
        if (fd[1] >= 0) {
            ::close(fd[1]);
            fd[1] = -1;
        }
    }
};

} // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::string& input) {
    Pipe in;
    Pipe out;
    Pipe err;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in.fd[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out.fd[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err.fd[1], 2);

    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    in.CloseRead();
    out.CloseWrite();
    err.CloseWrite();

    // Feed the input and drain both outputs together so that no pipe fills up.
    ::signal(SIGPIPE, SIG_IGN);
    ProcessResult result;
    std::size_t written = 0;
    if (input.empty()) {
        in.CloseWrite();
    }
    std::array<char, 65536> buffer{};
    while (out.fd[0] >= 0 || err.fd[0] >= 0) {
        std::array<pollfd, 3> fds{{{out.fd[0], POLLIN, 0}, {err.fd[0], POLLIN, 0}, {in.fd[1], POLLOUT, 0}}};
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (in.fd[1] >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t n = ::write(in.fd[1], input.data() + written, input.size() - written);
            if (n > 0) {
                written += static_cast<std::size_t>(n);
            }
            if (n < 0 || written == input.size()) {
                in.CloseWrite();
            }
        }
        for (int i = 0; i < 2; ++i) {
            Pipe& p = i == 0 ? out : err;
            if (p.fd[0] >= 0 && (fds[static_cast<std::size_t>(i)].revents & (POLLIN | POLLHUP | POLLERR))) {
                const ssize_t n = ::read(p.fd[0], buffer.data(), buffer.size());
                if (n > 0) {
                    (i == 0 ? result.out : result.err).append(buffer.data(), static_cast<std::size_t>(n));
                } else {
                    p.CloseRead();
                }
            }
        }
    }
    in.CloseWrite();
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

BackgroundProcess::BackgroundProcess(const std::vector<std::string>& argv) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    const int rc = ::posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
}

BackgroundProcess::~BackgroundProcess() {
    Kill(SIGKILL);
}

bool BackgroundProcess::Ended() {
    if (!reaped_) {
        pid_t r = 0;
        while ((r = ::waitpid(pid_, &status_, WNOHANG)) < 0 && errno == EINTR) {
        }
        reaped_ = r != 0;
    }
    return reaped_;
}

void BackgroundProcess::Kill(int signal) {
    if (!reaped_) {
        ::kill(pid_, signal);
    }
    Wait();
}

int BackgroundProcess::Wait() {
    while (!reaped_) {
        // Given up on any error but EINTR too, so that no other process is ever signalled.
        reaped_ = ::waitpid(pid_, &status_, 0) == pid_ || errno != EINTR;
    }
    return status_;
}

} // namespace quorvel::test
