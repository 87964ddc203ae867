#ifndef _WIN32

#include "platform/FileReplace.h"
#include "platform/TemporaryName.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <set>
#include <string_view>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace travonix {

namespace {

std::string folderOf(const std::string& path) {
    const std::size_t cut = path.rfind('/');
    if (cut == std::string::npos)
        return ".";
    return cut == 0 ? std::string("/") : path.substr(0, cut);
}

std::string temporaryNameIn(const std::string& folder) {
    return folder + "/" + newTemporaryName();
}

// A writer holds an exclusive lock on its temporary file from creation until
// the rename. The lock dies with its process: a temporary file that another
// process can lock was left by a run that was killed.
bool sameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Still the file at `name` once locked: a run tidying up the folder may have
// locked and removed it in the instant between its creation and the lock.
// Where the file system has no locks the file goes on unlocked, as nobody can
// lock it to remove it either.
bool lockedInPlace(int fd, const std::string& name, struct stat& opened) {
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(name.c_str(), &named) == 0 &&
           sameFile(opened, named);
}

// The new temporary file, locked, and its permissions in `mode`.
int createTemporary(const std::string& folder, std::string& name, mode_t& mode) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        name = temporaryNameIn(folder);
        const int fd =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return -1;
        struct stat opened {};
        if (fd >= 0 && lockedInPlace(fd, name, opened)) {
            mode = opened.st_mode & 07777;
            return fd;
        }
        if (fd >= 0)
            ::close(fd);
    }
    errno = EEXIST;
    return -1;
}

