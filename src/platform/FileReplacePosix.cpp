#ifndef _WIN32

#include "platform/FileReplace.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace travonix {

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t cut = path.rfind('/');
    if (cut == std::string::npos)
        return ".";
    return cut == 0 ? std::string("/") : path.substr(0, cut);
}

// A short name, so a long target name never makes the temporary name too
// long; hidden, so a file manager does not show it while it is written.
std::string temporaryNameIn(const std::string& folder) {
    static std::atomic<unsigned> counter{std::random_device{}()};
    char name[40];
    std::snprintf(name, sizeof name, "/.travonix-%08x.tmp", counter.fetch_add(0x9e3779b9U));
    return folder + name;
}

int createTemporary(const std::string& folder, std::string& name) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        name = temporaryNameIn(folder);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeAll(int fd, std::string_view bytes) {
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t wrote = ::write(fd, next, left);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        next += wrote;
        left -= static_cast<std::size_t>(wrote);
    }
    return true;
}

// The replaced file keeps the permissions it had; a new one gets the usual
// ones (0666 less the umask), which open() already gave it.
void keepPermissions(int fd, const std::string& path) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
        (void)::fchmod(fd, existing.st_mode & 07777);
}

// A file that already holds exactly these bytes is only touched: its time
// becomes now, as if it had been written, without a new file and a rename
// for each of tens of thousands of unchanged blocks.
bool alreadyHolds(const std::string& path, const std::vector<std::string>& parts) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    std::size_t size = 0;
    for (const std::string& part : parts)
        size += part.size();
    bool same = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
                static_cast<std::size_t>(info.st_size) == size;
    std::string buffer;
    for (std::size_t k = 0; same && k < parts.size(); ++k) {
        buffer.resize(parts[k].size());
        std::size_t got = 0;
        while (got < buffer.size()) {
            const ssize_t n = ::read(fd, buffer.data() + got, buffer.size() - got);
            if (n <= 0)
                break;
            got += static_cast<std::size_t>(n);
        }
        same = got == buffer.size() && buffer == parts[k];
    }
    if (same)
        same = ::futimens(fd, nullptr) == 0;
    ::close(fd);
    return same;
}

std::string failure(int error, const std::string& temporary) {
    ::unlink(temporary.c_str());
    return std::strerror(error);
}

} // namespace

std::string replaceFileWhole(const std::string& path, std::string_view bytes) {
    return replaceFileWhole(path, std::vector<std::string>{std::string(bytes)});
}

std::string replaceFileWhole(const std::string& path, const std::vector<std::string>& parts) {
    if (path.find('\0') != std::string::npos)
        return "the path holds a NUL byte";
    if (alreadyHolds(path, parts))
        return {};
    std::string temporary;
    const int fd = createTemporary(folderOf(path), temporary);
    if (fd < 0)
        return std::strerror(errno);
    keepPermissions(fd, path);
    for (const std::string& part : parts) {
        if (!writeAll(fd, part)) {
            const int error = errno;
            ::close(fd);
            return failure(error, temporary);
        }
    }
    if (::close(fd) != 0)
        return failure(errno, temporary);
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        return failure(errno, temporary);
    return {};
}

} // namespace travonix

#endif
