#pragma once

#include "core/Diagnostic.h"
#include "core/Listing.h"
#include "core/Messages.h"

#include <string>
#include <vector>

namespace travonix {

// How a listing is read.
struct ReadOptions {
    bool includeMain = false; // keep `main` (section reading)
    bool selectAll = false;   // the selected state of every function found
    bool fullReading = false; // every line and every function ("Show ALL funcs")

    bool operator==(const ReadOptions&) const = default;
};

// How the settings have a listing read.
[[nodiscard]] inline ReadOptions readOptionsOf(const ConversionSettings& settings) {
    return {settings.includeMain, settings.selectAll, settings.fullReading};
}

// The result of one read: the listing, its functions in listing order, and
// what the user should be told (a read that cut its gaps short).
struct ReadResult {
    Listing listing;
    std::vector<FunctionEntry> functions;
    Diagnostics diagnostics;
};

// Reads the text of an objdump disassembly listing (CR LF, LF or lone CR line
// ends) once, into line records. Pure: no files, no window; linear in the
// text's size.
//
// Section reading keeps the .text and .rodata sections: code lines trimmed of
// blanks, read-only data lines cut to address and word (headers whole), the
// "..." runs of zero words put back as filler lines, `main` left out unless
// asked for, and a section ended by the first line naming a system function.
// Full reading keeps every line of the file whose first TAB field is longer
// than 8 characters (and every empty line), and lists every function; lines
// of data sections are marked as data.
[[nodiscard]] ReadResult readListing(ListingText fileText, const ReadOptions& options);
[[nodiscard]] inline ReadResult readListing(std::string fileText, const ReadOptions& options) {
    return readListing(ListingText(std::move(fileText)), options);
}

} // namespace travonix
