#pragma once

#include <string_view>

namespace travonix {

// The kinds of line objdump writes into a disassembly listing, as the reader
// tells them apart. Every test takes a line already trimmed of blanks.

// The two sections section reading keeps: code and read-only data.
enum class WantedSection { None, Text, Rodata };

// "Disassembly of section .text:" or "... .rodata:", letter case ignored.
[[nodiscard]] WantedSection wantedSectionOf(std::string_view trimmed);
// Any "Disassembly of section" line: the end of the section being read.
[[nodiscard]] bool isSectionEnd(std::string_view trimmed);
// objdump's "..." for a run of zero words it did not print.
[[nodiscard]] bool isGapMarker(std::string_view trimmed);
// Whether the line starts with a hexadecimal digit, as headers and
// instruction lines do (their address).
[[nodiscard]] bool carriesAddress(std::string_view trimmed);
// A section whose lines are data, never code: .rodata, .data, .sdata, .bss,
// .sbss, .got and .lit*, from its "Disassembly of section NAME:" line.
[[nodiscard]] bool isDataSectionHeader(std::string_view trimmed);

// A line objdump prints for a machine word of code: its first field is a
// hexadecimal address and a colon ("9d000040:", "  400130:").
[[nodiscard]] bool isCodeWordLine(std::string_view firstField);
// Whether such a line holds its whole word: a second TAB field of exactly
// eight hexadecimal digits and the one blank after them.
[[nodiscard]] bool holdsWholeWord(std::string_view line);

} // namespace travonix
