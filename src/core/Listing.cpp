#include "core/Listing.h"

#include "core/Text.h"

#include <algorithm>
#include <array>
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

enum ScanFlag : std::uint8_t { kDot = 1, kUnderscore = 2, kLessThan = 4, kY = 8 };

constexpr std::array<std::uint8_t, 256> scanFlags() {
    std::array<std::uint8_t, 256> table{};
    table[static_cast<unsigned char>('.')] = kDot;
    table[static_cast<unsigned char>('_')] = kUnderscore;
    table[static_cast<unsigned char>('<')] = kLessThan;
    table[static_cast<unsigned char>('y')] = kY;
    table[static_cast<unsigned char>('Y')] = kY;
    return table;
}

} // namespace

// One table look-up a character; a TAB (three a line) is the one branch.
LineScan scanLine(std::string_view text) {
    static constexpr std::array<std::uint8_t, 256> kFlags = scanFlags();
    std::uint8_t flags = 0;
    LineScan scan;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        flags |= kFlags[c];
        if (c == '\t') {
            if (scan.tabCount < 3)
                scan.tabs[scan.tabCount] = static_cast<std::uint32_t>(i);
            if (scan.tabCount < 4)
                ++scan.tabCount;
        }
    }
    scan.hasDot = (flags & kDot) != 0;
    scan.hasUnderscore = (flags & kUnderscore) != 0;
    scan.hasLessThan = (flags & kLessThan) != 0;
    scan.hasY = (flags & kY) != 0;
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
