#include "check/ImageExtent.h"

#include "check/InstructionLine.h"
#include "core/Text.h"

#include <algorithm>

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

} // namespace

ImageExtent ImageExtent::fromListing(std::string_view listing) {
    ImageExtent extent;
    std::vector<SectionBuilder> builders;
    std::vector<ImageSymbol> symbols;
    for (std::string_view raw : splitLines(listing)) {
        std::string_view line = trimBlanks(raw);
        if (line.rfind(kSectionHeader, 0) == 0) {
            std::string_view name = line.substr(kSectionHeader.size());
            if (!name.empty() && name.back() == ':')
                name.remove_suffix(1);
            builders.push_back({ImageSection{std::string(name), 0, 0}, false});
            continue;
        }
        if (builders.empty())
            continue;
        SectionBuilder& current = builders.back();
        if (auto symbol = headerSymbol(line)) {
            current.cover(symbol->address, symbol->address);
            symbols.push_back(*symbol);
        } else if (auto word = parseInstructionLine(line)) {
            current.cover(word->address,
                          word->address + static_cast<std::uint32_t>(word->wordBytes));
            if (current.section.name == ".reginfo" &&
                word->address == current.section.start + kReginfoGpOffset)
                extent.gp_ = word->word;
        }
    }
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
