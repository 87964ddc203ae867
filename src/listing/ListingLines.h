#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace travonix {

// The kinds of line objdump writes into a disassembly listing, as the reader
// tells them apart. Every test takes a line already trimmed of blanks.

// The two sections the reader keeps: code and read-only data.
enum class ListingSection { None, Text, Rodata };

// "Disassembly of section .text:" or "... .rodata:", letter case ignored;
// ListingSection::None for any other line.
[[nodiscard]] ListingSection wantedSectionOf(std::string_view trimmed);

// Any "Disassembly of section" line: the end of the section being read.
[[nodiscard]] bool isSectionEnd(std::string_view trimmed);

// objdump's "..." for a run of zero words it did not print.
[[nodiscard]] bool isGapMarker(std::string_view trimmed);

// "9d000040 <add>:": a line whose last two characters are ">:".
[[nodiscard]] bool isFunctionHeader(std::string_view line);

// The name between the first " <" and the ">:" after it; std::nullopt when
// the header has no " <".
[[nodiscard]] std::optional<std::string_view> headerName(std::string_view header);

// Whether the line starts with a hexadecimal digit, as headers and
// instruction lines do (their address).
[[nodiscard]] bool carriesAddress(std::string_view trimmed);

} // namespace travonix
