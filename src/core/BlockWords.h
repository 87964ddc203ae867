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
    // At most four words, kept in place: a listing has a line per word.
    struct Words {
        std::string_view items[4];
        std::size_t count = 0;
        void push_back(std::string_view word) { items[count++] = word; }
        [[nodiscard]] const std::string_view* begin() const { return items; }
        [[nodiscard]] const std::string_view* end() const { return items + count; }
        [[nodiscard]] std::size_t size() const { return count; }
        [[nodiscard]] bool empty() const { return count == 0; }
        [[nodiscard]] std::string_view operator[](std::size_t i) const { return items[i]; }
    };
    Words words;
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
