#pragma once

#include <optional>
#include <string>
#include <vector>

namespace travonix {

// The disassemblers looked for, in this order, when none is named and the
// default one is not on the search path: the vendor's (XC32, then MPLab's
// pic32 tools), then Debian's cross binutils for little-endian MIPS and for
// big-endian MIPS (whose objdump reads little-endian files as well).
[[nodiscard]] const std::vector<std::string>& disassemblerCandidates();

// Where a program named in a command lives, on systems without cmd.exe (not
// built on Windows, where cmd.exe does its own search): a
// name with a "/" is taken as a path, any other is looked for in the folders
// of `searchPath` (PATH's form: folders separated by ":"; empty entries are
// skipped, so the current folder is never searched by accident). A name
// ending in ".exe" (any letter case) that is not found is looked for again
// without it, so the stored "xc32-objdump.exe" finds "xc32-objdump".
[[nodiscard]] std::optional<std::string> findProgram(const std::string& name,
                                                     const std::string& searchPath);

// findProgram with the process's PATH; on Windows, the search that starting
// a program does (its folder, the current one, the system's, then PATH, with
// ".exe" added to a name without an extension).
[[nodiscard]] std::optional<std::string> findProgramOnPath(const std::string& name);

// The first of `names` that findProgramOnPath finds, as it was named.
[[nodiscard]] std::optional<std::string> firstProgramOnPath(const std::vector<std::string>& names);

} // namespace travonix
