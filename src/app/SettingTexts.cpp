#include "app/SettingTexts.h"

#include "core/Text.h"

#include <charconv>

namespace travonix {

namespace {

bool isDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips a run of decimal digits; returns how many there were.
std::size_t skipDigits(std::string_view text, std::size_t& pos) {
    std::size_t start = pos;
    while (pos < text.size() && isDecimalDigit(text[pos]))
        ++pos;
    return pos - start;
}

// A decimal number as the settings functions wrote it or a user typed it:
// optional sign, digits with an optional decimal point, optional exponent
// ("1", "-1", "1.5", ".5", "2e3"). Returns whether it is zero.
std::optional<bool> decimalIsZero(std::string_view text) {
    std::size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        ++pos;
    std::size_t mantissaStart = pos;
    std::size_t digits = skipDigits(text, pos);
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        digits += skipDigits(text, pos);
    }
    if (digits == 0)
        return std::nullopt;
    std::string_view mantissa = text.substr(mantissaStart, pos - mantissaStart);
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            ++pos;
        if (skipDigits(text, pos) == 0)
            return std::nullopt;
    }
    if (pos != text.size())
        return std::nullopt;
    // The exponent cannot make a non-zero mantissa zero, nor the reverse.
    return mantissa.find_first_not_of("0.") == std::string_view::npos;
}

// "&H1F" (hexadecimal) and "&O17" (octal) literals, which the conversion
// also accepts. Returns whether the value is zero.
std::optional<bool> prefixedIsZero(std::string_view text) {
    if (text.size() < 3 || text[0] != '&')
        return std::nullopt;
    std::string_view digits = text.substr(2);
    const char kind = upperAscii(text[1]);
    const char* allowed = kind == 'H' ? "0123456789abcdefABCDEF" : kind == 'O' ? "01234567" : "";
    if (*allowed == '\0' || digits.find_first_not_of(allowed) != std::string_view::npos)
        return std::nullopt;
    return digits.find_first_not_of('0') == std::string_view::npos;
}

std::optional<long long> parseInteger(std::string_view text) {
    std::string_view t = trimBlanks(text);
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    long long value = 0;
    const char* first = t.data();
    const char* last = t.data() + t.size();
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (t.empty() || ec != std::errc() || ptr != last)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<bool> textToBool(std::string_view text) {
    const std::string_view t = trimBlanks(text);
    if (equalsNoCase(t, "true"))
        return true;
    if (equalsNoCase(t, "false"))
        return false;
    std::optional<bool> isZero = decimalIsZero(t);
    if (!isZero)
        isZero = prefixedIsZero(t);
    if (!isZero)
        return std::nullopt;
    return !*isZero;
}

std::optional<int> textToCheckState(std::string_view text) {
    auto number = parseInteger(text);
    if (!number || *number < 0 || *number > 2)
        return std::nullopt;
    return static_cast<int>(*number);
}

std::string boolToText(bool value) {
    return value ? "True" : "False";
}

} // namespace travonix
