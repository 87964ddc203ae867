#include "core/Clock.h"

#include <cstdio>

namespace travonix {

std::string formatDate(const LocalDateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", t.year, t.month, t.day);
    return buf;
}

std::string formatTime(const LocalDateTime& t) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buf;
}

} // namespace travonix
