#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace travonix {

// Reads up to `length` bytes of a file from `offset`: fewer at its end,
// std::nullopt when it cannot be read.
using FilePartReader =
    std::function<std::optional<std::string>(std::uint64_t offset, std::size_t length)>;

// About how many bytes objdump's "-D -z" listing of an ELF file will have,
// from the sizes of the sections loaded with the program (the listing has a
// line of about 37 characters for each of their words): what a progress
// indicator measures the listing against while it is written. std::nullopt
// when the file is not a 32-bit little-endian ELF file, its section table is
// cut short, or a section claims bytes past the file's end: the guess never
// exceeds what the file can hold. Reads only the file's header, its section
// table and each counted section's last byte.
[[nodiscard]] std::optional<std::uint64_t> guessListingBytes(const FilePartReader& readPart);

} // namespace travonix
