#include "check/ImageExtent.h"

#include "check/InstructionLine.h"
#include "core/Text.h"

#include <algorithm>
#include <optional>

namespace travonix::check {

namespace {

constexpr std::string_view kSectionHeader = "Disassembly of section ";
// .reginfo holds the general register mask, four coprocessor masks and then
// the value of $gp.
constexpr std::uint32_t kReginfoGpOffset = 20;

std::optional<ImageSymbol> headerSymbol(std::string_view line) {
    if (line.size() < 4 || line.substr(line.size() - 2) != ">:")
        return std::nullopt;
    std::size_t open = line.find(" <");
    if (open == std::string_view::npos)
        return std::nullopt;
    auto address = parseHex(line.substr(0, open));
    if (!address)
        return std::nullopt;
    return ImageSymbol{*address, std::string(line.substr(open + 2, line.size() - open - 4))};
}

bool isLineEnd(char c) {
    return c == '\n' || c == '\r';
}

// The line around position `at`, without its line end and blanks.
std::string_view lineAround(std::string_view text, std::size_t at) {
    std::size_t start = at;
    while (start > 0 && !isLineEnd(text[start - 1]))
        --start;
    std::size_t end = at;
    while (end < text.size() && !isLineEnd(text[end]))
        ++end;
    return trimBlanks(text.substr(start, end - start));
}

// The start of the line after the one holding `at`.
std::size_t nextLineStart(std::string_view text, std::size_t at) {
    while (at < text.size() && !isLineEnd(text[at]))
        ++at;
    if (at < text.size() && text[at] == '\r')
        ++at;
    if (at < text.size() && text[at] == '\n')
        ++at;
    return at;
}

// A section's lines: from the line after its "Disassembly of section" line
// up to the next one.
struct SectionText {
    std::string_view name;
    std::string_view body;
};

std::vector<SectionText> sectionTexts(std::string_view listing) {
    std::vector<SectionText> sections;
    std::size_t headerStart = 0;
    for (std::size_t at = listing.find(kSectionHeader); at != std::string_view::npos;
         at = listing.find(kSectionHeader, at + 1)) {
        const std::string_view line = lineAround(listing, at);
        // The words start the line, and a name follows them (the blank
        // after "section" alone names nothing).
        if (line.data() != listing.data() + at || line.size() <= kSectionHeader.size())
            continue;
        if (!sections.empty())
            sections.back().body = listing.substr(headerStart, at - headerStart);
        std::string_view name = line.substr(kSectionHeader.size());
        if (!name.empty() && name.back() == ':')
            name.remove_suffix(1);
        headerStart = nextLineStart(listing, at);
        sections.push_back({name, {}});
    }
    if (!sections.empty())
        sections.back().body = listing.substr(headerStart);
    return sections;
}

// The address range a line covers: a header line its address, a word line
// its address to the end of its word.
std::optional<std::pair<std::uint32_t, std::uint32_t>> coveredBy(std::string_view line) {
    if (auto symbol = headerSymbol(line))
        return std::pair{symbol->address, symbol->address};
    if (auto word = parseWordLineHead(line))
        return std::pair{word->address,
                         word->address + static_cast<std::uint32_t>(word->wordBytes)};
    return std::nullopt;
}

// objdump prints a section's lines in address order, so its extent runs
// from its first line with an address to the end of its last word; only the
// lines at both ends are read, not the (possibly huge) body between.
std::optional<ImageSection> sectionExtent(const SectionText& text) {
    std::optional<ImageSection> section;
    auto cover = [&section](std::pair<std::uint32_t, std::uint32_t> range) {
        if (!section) {
            section = ImageSection{{}, range.first, range.second};
            return;
        }
        section->start = std::min(section->start, range.first);
        section->end = std::max(section->end, range.second);
    };
    std::size_t firstEnd = 0;
    for (std::size_t at = 0; at < text.body.size(); at = nextLineStart(text.body, at)) {
        if (auto range = coveredBy(lineAround(text.body, at))) {
            cover(*range);
            firstEnd = nextLineStart(text.body, at);
            break;
        }
    }
    if (!section)
        return std::nullopt;
    // Backwards to the last word; header lines after it still count.
    std::size_t end = text.body.size();
    while (end > firstEnd) {
        std::size_t start = end;
        while (start > firstEnd && isLineEnd(text.body[start - 1]))
            --start;
        end = start;
        while (start > firstEnd && !isLineEnd(text.body[start - 1]))
            --start;
        const std::string_view line = trimBlanks(text.body.substr(start, end - start));
        end = start;
        if (auto word = parseWordLineHead(line)) {
            cover({word->address, word->address + static_cast<std::uint32_t>(word->wordBytes)});
            break;
        }
        if (auto symbol = headerSymbol(line))
            cover({symbol->address, symbol->address});
    }
    section->name = std::string(text.name);
    return section;
}

// .reginfo is a few words: every line of it is read.
std::optional<std::uint32_t> gpOf(const SectionText& text, std::uint32_t sectionStart) {
    std::optional<std::uint32_t> gp;
    forEachLine(text.body, [&](std::size_t start, std::size_t length) {
        if (auto word = parseWordLineHead(text.body.substr(start, length)))
            if (word->address == sectionStart + kReginfoGpOffset)
                gp = word->word;
    });
    return gp;
}

// Every header line after the first section header: found by its ">:" at
// the end of a line, so the lines between are not read one by one.
std::vector<ImageSymbol> headerSymbols(std::string_view listing, std::size_t from) {
    std::vector<ImageSymbol> symbols;
    for (std::size_t at = listing.find(">:", from); at != std::string_view::npos;
         at = listing.find(">:", at + 2)) {
        std::size_t after = at + 2;
        while (after < listing.size() && listing[after] == ' ')
            ++after;
        if (after < listing.size() && !isLineEnd(listing[after]))
            continue;
        if (auto symbol = headerSymbol(lineAround(listing, at)))
            symbols.push_back(std::move(*symbol));
    }
    return symbols;
}

} // namespace

ImageExtent ImageExtent::fromListing(std::string_view listing) {
    ImageExtent extent;
    const std::vector<SectionText> texts = sectionTexts(listing);
    for (const SectionText& text : texts) {
        auto section = sectionExtent(text);
        if (!section)
            continue;
        if (section->name == ".reginfo")
            if (auto gp = gpOf(text, section->start))
                extent.gp_ = gp;
        if (section->start != 0 && section->end > section->start)
            extent.sections_.push_back(std::move(*section));
    }
    if (texts.empty())
        return extent;
    const auto firstBody = static_cast<std::size_t>(texts.front().body.data() - listing.data());
    // A large program has tens of thousands of symbols, held for as long as
    // its listing: kept in the room they were found in, without its slack,
    // and sorted only when objdump did not print them in address order.
    extent.symbols_ = headerSymbols(listing, firstBody);
    std::erase_if(extent.symbols_, [&extent](const ImageSymbol& symbol) {
        return extent.sectionAt(symbol.address) == nullptr;
    });
    extent.symbols_.shrink_to_fit();
    const auto byAddress = [](const ImageSymbol& a, const ImageSymbol& b) {
        return a.address < b.address;
    };
    if (!std::is_sorted(extent.symbols_.begin(), extent.symbols_.end(), byAddress))
        std::stable_sort(extent.symbols_.begin(), extent.symbols_.end(), byAddress);
    return extent;
}

const ImageSection* ImageExtent::sectionAt(std::uint32_t address) const {
    for (const ImageSection& section : sections_)
        if (section.contains(address))
            return &section;
    return nullptr;
}

std::string ImageExtent::symbolAt(std::uint32_t address) const {
    const ImageSection* section = sectionAt(address);
    if (section == nullptr)
        return {};
    auto after = std::upper_bound(
        symbols_.begin(), symbols_.end(), address,
        [](std::uint32_t value, const ImageSymbol& symbol) { return value < symbol.address; });
    if (after == symbols_.begin())
        return {};
    const ImageSymbol& symbol = *(after - 1);
    if (!section->contains(symbol.address))
        return {};
    if (symbol.address == address)
        return symbol.name;
    std::string offset = hexAddress(address - symbol.address);
    offset.erase(0, std::min(offset.find_first_not_of('0'), offset.size() - 1));
    return symbol.name + "+0x" + offset;
}

} // namespace travonix::check
