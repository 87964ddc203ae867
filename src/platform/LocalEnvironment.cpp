#include "platform/LocalEnvironment.h"

#include "platform/FileReplace.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTimeZone>

#include <filesystem>

namespace travonix {

namespace {

QString qtPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

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

bool LocalEnvironment::fileExists(const std::string& path) {
    if (path.empty())
        return false;
    return QFileInfo(qtPath(path)).isFile();
}

// Into one string given the file's size as its room: a listing can be tens
// of megabytes, and a second copy of it would double the tool's peak memory.
// It is read a cache-sized piece at a time and appended, which writes the
// string's memory once; reading straight into it would first need it filled
// with zeros. A file that grows meanwhile is read to its end all the same.
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

std::string LocalEnvironment::writeWhole(const std::string& path, std::string_view bytes) {
    return replaceFileWhole(path, bytes);
}

std::string LocalEnvironment::writeWhole(const std::string& path,
                                         const std::vector<std::string>& parts) {
    return replaceFileWhole(path, parts);
}

std::string LocalEnvironment::replaceFile(const std::string& from, const std::string& to) {
    std::error_code ec;
    std::filesystem::rename(from, to, ec);
    return ec ? ec.message() : std::string();
}

void LocalEnvironment::removeFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

std::optional<std::string> LocalEnvironment::fileModifiedText(const std::string& path) {
    const QFileInfo info(qtPath(path));
    if (!info.isFile())
        return std::nullopt;
    const QDateTime modified = info.lastModified();
    if (!modified.isValid())
        return std::nullopt;
    return modified.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
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
