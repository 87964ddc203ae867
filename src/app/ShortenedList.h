#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace travonix {

// A box's text with a long list cut short: when the lines before the first
// empty line (the list of a completion message, one name a line) are more
// than `shown`, only the first `shown` stay, followed by " and N more"; the
// lines after the list stay as they are. Lines end in CR LF, as the steps
// write them. A text without such a list is returned unchanged.
[[nodiscard]] std::string shortenedList(std::string_view text, std::size_t shown = 20);

} // namespace travonix