// A run killed while writing leaves its temporary file in the folder, and
// nothing else would ever remove it. The first file this process writes into
// a folder clears such files out: plain files named as this writer names them
// and not locked by a writer still at work. Each is removed while locked, so
// a writer that created it an instant ago waits, then finds its file gone and
// takes another name.
void removeLeftovers(const std::string& folder) {
    static std::mutex mutex;
    static std::set<std::string> tidied;
    {
        const std::lock_guard<std::mutex> guard(mutex);
        if (!tidied.insert(folder).second)
            return;
    }
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr)
        return;
    const int dirFd = ::dirfd(dir);
    while (const dirent* entry = ::readdir(dir)) {
        struct stat named {};
        if (!isTemporaryName(entry->d_name) ||
            ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(named.st_mode))
            continue;
        // Open for writing where allowed: on NFS an exclusive lock needs it.
        constexpr int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
        int fd = ::openat(dirFd, entry->d_name, O_RDWR | flags);
        if (fd < 0)
            fd = ::openat(dirFd, entry->d_name, O_RDONLY | flags);
        if (fd < 0)
            continue;
        struct stat opened {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 &&
            ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            sameFile(opened, named))
            (void)::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

// Every part with as few calls as the system allows (writev takes up to
// IOV_MAX pieces), going on where a call stopped short.
bool writeParts(int fd, const std::vector<std::string>& parts) {
    std::vector<iovec> pieces;
    pieces.reserve(parts.size());
    for (const std::string& part : parts)
        if (!part.empty())
            pieces.push_back({const_cast<char*>(part.data()), part.size()});
    std::size_t next = 0;
    while (next < pieces.size()) {
        const int count = static_cast<int>(std::min<std::size_t>(pieces.size() - next, IOV_MAX));
        const ssize_t wrote = ::writev(fd, pieces.data() + next, count);
        if (wrote < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        auto left = static_cast<std::size_t>(wrote);
        while (next < pieces.size() && left >= pieces[next].iov_len)
            left -= pieces[next++].iov_len;
        if (left > 0) {
            pieces[next].iov_base = static_cast<char*>(pieces[next].iov_base) + left;
            pieces[next].iov_len -= left;
        }
    }
    return true;
}

// The replaced file keeps the permissions it had; a new one gets the usual
// ones (0666 less the umask), which open() already gave it.
void keepPermissions(int fd, mode_t given, std::optional<mode_t> existing) {
    if (existing && *existing != given)
        (void)::fchmod(fd, *existing);
}

// A file that already holds exactly these bytes is only touched: its time
// becomes now, as if it had been written, without a new file and a rename
// for each of tens of thousands of unchanged blocks.
// The permissions of a file that is there are kept in `mode`.
bool alreadyHolds(const std::string& path, const std::vector<std::string>& parts,
                  std::optional<mode_t>& mode) {
    // Without blocking: a link to a FIFO would wait for a writer for ever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        // A file there that cannot be read (write-only) keeps its
        // permissions all the same.
        struct stat info {};
        if (errno != ENOENT && ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
            mode = info.st_mode & 07777;
        return false;
    }
    struct stat info {};
    std::size_t size = 0;
    for (const std::string& part : parts)
        size += part.size();
    const bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (regular)
        mode = info.st_mode & 07777;
    bool same = regular && static_cast<std::size_t>(info.st_size) == size;
    // Compared a piece at a time: a merged block's file is megabytes, and a
    // copy of it beside the block's own text would add to the peak.
    char piece[1 << 16];
    for (std::size_t k = 0; same && k < parts.size(); ++k)
        for (std::size_t at = 0; same && at < parts[k].size();) {
            const std::size_t want = std::min(sizeof piece, parts[k].size() - at);
            const ssize_t n = ::read(fd, piece, want);
            same =
                n > 0 && std::memcmp(piece, parts[k].data() + at, static_cast<std::size_t>(n)) == 0;
            at += n > 0 ? static_cast<std::size_t>(n) : 0;
        }
    if (same)
        same = ::futimens(fd, nullptr) == 0;
    ::close(fd);
    return same;
}

Failure failure(int error, const std::string& temporary) {
    ::unlink(temporary.c_str());
    return {std::strerror(error)};
}

// Writes the temporary file, closes it and renames it over `path`.
Outcome fillAndRename(int fd, const std::string& temporary, const std::string& path,
                      const std::vector<std::string>& parts) {
    if (!writeParts(fd, parts)) {
        const int error = errno;
        ::close(fd);
        return failure(error, temporary);
    }
    if (::close(fd) != 0)
        return failure(errno, temporary);
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        return failure(errno, temporary);
    return std::nullopt;
}

} // namespace

Outcome replaceFileWhole(const std::string& path, std::string_view bytes) {
    return replaceFileWhole(path, std::vector<std::string>{std::string(bytes)});
}

Outcome notReplaceable(const std::string& path) {
    struct stat info {};
    if (path.find('\0') != std::string::npos || ::lstat(path.c_str(), &info) != 0)
        return std::nullopt;
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return Failure{"it is a device, not a regular file; only regular files are replaced"};
    if (S_ISFIFO(info.st_mode))
        return Failure{"it is a FIFO, not a regular file; only regular files are replaced"};
    if (S_ISSOCK(info.st_mode))
        return Failure{"it is a socket, not a regular file; only regular files are replaced"};
    return std::nullopt;
}

HeldTemporaryFile::HeldTemporaryFile(const std::string& target) {
    if (target.find('\0') != std::string::npos) {
        failure_ = Failure{"the path holds a NUL byte"};
        return;
    }
    mode_t mode = 0;
    const int fd = createTemporary(folderOf(target), path_, mode);
    if (fd < 0)
        failure_ = Failure{std::strerror(errno)};
    handle_ = fd;
}

HeldTemporaryFile::~HeldTemporaryFile() {
    if (handle_ >= 0)
        ::close(static_cast<int>(handle_));
}

Outcome replaceFileWhole(const std::string& path, const std::vector<std::string>& parts) {
    if (path.find('\0') != std::string::npos)
        return Failure{"the path holds a NUL byte"};
    if (Outcome refused = notReplaceable(path))
        return refused;
    const std::string folder = folderOf(path);
    removeLeftovers(folder);
    std::optional<mode_t> existingMode;
    if (alreadyHolds(path, parts, existingMode))
        return std::nullopt;
    std::string temporary;
    mode_t givenMode = 0;
    const int fd = createTemporary(folder, temporary, givenMode);
    if (fd < 0)
        return Failure{std::strerror(errno)};
    keepPermissions(fd, givenMode, existingMode);
    // The lock lasts while `held` is open: past the close that reports a late
    // write error, until the rename.
    const int held = ::dup(fd);
    Outcome written = fillAndRename(fd, temporary, path, parts);
    if (held >= 0)
        ::close(held);
    return written;
}

} // namespace travonix

#endif
