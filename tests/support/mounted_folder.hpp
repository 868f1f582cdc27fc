// A file system of its own for a test: a small tmpfs (to run out of room), or an
// ext4 image made by mkfs.ext4 and mounted through a loop device (to see inode
// numbers given again). Both need the right to mount; where it is missing the
// folder is not mounted and `Why()` says so, for the test to skip.
#pragma once

#include "support/temp_dir.hpp"

#include <cstdint>
#include <string>

namespace quorvel::test {

class MountedFolder {
public:
    enum class Kind { Tmpfs, Ext4 };

    MountedFolder(Kind kind, std::uint64_t bytes);
    MountedFolder(const MountedFolder&) = delete;
    MountedFolder& operator=(const MountedFolder&) = delete;
    ~MountedFolder(); // unmounted, and the image removed

    bool Mounted() const { return mounted_; }
    const std::string& Why() const { return why_; }
    // The root of the mounted file system, owned by the user, mode 0700.
    const std::string& path() const { return point_; }
    std::string operator/(std::string_view name) const { return point_ + "/" + std::string(name); }

private:
    TempDir dir_;
    std::string point_ = dir_ / "mnt";
    bool mounted_ = false;
    std::string why_;
};

} // namespace quorvel::test
