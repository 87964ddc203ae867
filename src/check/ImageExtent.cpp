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

struct SectionBuilder {
    ImageSection section;
    bool seen = false;

    void cover(std::uint32_t from, std::uint32_t to) {
        if (!seen) {
            section.start = from;
            section.end = to;
            seen = true;
            return;
        }
        section.start = std::min(section.start, from);
        section.end = std::max(section.end, to);
    }
};

// What the extent needs of a word line: its address, its word and the
// word's size, read in place (every line of the listing passes here).
struct WordExtent {
    std::uint32_t address = 0;
    std::uint32_t word = 0;
    int wordBytes = 0;
};

std::optional<WordExtent> wordExtent(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0)
        return std::nullopt;
    const std::size_t tab = line.find('\t', colon);
    if (tab == std::string_view::npos || trimBlanks(line.substr(colon + 1, tab - colon - 1)) != "")
        return std::nullopt;
    const auto address = parseHex(line.substr(0, colon));
    std::string_view word = line.substr(tab + 1);
    word = trimBlanks(word.substr(0, word.find('\t')));
    const auto value = parseHex(word);
    if (!address || !value || word.size() % 2 != 0)
        return std::nullopt;
    return WordExtent{*address, *value, static_cast<int>(word.size() / 2)};
}

} // namespace

ImageExtent ImageExtent::fromListing(std::string_view listing) {
    ImageExtent extent;
    std::vector<SectionBuilder> builders;
    std::vector<ImageSymbol> symbols;
    forEachLine(listing, [&](std::size_t start, std::size_t length) {
        std::string_view line = trimBlanks(listing.substr(start, length));
        if (line.rfind(kSectionHeader, 0) == 0) {
            std::string_view name = line.substr(kSectionHeader.size());
            if (!name.empty() && name.back() == ':')
                name.remove_suffix(1);
            builders.push_back({ImageSection{std::string(name), 0, 0}, false});
            return;
        }
        if (builders.empty())
            return;
        SectionBuilder& current = builders.back();
        if (auto symbol = headerSymbol(line)) {
            current.cover(symbol->address, symbol->address);
            symbols.push_back(*symbol);
        } else if (auto word = wordExtent(line)) {
            current.cover(word->address,
                          word->address + static_cast<std::uint32_t>(word->wordBytes));
            if (current.section.name == ".reginfo" &&
                word->address == current.section.start + kReginfoGpOffset)
                extent.gp_ = word->word;
        }
    });
    for (const SectionBuilder& builder : builders)
        if (builder.seen && builder.section.start != 0 &&
            builder.section.end > builder.section.start)
            extent.sections_.push_back(builder.section);
    for (const ImageSymbol& symbol : symbols)
        if (extent.sectionAt(symbol.address) != nullptr)
            extent.symbols_.push_back(symbol);
    std::stable_sort(
        extent.symbols_.begin(), extent.symbols_.end(),
        [](const ImageSymbol& a, const ImageSymbol& b) { return a.address < b.address; });
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
