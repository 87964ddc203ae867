#pragma once

#include "core/Options.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace travonix::cli {

// What the command line asked for, checked for usage errors.
struct CliRequest {
    std::string input;                           // the listing (.dis) or the ELF file
    bool inputIsElf = false;                     // starts with the ELF magic, or is named .elf
    bool list = false;                           // --list
    bool printListing = false;                   // --print-listing
    bool includeMain = false;                    // --main
    bool allFuncs = false;                       // --all-funcs
    OutputMode mode = ConversionSettings{}.mode; // the conversion's own default
    std::optional<std::string> name;             // --name (merged CFunction)
    std::optional<std::string> outputDir;
    std::vector<std::string> functions; // --function, in the order given
    bool saveDisasm = false;
    bool yes = false;                 // go on past a "jalr" warning
    bool check = false;               // --check: report what will not run relocated, write nothing
    bool strict = false;              // --strict: any such finding fails the run
    bool positionIndependent = false; // --position-independent (merge mode only)
    std::optional<std::string> objdump; // --objdump CMD
    std::optional<std::string> disPath; // --dis PATH
};

// Either a request, or what to print and the exit code (help, version, usage error).
struct ParseOutcome {
    std::optional<CliRequest> request;
    std::string text; // help/version on stdout, usage error on stderr
    bool toStderr = false;
    int exitCode = 0;
};

// Whether the file starts with the ELF magic (0x7f 'E' 'L' 'F'); false for a
// file that is missing or cannot be read.
using ElfProbe = std::function<bool(const std::string& path)>;
[[nodiscard]] bool startsWithElfMagic(const std::string& path);

// The input is an ELF file when `isElf` says so, whatever its name, or when
// it is named .elf (such a file that is not one is left to the disassembler,
// which says what is wrong with it).
ParseOutcome parseCommandLine(const std::vector<std::string>& arguments,
                              const ElfProbe& isElf = startsWithElfMagic);

} // namespace travonix::cli
