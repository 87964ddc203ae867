#include "platform/LocalEnvironment.h"

#include "platform/FileReplace.h"
#include "platform/MappedFile.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTimeZone>

#include <cerrno>
#include <ctime>
#include <filesystem>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace travonix {

namespace {

#ifdef _WIN32
QString qtPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
#else
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

LocalDateTime toLocalDateTime(const QDateTime& t) {
    const QDate d = t.date();
    const QTime h = t.time();
    return {d.year(), d.month(), d.day(), h.hour(), h.minute(), h.second()};
}

// SOURCE_DATE_EPOCH as seconds since 1970, when it is a plain decimal number.
std::optional<qint64> sourceDateEpoch() {
    const QByteArray text = qgetenv("SOURCE_DATE_EPOCH");
    if (text.isEmpty() || text.size() > 18)
        return std::nullopt;
    for (char c : text)
        if (c < '0' || c > '9')
            return std::nullopt;
    return text.toLongLong();
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
    struct tm local {};
    const time_t seconds = info.st_mtime;
    if (::localtime_r(&seconds, &local) == nullptr)
        return std::nullopt;
    char text[32];
    if (std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0)
        return std::nullopt;
    return std::string(text);
}

#else

bool LocalEnvironment::fileExists(const std::string& path) {
    if (path.empty())
        return false;
    return QFileInfo(qtPath(path)).isFile();
}

std::optional<std::string> LocalEnvironment::readFile(const std::string& path) {
    QFile file(qtPath(path));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return std::nullopt;
    std::string bytes;
    if (const qint64 size = file.size(); size > 0)
        bytes.reserve(static_cast<std::size_t>(size));
    char buffer[1 << 16];
    for (;;) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return bytes;
}

std::optional<std::string>
LocalEnvironment::readFilePart(const std::string& path, std::uint64_t offset, std::size_t length) {
    QFile file(qtPath(path));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) ||
        !file.seek(static_cast<qint64>(offset)))
        return std::nullopt;
    const QByteArray bytes = file.read(static_cast<qint64>(length));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
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
    if (auto seconds = sourceDateEpoch()) {
        const QDateTime pinned = QDateTime::fromSecsSinceEpoch(*seconds, QTimeZone::utc());
        if (pinned.isValid())
            return toLocalDateTime(pinned);
    }
    return toLocalDateTime(QDateTime::currentDateTime());
}

std::string LocalEnvironment::userName() {
    for (const char* name : {"USERNAME", "USER"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty())
            return value.toStdString();
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
