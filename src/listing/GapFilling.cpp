#include "listing/GapFilling.h"

#include "listing/TextRules.h"

namespace travonix {

std::string fillerLine(std::int32_t address, ListingSection section) {
    std::string line = hexUpper(address);
    line += ":\t00000000\t";
    if (section != ListingSection::Rodata)
        line += "NOP ";
    line += "<--Corrected by Travonix";
    return line;
}

std::uint32_t gapWordCount(std::int32_t start, std::optional<std::int32_t> nextAddress) {
    if (!nextAddress)
        return kFallbackGapWords;
    auto from = static_cast<std::uint32_t>(start);
    auto to = static_cast<std::uint32_t>(*nextAddress);
    if (to <= from)
        return kFallbackGapWords;
    std::uint32_t words = (to - from) / 4;
    if (words == 0 || words > kMaxGapWords)
        return kFallbackGapWords;
    return words;
}

std::optional<std::int32_t> NextAddressFinder::from(std::size_t index) {
    if (scanned_ && index >= scannedFrom_ && index <= scannedTo_)
        return found_;
    scanned_ = true;
    scannedFrom_ = index;
    found_.reset();
    std::size_t i = index;
    for (; i < lines_.size(); ++i) {
        std::string_view line = trimBlanks(lines_[i]);
        if (isSectionEnd(line))
            break;
        if (carriesAddress(line)) {
            found_ = hexValue(line);
            break;
        }
    }
    scannedTo_ = i;
    return found_;
}

} // namespace travonix
