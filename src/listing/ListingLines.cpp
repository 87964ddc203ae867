#include "listing/ListingLines.h"

#include "listing/TextRules.h"

namespace travonix {

ListingSection wantedSectionOf(std::string_view trimmed) {
    if (equalsNoCase(trimmed, "Disassembly of section .text:"))
        return ListingSection::Text;
    if (equalsNoCase(trimmed, "Disassembly of section .rodata:"))
        return ListingSection::Rodata;
    return ListingSection::None;
}

bool isSectionEnd(std::string_view trimmed) {
    return containsNoCase(trimmed, "Disassembly of section");
}

bool isGapMarker(std::string_view trimmed) {
    return trimmed.find("...") != std::string_view::npos;
}

bool isFunctionHeader(std::string_view line) {
    return line.size() >= 2 && line.substr(line.size() - 2) == ">:";
}

std::optional<std::string_view> headerName(std::string_view header) {
    std::size_t open = header.find(" <");
    if (open == std::string_view::npos)
        return std::nullopt;
    std::string_view rest = header.substr(open + 2);
    std::size_t close = rest.find(">:");
    return rest.substr(0, close);
}

bool carriesAddress(std::string_view trimmed) {
    if (trimmed.empty())
        return false;
    char c = trimmed.front();
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

} // namespace travonix
