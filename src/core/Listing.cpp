#include "core/Listing.h"

#include "core/Text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace travonix {

std::uint32_t Listing::address(std::size_t index) const {
    return hexValue(text(index));
}

std::size_t Listing::fileLineNumber(std::size_t index) const {
    if (index >= lines_.size() || lines_[index].inEdits)
        return 0;
    const std::string_view before = fileText_.view().substr(0, lines_[index].textStart);
    std::size_t number = 1;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (before[i] == '\n')
            ++number;
        else if (before[i] == '\r' && (i + 1 >= before.size() || before[i + 1] != '\n'))
            ++number; // a lone CR ends a line as well
    }
    return number;
}

void Listing::doneWithLines(std::size_t first, std::size_t end) const {
    end = std::min(end, lines_.size());
    while (first < end && lines_[first].inEdits)
        ++first;
    while (end > first && lines_[end - 1].inEdits)
        --end;
    if (first >= end)
        return;
    // The file's lines are in the text's order: the range runs from the first
    // one's start to the last one's end.
    const ListingLine& last = lines_[end - 1];
    const std::size_t from = lines_[first].textStart;
    const std::size_t to = std::size_t{last.textStart} + last.textLength;
    if (to > from)
        fileText_.doneWith(from, to - from);
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
    for (std::size_t k = 0; k < count; ++k)
        out[k] = field(line, k);
    return count;
}

void Listing::setTabs(ListingLine& line, const std::uint32_t* tabs, std::uint8_t count) const {
    line.tabCount = count & 7U;
    for (std::uint8_t k = 0; k < count && k < 3; ++k)
        line.tabs[k] =
            static_cast<std::uint8_t>(std::min<std::uint32_t>(tabs[k], ListingLine::kFarTab));
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

namespace {

void noteTab(LineScan& scan, std::size_t at) {
    if (scan.tabCount < 3)
        scan.tabs[scan.tabCount] = static_cast<std::uint32_t>(at);
    if (scan.tabCount < 4)
        ++scan.tabCount;
}

// One table look-up a character; a TAB (three a line) is the one branch.
LineScan scanEachCharacter(std::string_view text) {
    static constexpr std::array<std::uint8_t, 256> kFlags = scanFlags();
    std::uint8_t flags = 0;
    LineScan scan;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        flags |= kFlags[c];
        if (c == '\t')
            noteTab(scan, i);
    }
    scan.hasDot = (flags & kDot) != 0;
    scan.hasUnderscore = (flags & kUnderscore) != 0;
    scan.hasLessThan = (flags & kLessThan) != 0;
    scan.hasY = (flags & kY) != 0;
    return scan;
}

} // namespace

#if defined(__SSE2__)
// Sixteen characters at a time where the processor has SSE2 (every x86-64
// does): every line of a listing passes here once. The last sixteen
// characters of a line are read again from the line's end, so nothing past
// the line is read; a TAB read twice is noted once.
LineScan scanLine(std::string_view text) {
    if (text.size() < 16)
        return scanEachCharacter(text);
    LineScan scan;
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i dot = _mm_set1_epi8('.');
    const __m128i underscore = _mm_set1_epi8('_');
    const __m128i lessThan = _mm_set1_epi8('<');
    const __m128i y = _mm_set1_epi8('y');
    const __m128i caseBit = _mm_set1_epi8(0x20);
    int dots = 0, underscores = 0, lessThans = 0, ys = 0;
    auto sixteen = [&](std::size_t at, unsigned seen) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + at));
        dots |= _mm_movemask_epi8(_mm_cmpeq_epi8(v, dot));
        underscores |= _mm_movemask_epi8(_mm_cmpeq_epi8(v, underscore));
        lessThans |= _mm_movemask_epi8(_mm_cmpeq_epi8(v, lessThan));
        ys |= _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_or_si128(v, caseBit), y)); // 'y' and 'Y'
        for (auto tabs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, tab))) & ~seen;
             tabs != 0 && scan.tabCount < 4; tabs &= tabs - 1)
            noteTab(scan, at + static_cast<std::size_t>(std::countr_zero(tabs)));
    };
    std::size_t i = 0;
    for (; i + 16 <= text.size(); i += 16)
        sixteen(i, 0);
    if (i < text.size()) {
        const std::size_t at = text.size() - 16;
        sixteen(at, (1U << (i - at)) - 1U);
    }
    scan.hasDot = dots != 0;
    scan.hasUnderscore = underscores != 0;
    scan.hasLessThan = lessThans != 0;
    scan.hasY = ys != 0;
    return scan;
}
#else
LineScan scanLine(std::string_view text) {
    return scanEachCharacter(text);
}
#endif

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
