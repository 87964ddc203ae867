#ifndef _WIN32

#include "platform/MappedFile.h"

#include <algorithm>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace travonix {

namespace {

class Mapping : public ListingText::Holder {
  public:
    Mapping(void* start, std::size_t size) : start_(start), size_(size) {}
    ~Mapping() override { ::munmap(start_, size_); }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;

    // The whole pages inside the range leave the process; the file cache
    // keeps them, and a later read maps them again, unchanged: the mapping
    // is private and never written.
    void doneWith(std::size_t offset, std::size_t length) const override {
        const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
        if (page == 0 || offset >= size_)
            return;
        const std::size_t from = (offset + page - 1) / page * page;
        const std::size_t to = std::min(offset + length, size_) / page * page;
        if (to > from)
            (void)::madvise(static_cast<char*>(start_) + from, to - from, MADV_DONTNEED);
    }

  private:
    void* start_;
    std::size_t size_;
};

} // namespace

std::optional<ListingText> mapFileReadOnly(const std::string& path) {
    if (path.find('\0') != std::string::npos)
        return std::nullopt;
    // Without blocking, so a FIFO under the name cannot hang the run.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) {
        ::close(fd);
        return std::nullopt;
    }
    const auto size = static_cast<std::size_t>(info.st_size);
    int flags = MAP_PRIVATE;
#ifdef MAP_POPULATE
    // Every page is read by the reader straight away: mapped in one call
    // instead of a fault every few pages.
    flags |= MAP_POPULATE;
#endif
    void* start = ::mmap(nullptr, size, PROT_READ, flags, fd, 0);
    ::close(fd); // the mapping keeps the file
    if (start == MAP_FAILED)
        return std::nullopt;
    auto mapping = std::make_shared<const Mapping>(start, size);
    return ListingText(std::string_view(static_cast<const char*>(start), size), std::move(mapping));
}

} // namespace travonix

#endif
