#include "support/unprivileged.hpp"

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quorvel::test {

namespace {
constexpr int kCannotDrop = 77;
constexpr uid_t kNobody = 65534;
} // namespace

std::optional<int> InChildWithoutRoot(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid < 0) {
        return std::nullopt;
    }
    if (pid == 0) {
        if (::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            ::_exit(kCannotDrop);
        }
        ::_exit(body());
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) == kCannotDrop) {
        return std::nullopt;
    }
    return WEXITSTATUS(status);
}

} // namespace quorvel::test
