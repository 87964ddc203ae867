#pragma once

#include "core/Options.h"

#include <optional>
#include <string>
#include <vector>

namespace travonix::cli {

// What the command line asked for, checked for usage errors.
struct CliRequest {
    std::string input; // the listing (.dis) or the ELF file (.elf)
    bool inputIsElf = false;
    bool list = false;         // --list
    bool printListing = false; // --print-listing
    bool includeMain = false;  // --main
    bool allFuncs = false;     // --all-funcs
    OutputMode mode = OutputMode::IndividualFiles;
    std::optional<std::string> name; // --name (merged CFunction)
    std::optional<std::string> outputDir;
    std::vector<std::string> functions; // --function, in the order given
    bool saveDisasm = false;
    bool yes = false;    // go on past a "jalr" warning
    bool check = false;  // --check: report what will not run relocated, write nothing
    bool strict = false; // --strict: any such finding fails the run
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

ParseOutcome parseCommandLine(const std::vector<std::string>& arguments);

} // namespace travonix::cli
