#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace travonix {

// Which diagnostic it is, whatever its words: what a caller or a test tells
// diagnostics apart by, where the text is for the user alone.
enum class DiagnosticCode {
    // Reading a listing and rewriting its jumps.
    ListingTooLarge,   // larger than the reader takes
    FillerLimit,       // objdump's gaps held more zeros than are filled in
    WordContradiction, // a line's text says another instruction than its word
    JumpsUnconverted,  // jal/j whose targets lie beyond a relative branch
    // Planning a run.
    MalformedLine,    // a code line of a selected function holds no whole word
    FunctionGone,     // a selected function is no longer in the listing
    NameClash,        // two functions of one name in one file
    NameClashRenamed, // two functions of one name: the later one's file renamed
    MergeWithoutMain, // a merged block that BASIC enters at its first routine
    // Writing the files.
    BadName,             // a name that cannot be a file name
    OutsideOutputFolder, // a path that would leave the output folder
    FileNotWritten,      // the system refused the write
    RunCancelled,        // stopped on request; the files not yet written are as they were
    // Re-laying a merged block.
    RelayCost,            // the words before and after, or why the block stays as built
    RelayNeedsMergedMode, // asked for outside merge mode
    // Disassembling an ELF file.
    NoElfChosen,
    ElfMissing,
    NoListingChosen,
    ListingIsElf,          // the listing's name is the ELF file's
    ListingNotReplaceable, // a device, FIFO or socket where the listing goes
    ListingNotWritten,     // no file could be made beside the listing
    ListingNotReplaced,    // the new listing could not take the old one's name
    DisassemblerNotStarted,
    DisassemblerCancelled,
    DisassemblerFailed, // it ended with an exit code other than 0
    // Choosing the input and the functions.
    NoListing,               // no listing chosen to read
    InputMissing,            // the input file is not there
    ListingNotReadable,      // the listing could not be read
    NoDisassembler,          // none of the known disassemblers is installed
    DisassemblerSubstituted, // the one asked for is missing; another is used
    FunctionNotListed,       // a function asked for is not in the listing
    MainLeftOut,             // main asked for but left out of the list
    NoSelection,             // no function selected
};

// What a step tells the user besides its result. The text is exactly what
// the user sees; the window shows a Message in a box and the rest on its
// status line, the command line prints all of them on stderr.
struct Diagnostic {
    enum class Kind {
        Message, // a box with an OK button, titled "Travonix"
        Warning, // the run goes on and succeeds
        Error,   // part of the work was not done; the run fails
    };
    Kind kind = Kind::Error;
    DiagnosticCode code{}; // named by message(), warning() and error(), which make them all
    std::string text;
    std::string function;                 // the function it concerns, if any
    std::optional<std::uint32_t> address; // the listing line it concerns, if any
    std::string file;                     // the file it concerns, if any
};

using Diagnostics = std::vector<Diagnostic>;

[[nodiscard]] inline Diagnostic message(DiagnosticCode code, std::string text) {
    return {Diagnostic::Kind::Message, code, std::move(text), {}, {}, {}};
}
[[nodiscard]] inline Diagnostic warning(DiagnosticCode code, std::string text) {
    return {Diagnostic::Kind::Warning, code, std::move(text), {}, {}, {}};
}
[[nodiscard]] inline Diagnostic error(DiagnosticCode code, std::string text) {
    return {Diagnostic::Kind::Error, code, std::move(text), {}, {}, {}};
}

[[nodiscard]] inline bool hasError(const Diagnostics& diagnostics) {
    for (const Diagnostic& d : diagnostics)
        if (d.kind == Diagnostic::Kind::Error)
            return true;
    return false;
}

} // namespace travonix
