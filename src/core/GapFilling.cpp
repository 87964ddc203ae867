#include "core/GapFilling.h"

#include "core/Text.h"

namespace travonix {

void makeFillerLine(std::uint32_t address, bool readOnlyData, std::string& line) {
    // As hexUpper writes it: upper case, no leading zeros.
    static constexpr char kDigits[] = "0123456789ABCDEF";
    char digits[8];
    std::size_t first = sizeof digits;
    do {
        digits[--first] = kDigits[address & 0xFU];
        address >>= 4;
    } while (address != 0);
    line.assign(digits + first, sizeof digits - first);
    line += ":\t00000000\t";
    if (!readOnlyData)
        line += "NOP ";
    line += "<--Corrected by Travonix";
}

std::string fillerLine(std::uint32_t address, bool readOnlyData) {
    std::string line;
    makeFillerLine(address, readOnlyData, line);
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
