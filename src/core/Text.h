#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace travonix {

// Text rules shared by the reader, the rewriting and generation. Trimming
// removes blanks only: a TAB is part of the listing's structure.
// Inline: every line of a listing passes here, some several times.
[[nodiscard]] inline std::string_view trimBlanks(std::string_view text) {
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && text[first] == ' ')
        ++first;
    while (last > first && text[last - 1] == ' ')
        --last;
    // An all-blank text gives an empty view at its end, still into the text.
    return text.substr(first == last ? text.size() : first, last - first);
}

[[nodiscard]] inline char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
[[nodiscard]] inline char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
[[nodiscard]] std::string toLowerAscii(std::string_view text);
[[nodiscard]] std::string toUpperAscii(std::string_view text);

// Substring tests on listing lines ignore letter case.
[[nodiscard]] bool containsNoCase(std::string_view text, std::string_view part);
// Position of `part` in `text`, letter case ignored, or npos.
[[nodiscard]] std::size_t findNoCase(std::string_view text, std::string_view part);

// A text looked for in many lines, letter case ignored: made once, so each
// search starts from the part's rarest character at once.
class NoCaseNeedle {
  public:
    explicit NoCaseNeedle(std::string_view part);
    [[nodiscard]] std::size_t findIn(std::string_view text) const;
    [[nodiscard]] bool isIn(std::string_view text) const {
        return findIn(text) != std::string_view::npos;
    }

  private:
    std::string_view part_; // a literal: it outlives the needle
    std::size_t anchor_;
};
[[nodiscard]] bool equalsNoCase(std::string_view a, std::string_view b);

// The hexadecimal digits at the start of a field (at most eight) as an
// unsigned 32-bit value; 0 when the field starts with no digit.
[[nodiscard]] std::uint32_t hexValue(std::string_view field);

// The value of each hexadecimal digit, -1 for any other character: every
// address and word of a listing goes through here.
inline constexpr std::array<std::int8_t, 256> kHexDigits = [] {
    std::array<std::int8_t, 256> table{};
    table.fill(-1);
    for (int c = '0'; c <= '9'; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c)
        table[static_cast<std::size_t>(c)] = static_cast<std::int8_t>(c - 'A' + 10);
    return table;
}();

[[nodiscard]] inline int hexDigit(char c) {
    return kHexDigits[static_cast<unsigned char>(c)];
}

// Hexadecimal digits (1 to 8, nothing else) as a 32-bit value.
[[nodiscard]] inline std::optional<std::uint32_t> parseHex(std::string_view text) {
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        const int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return value;
}

// Upper-case hexadecimal without leading zeros ("9D000014"), as filler lines
// carry their addresses.
[[nodiscard]] std::string hexUpper(std::uint32_t value);
// Upper-case hexadecimal padded with "0" to `width` digits.
// Eight lower-case hexadecimal digits, as objdump writes an address.
[[nodiscard]] std::string lowerHex8(std::uint32_t value);
[[nodiscard]] std::string hexUpperPadded(std::uint32_t value, int width);

// Split at every TAB, into at most `maxFields` fields; the last field keeps
// the rest of the text, TABs included.
[[nodiscard]] std::vector<std::string_view> splitTabs(std::string_view text, std::size_t maxFields);

// The text without every "_": the name a CFunction line carries.
[[nodiscard]] std::string withoutUnderscores(std::string_view name);

// The lines of a file's text, with the line ends of forEachLine.
[[nodiscard]] std::vector<std::string_view> splitLines(std::string_view text);

// The first line end ('\n' or '\r') at or after `i`, or `n`: eight
// characters at a time, since a listing is tens of megabytes of short lines.
[[nodiscard]] inline std::size_t nextLineEnd(const char* data, std::size_t i, std::size_t n) {
    if constexpr (std::endian::native == std::endian::little) {
        constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
        constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
        for (; i + 8 <= n; i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, data + i, 8);
            const std::uint64_t lf = word ^ (kOnes * '\n');
            const std::uint64_t cr = word ^ (kOnes * '\r');
            // A byte that was a line end is now zero; the lowest flag found
            // is always a true one.
            const std::uint64_t ends =
                ((lf - kOnes) & ~lf & kHighs) | ((cr - kOnes) & ~cr & kHighs);
            if (ends != 0)
                return i + static_cast<std::size_t>(std::countr_zero(ends)) / 8;
        }
    }
    while (i < n && data[i] != '\n' && data[i] != '\r')
        ++i;
    return i;
}

// Calls `onLine` with each line of a file's text: CR LF, LF and a lone CR all
// end a line. A final line without a line end counts; a text that ends with a
// line end has no empty line after it.
template <typename OnLine> void forEachLine(std::string_view text, OnLine&& onLine) {
    const std::size_t n = text.size();
    const char* data = text.data();
    std::size_t start = 0;
    for (std::size_t i = nextLineEnd(data, 0, n); i < n; i = nextLineEnd(data, start, n)) {
        onLine(start, i - start);
        if (data[i] == '\r' && i + 1 < n && data[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        onLine(start, n - start);
}

} // namespace travonix
