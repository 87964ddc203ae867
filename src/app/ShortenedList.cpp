#include "app/ShortenedList.h"

namespace travonix {

std::string shortenedList(std::string_view text, std::size_t shown) {
    constexpr std::string_view kBreak = "\r\n";
    // The list ends at the first empty line, or with the text.
    std::size_t listEnd = text.find("\r\n\r\n");
    listEnd = listEnd == std::string_view::npos ? text.size() : listEnd + kBreak.size();
    std::size_t lines = 0;
    std::size_t cut = std::string_view::npos; // where the line after the shown ones starts
    for (std::size_t at = 0; at < listEnd;) {
        const std::size_t end = text.find(kBreak, at);
        const std::size_t next = end == std::string_view::npos ? listEnd : end + kBreak.size();
        if (++lines == shown)
            cut = next;
        at = next;
    }
    if (lines <= shown + 1) // "and 1 more" would take the line it stands for
        return std::string(text);
    std::string result(text.substr(0, cut));
    result += " and " + std::to_string(lines - shown) + " more";
    result += kBreak;
    result += text.substr(listEnd);
    return result;
}

} // namespace travonix
