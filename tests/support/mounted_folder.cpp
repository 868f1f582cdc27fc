#include "support/mounted_folder.hpp"

#include "support/process.hpp"

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel::test {

MountedFolder::MountedFolder(Kind kind, std::uint64_t bytes) {
    if (::mkdir(point_.c_str(), 0700) != 0) {
        why_ = std::strerror(errno);
        return;
    }
    if (kind == Kind::Tmpfs) {
        const std::string options = "size=" + std::to_string(bytes) + ",mode=0700";
        if (::mount("tmpfs", point_.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
            why_ = std::string("cannot mount a tmpfs here: ") + std::strerror(errno);
            return;
        }
    } else {
        const std::string image = dir_ / "ext4.img";
        if (::truncate(dir_.Write("ext4.img", "").c_str(), static_cast<off_t>(bytes)) != 0) {
            why_ = std::strerror(errno);
            return;
        }
        // Inodes of 256 bytes: the birth time is kept.
        const ProcessResult made = RunProcess({"/sbin/mkfs.ext4", "-q", "-F", "-I", "256", image});
        if (made.exitCode != 0) {
            why_ = "mkfs.ext4 failed (e2fsprogs missing?): " + made.err;
            return;
        }
        const ProcessResult mounted = RunProcess({"/bin/mount", "-o", "loop,nosuid,nodev", image, point_});
        if (mounted.exitCode != 0) {
            why_ = "cannot mount an ext4 image here: " + mounted.err;
            return;
        }
        ::chmod(point_.c_str(), 0700);
    }
    mounted_ = true;
}

MountedFolder::~MountedFolder() {
    if (mounted_) {
        ::umount2(point_.c_str(), MNT_DETACH);
    }
}

} // namespace quorvel::test
