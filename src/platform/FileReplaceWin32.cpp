#ifdef _WIN32

#include "platform/FileReplace.h"

#include <QByteArray>
#include <QFile>
#include <QSaveFile>

namespace travonix {

std::string replaceFileWhole(const std::string& path, std::string_view bytes) {
    return replaceFileWhole(path, std::vector<std::string>{std::string(bytes)});
}

std::string replaceFileWhole(const std::string& path, const std::vector<std::string>& parts) {
    if (path.find('\0') != std::string::npos)
        return "the path holds a NUL byte";
    QSaveFile file(QFile::decodeName(QByteArray::fromStdString(path)));
    // Writing in place would leave half a file behind a failure.
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString().toStdString();
    for (const std::string& part : parts) {
        const auto size = static_cast<qint64>(part.size());
        if (file.write(part.data(), size) != size) {
            std::string reason = file.errorString().toStdString();
            file.cancelWriting();
            return reason;
        }
    }
    if (!file.flush()) {
        std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString().toStdString();
    return {};
}

} // namespace travonix

#endif
