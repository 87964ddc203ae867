#include "support/SmallDisk.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/mount.h>

namespace travonix::test {

SmallDisk::SmallDisk(const std::string& size) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "travonix-disk-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        why_ = std::string("no folder to mount on: ") + std::strerror(errno);
        return;
    }
    path_ = pattern;
    const std::string options = "size=" + size;
    if (::mount("tmpfs", path_.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        why_ = std::string("mounting a small tmpfs is not allowed here (") + std::strerror(errno) +
               "): the full-disk test needs root";
        return;
    }
    mounted_ = true;
}

SmallDisk::~SmallDisk() {
    if (mounted_)
        ::umount2(path_.c_str(), MNT_DETACH);
    if (!path_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
}

} // namespace travonix::test
