#include "core/GapFilling.h"

#include "core/Text.h"

namespace travonix {

std::string fillerLine(std::uint32_t address, bool readOnlyData) {
    std::string line = hexUpper(address);
    line += ":\t00000000\t";
    if (!readOnlyData)
        line += "NOP ";
    line += "<--Corrected by Travonix";
    return line;
}

std::uint32_t gapWordCount(std::uint32_t start, std::optional<std::uint32_t> nextAddress) {
    if (!nextAddress || *nextAddress <= start)
        return kFallbackGapWords;
    const std::uint32_t words = (*nextAddress - start) / 4;
    if (words == 0 || words > kMaxGapWords)
        return kFallbackGapWords;
    return words;
}

} // namespace travonix
