#pragma once

#include "core/Diagnostic.h"
#include "core/Environment.h"
#include "core/Options.h"
#include "platform/ProcessRunner.h"

#include <optional>
#include <string>

namespace travonix {

// What one disassembly did.
struct DisassemblyOutcome {
    // The ELF file's modification time, when the ELF file was found (the
    // watcher compares it with the next one).
    std::optional<std::string> elfTime;
    // The listing at options.listingPath is there to be read.
    bool readListing = false;
    Diagnostics diagnostics; // the checks' messages, the disassembler's failure
};

// Turns the ELF file into the listing: checks the names, notes the ELF file's
// time, runs the disassembler with its output going to a file beside the
// listing, and replaces the listing only when the disassembler succeeded, so
// a missing or failing one never leaves an empty listing behind.
[[nodiscard]] DisassemblyOutcome disassemble(const Options& options, ProcessRunner& runner,
                                             Environment& environment);

} // namespace travonix
