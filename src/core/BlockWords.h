#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace travonix {

// Lines longer than this are instruction lines with a long symbol name; their
// words are taken differently (see takeLineWords).
inline constexpr std::size_t kLongLineLength = 100;

// The machine words one body line of the listing carries, as text.
struct LineWords {
    std::vector<std::string_view> words;
    bool fromLongLine = false; // words of long lines never open a word line with a TAB
};

// A short line gives the first eight characters of its second TAB field (no
// word without one). A long line gives, of the text between its first and its
// second TAB split at every blank, each of the first four fields that is
// exactly eight characters long. Stopping at the second TAB keeps the word of a
// rewritten branch to a long symbol, whose word is followed by a TAB rather
// than a blank. Words are views into `line`, never converted.
[[nodiscard]] LineWords takeLineWords(std::string_view line);

} // namespace travonix
