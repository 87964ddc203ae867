#include "core/Text.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace travonix {

std::string toLowerAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), lowerAscii);
    return out;
}

std::string toUpperAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), upperAscii);
    return out;
}

namespace {

// The first place at or after `from` where `a` or `b` occurs, or `end`.
const char* findEither(const char* from, const char* end, char a, char b) {
    const auto n = static_cast<std::size_t>(end - from);
    const auto* pa = static_cast<const char*>(std::memchr(from, a, n));
    if (a == b)
        return pa != nullptr ? pa : end;
    const std::size_t limit = pa != nullptr ? static_cast<std::size_t>(pa - from) : n;
    const auto* pb = static_cast<const char*>(std::memchr(from, b, limit));
    if (pb != nullptr)
        return pb;
    return pa != nullptr ? pa : end;
}

} // namespace

namespace {

// The character of `part` to look for first: listings are full of hexadecimal
// digits, so a character that is rarely there finds few false starts.
std::size_t anchorOf(std::string_view part) {
    constexpr std::string_view kRare = "yqjzkvwg_<>.:";
    for (char rare : kRare)
        for (std::size_t i = 0; i < part.size(); ++i)
            if (lowerAscii(part[i]) == rare)
                return i;
    for (std::size_t i = 0; i < part.size(); ++i)
        if (std::string_view("0123456789abcdef ").find(lowerAscii(part[i])) ==
            std::string_view::npos)
            return i;
    return 0;
}

} // namespace

NoCaseNeedle::NoCaseNeedle(std::string_view part)
    : part_(part), anchor_(part.empty() ? 0 : anchorOf(part)) {}

// Every listing line is searched several times while it is read, so a rare
// character of the part is looked for with memchr rather than byte by byte.
std::size_t NoCaseNeedle::findIn(std::string_view text) const {
    if (part_.empty())
        return 0;
    if (part_.size() > text.size())
        return std::string_view::npos;
    const char lower = lowerAscii(part_[anchor_]);
    const char upper = upperAscii(part_[anchor_]);
    const char* begin = text.data();
    // The anchor can only lie where the whole part still fits around it.
    const char* first = begin + anchor_;
    const char* end = begin + (text.size() - part_.size()) + anchor_ + 1;
    for (const char* at = findEither(first, end, lower, upper); at != end;
         at = findEither(at + 1, end, lower, upper)) {
        const char* start = at - anchor_;
        if (equalsNoCase(std::string_view(start, part_.size()), part_))
            return static_cast<std::size_t>(start - begin);
    }
    return std::string_view::npos;
}

std::size_t findNoCase(std::string_view text, std::string_view part) {
    return NoCaseNeedle(part).findIn(text);
}

bool containsNoCase(std::string_view text, std::string_view part) {
    return findNoCase(text, part) != std::string_view::npos;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

std::uint32_t hexValue(std::string_view field) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < field.size() && i < 8; ++i) {
        const int d = hexDigit(field[i]);
        if (d < 0)
            break;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return value;
}

std::string hexUpper(std::uint32_t value) {
    static const char* digits = "0123456789ABCDEF";
    char buffer[8];
    std::size_t n = 0;
    do {
        buffer[n++] = digits[value & 0xF];
        value >>= 4;
    } while (value != 0);
    std::string out(n, '0');
    for (std::size_t i = 0; i < n; ++i)
        out[i] = buffer[n - 1 - i];
    return out;
}

std::string hexUpperPadded(std::uint32_t value, int width) {
    std::string out = hexUpper(value);
    if (static_cast<int>(out.size()) < width)
        out.insert(0, static_cast<std::size_t>(width) - out.size(), '0');
    return out;
}

std::vector<std::string_view> splitTabs(std::string_view text, std::size_t maxFields) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (fields.size() + 1 < maxFields) {
        const std::size_t tab = text.find('\t', start);
        if (tab == std::string_view::npos)
            break;
        fields.push_back(text.substr(start, tab - start));
        start = tab + 1;
    }
    fields.push_back(text.substr(start));
    return fields;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    forEachLine(text, [&](std::size_t start, std::size_t length) {
        lines.push_back(text.substr(start, length));
    });
    return lines;
}

std::string withoutUnderscores(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name)
        if (c != '_')
            out += c;
    return out;
}

std::string lowerHex8(std::uint32_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i, value >>= 4)
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
    return text;
}

} // namespace travonix
