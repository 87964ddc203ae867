#include "core/LineForms.h"

#include "core/Text.h"

namespace travonix {

WantedSection wantedSectionOf(std::string_view trimmed) {
    if (equalsNoCase(trimmed, "Disassembly of section .text:"))
        return WantedSection::Text;
    if (equalsNoCase(trimmed, "Disassembly of section .rodata:"))
        return WantedSection::Rodata;
    return WantedSection::None;
}

bool isSectionEnd(std::string_view trimmed) {
    static const NoCaseNeedle kSectionLine("Disassembly of section");
    return kSectionLine.isIn(trimmed);
}

bool isGapMarker(std::string_view trimmed) {
    return trimmed.find("...") != std::string_view::npos;
}

bool carriesAddress(std::string_view trimmed) {
    if (trimmed.empty())
        return false;
    const char c = trimmed.front();
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isDataSectionHeader(std::string_view trimmed) {
    constexpr std::string_view kPrefix = "Disassembly of section ";
    const std::size_t at = findNoCase(trimmed, kPrefix);
    if (at == std::string_view::npos)
        return false;
    const std::string name = toLowerAscii(trimmed.substr(at + kPrefix.size()));
    for (std::string_view data : {".rodata", ".data", ".sdata", ".bss", ".sbss", ".got", ".lit"})
        if (name.starts_with(data))
            return true;
    return false;
}

} // namespace travonix
