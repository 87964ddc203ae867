#include "platform/LocalEnvironment.h"

#include "platform/FileReplace.h"
#include "platform/MappedFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <filesystem>

#ifdef _WIN32
#include "platform/WidePath.h"

#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace travonix {

namespace {

#ifdef _WIN32
// Opened for reading, sharing every access, so that a file another program
// holds open (an IDE, the disassembler) is still read.
HANDLE openForReading(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return INVALID_HANDLE_VALUE;
    return CreateFileW(widePath(path).c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Up to `length` bytes from where the file stands, fewer at its end.
bool readInto(HANDLE file, std::string& bytes, std::size_t length) {
    char buffer[1 << 16];
    while (length > 0) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(length, sizeof buffer));
        if (!ReadFile(file, buffer, want, &got, nullptr))
            return false;
        if (got == 0)
            break;
        bytes.append(buffer, got);
        length -= got;
    }
    return true;
}

bool localTime(std::time_t seconds, std::tm& out) {
    return localtime_s(&out, &seconds) == 0;
}

bool utcTime(std::time_t seconds, std::tm& out) {
    return gmtime_s(&out, &seconds) == 0;
}
#else
bool localTime(std::time_t seconds, std::tm& out) {
    return ::localtime_r(&seconds, &out) != nullptr;
}

bool utcTime(std::time_t seconds, std::tm& out) {
    return ::gmtime_r(&seconds, &out) != nullptr;
}

std::optional<std::string> readOpenFile(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode))
        return std::nullopt;
    std::string bytes;
    if (S_ISREG(info.st_mode) && info.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}
#endif

LocalDateTime toLocalDateTime(const std::tm& t) {
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}

// SOURCE_DATE_EPOCH as seconds since 1970, when it is a plain decimal number.
std::optional<long long> sourceDateEpoch() {
    const char* value = std::getenv("SOURCE_DATE_EPOCH");
    const std::string text = value != nullptr ? value : "";
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9')
            return std::nullopt;
    return std::stoll(text);
}

} // namespace

#ifndef _WIN32

// On POSIX a path is bytes, whatever the locale: a name in Latin-1 must be
// found as it was given, as the output folder and the names already are.
bool LocalEnvironment::fileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && path.find('\0') == std::string::npos &&
           ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Into one string given the file's size as its room: a listing can be tens
// of megabytes, and a second copy of it would double the tool's peak memory.
// It is read a cache-sized piece at a time and appended, which writes the
// string's memory once; reading straight into it would first need it filled
// with zeros. A file that grows meanwhile is read to its end all the same.
// Opened without blocking, so a FIFO under the name cannot hang the run.
std::optional<std::string> LocalEnvironment::readFile(const std::string& path) {
    if (path.find('\0') != std::string::npos)
        return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::optional<std::string> bytes = readOpenFile(fd);
    ::close(fd);
    return bytes;
}

std::optional<std::string>
LocalEnvironment::readFilePart(const std::string& path, std::uint64_t offset, std::size_t length) {
    if (path.find('\0') != std::string::npos)
        return std::nullopt;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    std::string bytes(length, '\0');
    std::size_t filled = 0;
    while (filled < length) {
        const ssize_t got = ::pread(fd, bytes.data() + filled, length - filled,
                                    static_cast<off_t>(offset + filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    ::close(fd);
    bytes.resize(filled);
    return bytes;
}

std::optional<std::string> LocalEnvironment::fileModifiedText(const std::string& path) {
    struct stat info {};
    if (path.empty() || path.find('\0') != std::string::npos || ::stat(path.c_str(), &info) != 0 ||
        !S_ISREG(info.st_mode))
        return std::nullopt;
    std::tm local{};
    if (!localTime(info.st_mtime, local))
        return std::nullopt;
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0)
        return std::nullopt;
    return std::string(text);
}

#else

bool LocalEnvironment::fileExists(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return false;
    const DWORD attributes = GetFileAttributesW(widePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

std::optional<std::string> LocalEnvironment::readFile(const std::string& path) {
    const HANDLE file = openForReading(path);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    std::string bytes;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0)
        bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    const bool read = readInto(file, bytes, static_cast<std::size_t>(-1));
    CloseHandle(file);
    if (!read)
        return std::nullopt;
    return bytes;
}

std::optional<std::string>
LocalEnvironment::readFilePart(const std::string& path, std::uint64_t offset, std::size_t length) {
    const HANDLE file = openForReading(path);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    std::string bytes;
    const bool read =
        SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && readInto(file, bytes, length);
    CloseHandle(file);
    if (!read)
        return std::nullopt;
    return bytes;
}

std::optional<std::string> LocalEnvironment::fileModifiedText(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || path.find('\0') != std::string::npos ||
        !GetFileAttributesExW(widePath(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
        return std::nullopt;
    // FILETIME counts 100 ns from 1601; the C library's time from 1970.
    const ULONGLONG ticks = (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                            data.ftLastWriteTime.dwLowDateTime;
    constexpr ULONGLONG kTicksPerSecond = 10000000ULL;
    constexpr ULONGLONG kSecondsTo1970 = 11644473600ULL;
    if (ticks / kTicksPerSecond < kSecondsTo1970)
        return std::nullopt;
    std::tm local{};
    if (!localTime(static_cast<std::time_t>(ticks / kTicksPerSecond - kSecondsTo1970), local))
        return std::nullopt;
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0)
        return std::nullopt;
    return std::string(text);
}

#endif

std::optional<ListingText> LocalEnvironment::readListingText(const std::string& path) {
    if (std::optional<ListingText> mapped = mapFileReadOnly(path))
        return mapped;
    return Environment::readListingText(path);
}

Outcome LocalEnvironment::writeWhole(const std::string& path, std::string_view bytes) {
    return replaceFileWhole(path, bytes);
}

Outcome LocalEnvironment::writeWhole(const std::string& path,
                                     const std::vector<std::string>& parts) {
    return replaceFileWhole(path, parts);
}

Outcome LocalEnvironment::replaceFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    if (ec)
        return Failure{ec.message()};
    return std::nullopt;
}

void LocalEnvironment::removeFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

namespace {

class LocalHeldFile : public Environment::HeldFile {
  public:
    explicit LocalHeldFile(const std::string& beside) : file_(beside) {}
    [[nodiscard]] const std::string& path() const override { return file_.path(); }
    [[nodiscard]] const HeldTemporaryFile& file() const { return file_; }

  private:
    HeldTemporaryFile file_;
};

} // namespace

Result<std::unique_ptr<Environment::HeldFile>>
LocalEnvironment::createFileBeside(const std::string& path) {
    auto held = std::make_unique<LocalHeldFile>(path);
    if (const Outcome& failed = held->file().failure())
        return *failed;
    return std::unique_ptr<HeldFile>(std::move(held));
}

Outcome LocalEnvironment::notReplaceable(const std::string& path) {
    return travonix::notReplaceable(path);
}

LocalDateTime LocalEnvironment::now() {
    std::tm parts{};
    if (auto seconds = sourceDateEpoch())
        if (utcTime(static_cast<std::time_t>(*seconds), parts))
            return toLocalDateTime(parts);
    if (!localTime(std::time(nullptr), parts))
        return {};
    return toLocalDateTime(parts);
}

std::string LocalEnvironment::userName() {
    for (const char* name : {"USERNAME", "USER"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return value;
    }
    return {};
}

std::string LocalEnvironment::pathSeparator() {
#ifdef _WIN32
    return "\\";
#else
    return "/";
#endif
}

} // namespace travonix
