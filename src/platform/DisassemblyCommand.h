#pragma once

#include "core/Options.h"
#include "platform/ProcessRunner.h"

#include <string>
#include <string_view>
#include <vector>

namespace travonix {

// The line cmd.exe runs: "cmd.exe /C ", the command, a blank, the quoted ELF
// path, " >" and the quoted listing path. The command is not quoted and the
// paths are not escaped (Windows file names cannot hold a double quote).
[[nodiscard]] std::string disassemblyCommandLine(const Options& options,
                                                 const std::string& listingPath);

// The words of a command: separated by blanks, a double-quoted stretch is
// part of one word (the quotes themselves are dropped), so a program path
// with blanks can be written in quotes.
[[nodiscard]] std::vector<std::string> splitCommandWords(std::string_view command);

// The disassembler run in both platform forms: the cmd.exe line for Windows;
// elsewhere the words of the command plus the ELF path as one more argument,
// with standard output into `listingPath`. An ELF path that starts with "-"
// or "@" is given as ".\-x.elf" / "./-x.elf", so objdump takes it as a file
// rather than an option or a response file.
[[nodiscard]] ProcessCommand disassemblyCommand(const Options& options,
                                                const std::string& listingPath);

} // namespace travonix
