#include "platform/TemporaryName.h"

#include <atomic>
#include <cstdio>
#include <random>

namespace travonix {

namespace {

constexpr std::string_view kHead = ".travonix-";
constexpr std::string_view kTail = ".tmp";
constexpr std::size_t kDigits = 8;

bool isLowerHexDigit(wchar_t c) {
    return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f');
}

template <typename Char>
bool holdsAt(std::basic_string_view<Char> name, std::size_t at, std::string_view text) {
    for (std::size_t k = 0; k < text.size(); ++k)
        if (name[at + k] != static_cast<Char>(text[k]))
            return false;
    return true;
}

template <typename Char> bool matchesTemporaryName(std::basic_string_view<Char> name) {
    if (name.size() != kHead.size() + kDigits + kTail.size())
        return false;
    for (std::size_t k = 0; k < kDigits; ++k)
        if (!isLowerHexDigit(static_cast<wchar_t>(name[kHead.size() + k])))
            return false;
    return holdsAt(name, 0, kHead) && holdsAt(name, kHead.size() + kDigits, kTail);
}

} // namespace

// Consecutive names differ in many digits, and processes start at random
// places, so two writers rarely try the same name.
std::string newTemporaryName() {
    static std::atomic<unsigned> counter{std::random_device{}()};
    char digits[kDigits + 1];
    std::snprintf(digits, sizeof digits, "%08x", counter.fetch_add(0x9e3779b9U));
    return std::string(kHead) + digits + std::string(kTail);
}

bool isTemporaryName(std::string_view name) {
    return matchesTemporaryName(name);
}

bool isTemporaryName(std::wstring_view name) {
    return matchesTemporaryName(name);
}

} // namespace travonix
