#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace travonix {

// objdump (without -z) prints "..." in place of a run of zero words. The
// reader puts the words back as filler lines, so a function's words keep
// their places and every branch after the gap still lands where it should.

// Words put in when the listing cannot tell how many were skipped.
inline constexpr std::uint32_t kFallbackGapWords = 2;
// A longer gap (256 KiB of zeros, more than any real one) is not believed.
inline constexpr std::uint32_t kMaxGapWords = 65536;
// Filler words of one whole read (4 MiB of zeros, twice the largest PIC32
// flash). Past it every further gap gets kFallbackGapWords, so a listing made
// up to repeat huge gaps cannot make a run hold or write much more than its
// own size.
inline constexpr std::uint64_t kMaxFillerWordsPerRead = std::uint64_t{1} << 20;

// "9D000014:<TAB>00000000<TAB>NOP <--Corrected by Travonix" in code, the same
// without "NOP " in read-only data.
[[nodiscard]] std::string fillerLine(std::uint32_t address, bool readOnlyData);
// The same made in `line`, whose room is kept from the line before: a gap
// can be a million words, and a string of its own for each would be a
// million trips to the heap.
void makeFillerLine(std::uint32_t address, bool readOnlyData, std::string& line);

// How many zero words lie from `start` up to the next address objdump printed
// in the same section. Falls back to kFallbackGapWords when that address is
// unknown, not above the start, less than a word away, or more than
// kMaxGapWords words away.
[[nodiscard]] std::uint32_t gapWordCount(std::uint32_t start,
                                         std::optional<std::uint32_t> nextAddress);

} // namespace travonix
