// Tests of permissions run as root too: the code under test runs in a child
// process that gives up root's rights first.
#pragma once

#include <functional>
#include <optional>

namespace quorvel::test {

// Runs `body` in a child process which, when started as root, first becomes the
// user and group nobody (65534). Returns the child's exit status (the value of
// `body`, 0..76), or nothing when the rights could not be given up.
std::optional<int> InChildWithoutRoot(const std::function<int()>& body);

} // namespace quorvel::test
