#pragma once

#include <QtCore/QString>

#include <string>
#include <string_view>

namespace travonix {

// The steps work on the platform's 8-bit text (file names, listing lines);
// the widgets on QString. These two are the only crossing.
inline QString shown(std::string_view bytes) {
    return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline std::string bytesOf(const QString& text) {
    return text.toLocal8Bit().toStdString();
}

} // namespace travonix
