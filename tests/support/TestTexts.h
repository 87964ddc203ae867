#pragma once

#include <string>
#include <vector>

namespace travonix::test {

// Texts as the fake environment's clock (2026-12-10 09:05:07) and user
// ("tester") make them.
inline std::string stampLine(const std::string& name, bool data = false) {
    return "'" + std::string(data ? "DATA CFunction:" : "") + name +
           "  2026-12-10 09:05:07 Travonix Ver 1.0.21 by user=tester";
}

// The head of a block outside merge mode, up to and including the entry word.
inline std::string blockHead(const std::string& name, const std::string& cfunctionName,
                             bool data = false) {
    return "'\r\n" + stampLine(name, data) + "\r\n'\r\nCFunction " + cfunctionName +
           "\r\n\t00000000\r\n";
}

// Each word followed by one blank.
inline std::string wordRun(const std::vector<std::string>& words) {
    std::string out;
    for (const std::string& w : words)
        out += w + " ";
    return out;
}

inline std::vector<std::string> slice(const std::vector<std::string>& words, std::size_t from,
                                      std::size_t count) {
    return {words.begin() + static_cast<long>(from),
            words.begin() + static_cast<long>(from + count)};
}

} // namespace travonix::test
