#pragma once

#include <string>

namespace travonix {

// The listing's name for an ELF file: its own extension replaced by ".dis"
// ("C:\my.elf.d\prog.elf" gives "C:\my.elf.d\prog.dis"), ".dis" added to a
// name without one.
[[nodiscard]] std::string listingPathFor(const std::string& elfPath);
// The part of a path after its last separator ("\" or "/"), and the part
// before it ("" when it has none); "" for an empty path.
[[nodiscard]] std::string fileNamePart(const std::string& path);
[[nodiscard]] std::string folderPart(const std::string& path);

} // namespace travonix
