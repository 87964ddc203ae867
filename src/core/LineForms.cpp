#include "core/LineForms.h"

#include "core/InstructionWord.h"
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

bool isCodeWordLine(std::string_view firstField) {
    firstField = trimBlanks(firstField);
    if (firstField.size() < 2 || firstField.back() != ':')
        return false;
    for (char c : firstField.substr(0, firstField.size() - 1))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')))
            return false;
    return true;
}

bool holdsWholeWord(std::string_view line) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos)
        return false;
    const std::string_view rest = line.substr(tab + 1);
    return wholeWord(rest.substr(0, rest.find('\t'))).has_value();
}

} // namespace travonix
