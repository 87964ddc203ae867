#pragma once

#include "platform/ProgramSearch.h"

#include <optional>
#include <string>
#include <vector>

namespace travonix {

// The objdump programs offered are disassemblerCandidates() of
// ProgramSearch.h, the one list the command line uses too.

// The search path's folder separator: ";" on Windows, ":" elsewhere.
[[nodiscard]] char searchPathSeparator();

// Whether the program a disassembler command starts with can be run: a
// program given with a folder must be there; any other is looked for in the
// folders of `searchPath` (PATH's form; empty entries are skipped). A name
// is also tried with ".exe" added or taken off, so the stored
// "pic32-objdump.exe" finds "pic32-objdump" and the other way round.
[[nodiscard]] bool commandProgramFound(const std::string& command, const std::string& searchPath);

// The candidates found in the folders of `searchPath`, in the order above.
[[nodiscard]] std::vector<std::string> disassemblersFound(const std::string& searchPath);

// The first candidate found on the process's PATH.
[[nodiscard]] std::optional<std::string> firstDisassemblerOnPath();

// The disassembler command that runs a found program: its name with "-D -z".
[[nodiscard]] std::string disassemblerCommandFor(const std::string& program);

// The process's PATH ("" when it has none).
[[nodiscard]] std::string processSearchPath();

} // namespace travonix
