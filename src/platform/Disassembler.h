#pragma once

#include "core/Diagnostic.h"
#include "core/Environment.h"
#include "core/ListingProgress.h"
#include "core/ListingReader.h"
#include "core/Options.h"
#include "platform/ProcessRunner.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace travonix {

// What one disassembly did.
struct DisassemblyOutcome {
    // The ELF file's modification time, when the ELF file was found (the
    // watcher compares it with the next one).
    std::optional<std::string> elfTime;
    // The listing at options.listingPath is there to be read.
    bool readListing = false;
    // This run wrote it: its whole text went to the run's listing reader.
    bool fresh = false;
    Diagnostics diagnostics; // the checks' messages, the disassembler's failure
};

// Receives the listing's text piece by piece while the disassembler writes it.
using ListingReceiver = std::function<void(std::string_view)>;

// Turns the ELF file into the listing: checks the names, notes the ELF file's
// time, runs the disassembler with its output going to a file beside the
// listing, and replaces the listing only when the disassembler succeeded, so
// a missing or failing one never leaves an empty listing behind. A receiver,
// when given, reads the text as it comes (see ProcessCommand::onOutput); it
// has had all of it when the outcome is `fresh`.
[[nodiscard]] DisassemblyOutcome disassemble(const Options& options, ProcessRunner& runner,
                                             Environment& environment,
                                             const ListingReceiver& receiver = {});

// A disassembly and the listing read while objdump wrote it (see
// ListingFeed), with the read options of options.conversion.
struct DisassembledListing {
    DisassemblyOutcome outcome;
    std::optional<ReadResult> read; // when the outcome is fresh
};
// Told after each piece of the listing how far it has come.
using ListingProgressReport = std::function<void(const ListingProgress&)>;

// What both drivers run for an ELF file: the listing's size guessed, the
// disassembly, and the listing read as it arrives.
[[nodiscard]] DisassembledListing disassembleAndRead(const Options& options, ProcessRunner& runner,
                                                     Environment& environment,
                                                     const ListingProgressReport& progress = {});

// About how large the listing of the ELF file will be (see guessListingBytes).
[[nodiscard]] std::optional<std::uint64_t> expectedListingBytes(Environment& environment,
                                                                const std::string& elfPath);

} // namespace travonix
