#pragma once

#include "core/Options.h"
#include "platform/ProcessRunner.h"

#include <string>
#include <string_view>
#include <vector>

namespace travonix {

// The line cmd.exe runs: "cmd.exe /C ", the command, a blank, the quoted ELF
// path, " >" and the quoted listing path. The command is put in unchanged;
// the paths are quoted so that cmd.exe and the program take them literally,
// whatever they hold (Windows file names cannot hold a double quote):
// - a "%" is written outside the quotes, so that no "%NAME%" in a path is
//   expanded;
// - a path that holds "!" adds "/V:OFF", so that delayed expansion, which
//   the registry can switch on, leaves it alone;
// - a command that starts with a double quote (a program path in quotes) is
//   wrapped in one more pair, which cmd.exe strips instead of the command's.
// Ordinary paths give the plain line above, character for character.
[[nodiscard]] std::string disassemblyCommandLine(const Options& options,
                                                 const std::string& listingPath);

// The words of a command: separated by blanks, a double-quoted stretch is
// part of one word (the quotes themselves are dropped), so a program path
// with blanks can be written in quotes.
[[nodiscard]] std::vector<std::string> splitCommandWords(std::string_view command);

// The disassembler run in both platform forms: the cmd.exe line for Windows
// (and the same without its redirection, for a caller reading the output
// through a pipe);
// elsewhere the words of the command plus the ELF path as one more argument,
// with standard output into `listingPath`. An ELF path that starts with "-"
// or "@" is given as ".\-x.elf" / "./-x.elf", so objdump takes it as a file
// rather than an option or a response file.
[[nodiscard]] ProcessCommand disassemblyCommand(const Options& options,
                                                const std::string& listingPath);

} // namespace travonix
