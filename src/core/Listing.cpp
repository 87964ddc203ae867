#include "core/Listing.h"

#include "core/Text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace travonix {

std::uint32_t Listing::address(std::size_t index) const {
    return hexValue(text(index));
}

std::string_view Listing::fieldFoundAgain(const ListingLine& line, std::size_t which) const {
    const std::string_view all = text(line);
    if (which > line.tabCount || which > 3)
        return {};
    std::size_t tabs[3] = {0, 0, 0};
    std::size_t from = 0;
    for (std::size_t k = 0; k < line.tabCount && k < 3; ++k) {
        tabs[k] = all.find('\t', from);
        from = tabs[k] + 1;
    }
    const std::size_t start = which == 0 ? 0 : tabs[which - 1] + 1;
    std::size_t end = all.size();
    if (which < 3 && which < line.tabCount)
        end = tabs[which];
    return all.substr(start, end - start);
}

std::size_t Listing::fields(const ListingLine& line, std::array<std::string_view, 4>& out) const {
    const std::size_t count = std::min<std::size_t>(line.tabCount, 3) + 1;
    if (line.tabsFar) {
        for (std::size_t k = 0; k < count; ++k)
            out[k] = field(line, k);
        return count;
    }
    const std::string_view all = text(line);
    std::size_t start = 0;
    for (std::size_t k = 0; k + 1 < count; ++k) {
        out[k] = all.substr(start, line.tabs[k] - start);
        start = std::size_t{line.tabs[k]} + 1;
    }
    out[count - 1] = all.substr(start);
    return count;
}

void Listing::setTabs(ListingLine& line, const std::uint32_t* tabs, std::uint8_t count) const {
    line.tabCount = count;
    line.tabsFar = false;
    for (std::uint8_t k = 0; k < count && k < 3; ++k) {
        if (tabs[k] > 255)
            line.tabsFar = true;
        line.tabs[k] = static_cast<std::uint8_t>(tabs[k]);
    }
}

void Listing::findTabs(ListingLine& line) const {
    const LineScan scan = scanLine(text(line));
    setTabs(line, scan.tabs, scan.tabCount);
}

void Listing::addFileLine(std::size_t start, std::size_t length, LineKind kind) {
    ListingLine line;
    line.textStart = static_cast<std::uint32_t>(start);
    line.textLength = static_cast<std::uint32_t>(length);
    line.kind = kind;
    findTabs(line);
    lines_.push_back(line);
}

void Listing::addFileLine(std::size_t start, std::size_t length, LineKind kind,
                          const LineScan& scan) {
    ListingLine line;
    line.textStart = static_cast<std::uint32_t>(start);
    line.textLength = static_cast<std::uint32_t>(length);
    line.kind = kind;
    setTabs(line, scan.tabs, scan.tabCount);
    lines_.push_back(line);
}

// Only room worth the copy is given back: copying a large listing's records
// for a few unused ones would cost more than it frees.
void Listing::shrinkToFit() {
    if (lines_.capacity() - lines_.size() > lines_.size() / 8)
        lines_.shrink_to_fit();
    if (edits_.capacity() - edits_.size() > edits_.size() / 8)
        edits_.shrink_to_fit();
}

namespace {

constexpr std::uint64_t kEveryByte = 0x0101010101010101ULL;
constexpr std::uint64_t kLowSeven = 0x7F7F7F7F7F7F7F7FULL;

// The high bit of each byte of `word` that is zero, and of no other.
std::uint64_t zeroBytes(std::uint64_t word) {
    return ~(((word & kLowSeven) + kLowSeven) | word | kLowSeven);
}

// The high bit of each byte of `word` that is `c`.
std::uint64_t bytesEqual(std::uint64_t word, char c) {
    return zeroBytes(word ^ (kEveryByte * static_cast<unsigned char>(c)));
}

void noteTab(LineScan& scan, std::size_t at) {
    if (scan.tabCount < 3)
        scan.tabs[scan.tabCount] = static_cast<std::uint32_t>(at);
    if (scan.tabCount < 4)
        ++scan.tabCount;
}

void noteCharacter(LineScan& scan, char c, std::size_t at) {
    if (c == '\t')
        noteTab(scan, at);
    scan.hasDot = scan.hasDot || c == '.';
    scan.hasUnderscore = scan.hasUnderscore || c == '_';
    scan.hasLessThan = scan.hasLessThan || c == '<';
    scan.hasY = scan.hasY || c == 'y' || c == 'Y';
}

} // namespace

// Eight characters at a time: every line of a listing passes here once.
LineScan scanLine(std::string_view text) {
    LineScan scan;
    const char* data = text.data();
    const std::size_t n = text.size();
    std::size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::uint64_t dots = 0, underscores = 0, lessThans = 0, ys = 0;
        for (; i + 8 <= n; i += 8) {
            std::uint64_t word = 0;
            std::memcpy(&word, data + i, 8);
            dots |= bytesEqual(word, '.');
            underscores |= bytesEqual(word, '_');
            lessThans |= bytesEqual(word, '<');
            ys |= bytesEqual(word | (kEveryByte * 0x20), 'y'); // 'y' and 'Y' alike
            for (std::uint64_t tabs = bytesEqual(word, '\t'); tabs != 0 && scan.tabCount < 4;
                 tabs &= tabs - 1)
                noteTab(scan, i + static_cast<std::size_t>(std::countr_zero(tabs)) / 8);
        }
        scan.hasDot = dots != 0;
        scan.hasUnderscore = underscores != 0;
        scan.hasLessThan = lessThans != 0;
        scan.hasY = ys != 0;
    }
    for (; i < n; ++i)
        noteCharacter(scan, data[i], i);
    return scan;
}

void Listing::addMadeLine(std::string_view text, LineKind kind) {
    ListingLine line;
    line.textStart = static_cast<std::uint32_t>(edits_.size());
    line.textLength = static_cast<std::uint32_t>(text.size());
    line.inEdits = true;
    line.kind = kind;
    edits_.append(text);
    findTabs(line);
    lines_.push_back(line);
}

void Listing::replaceText(std::size_t index, std::string_view text) {
    ListingLine& line = lines_[index];
    line.textStart = static_cast<std::uint32_t>(edits_.size());
    line.textLength = static_cast<std::uint32_t>(text.size());
    line.inEdits = true;
    edits_.append(text);
    findTabs(line);
}

std::optional<std::string_view> headerNameOf(std::string_view text) {
    if (!isHeaderText(text))
        return std::nullopt;
    const std::size_t open = text.find(" <");
    if (open == std::string_view::npos)
        return std::nullopt;
    const std::string_view rest = text.substr(open + 2);
    return rest.substr(0, rest.find(">:"));
}

} // namespace travonix
