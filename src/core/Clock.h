#pragma once

#include <string>

namespace travonix {

// A moment in local time, as the stamps and reports write it.
struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "YYYY-MM-DD" and "HH:MM:SS".
[[nodiscard]] std::string formatDate(const LocalDateTime& t);
[[nodiscard]] std::string formatTime(const LocalDateTime& t);

} // namespace travonix
