#pragma once

#include "listing/WindowState.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace travonix {

struct AppOptions;

// What a read of a disassembly listing depends on besides the file's text.
struct ListingReadOptions {
    bool showMain = false;       // keep `main` (section reading)
    bool selectAllFuncs = false; // selected state of every function found
    bool fullReading = false;    // "Show ALL funcs": every line, every function
    // True for a toolchain system function; such a line ends the section being
    // read. Empty: no name is a system function.
    std::function<bool(std::string_view)> isSystemFunction;
};

// The options for a read as the window's options record gives them. The
// system-function test refers to `options`, which must outlive the read.
[[nodiscard]] ListingReadOptions listingReadOptions(const AppOptions& options, bool fullReading);

// The result of one read: the listing lines (none selected) and the functions
// found in them, in listing order.
struct ListingReadResult {
    std::vector<ListingItem> listing;
    std::vector<FunctionEntry> functions;
    // The gaps held more zero words than one read puts back: the later gaps
    // got two filler lines each.
    bool fillerLimitReached = false;
};

// The warning shown when a read's gaps were cut short.
[[nodiscard]] std::string fillerLimitWarning();

// Reads the text of an objdump disassembly listing (CR LF, LF or lone CR line
// ends). Pure: no files, no window; one pass, linear in the text's size.
//
// Section reading keeps the .text and .rodata sections: code lines trimmed of
// blanks, read-only data lines cut to address and word (headers whole), the
// "..." runs of zero words put back as filler lines, `main` left out unless
// asked for, and a section ended by the first line naming a system function.
// Full reading keeps every line of the file whose first TAB field is longer
// than 8 characters (and every empty line), and lists every function.
//
// The jumps are not rewritten here: that is rewriteJumps (JumpRewriter.h).
[[nodiscard]] ListingReadResult readListing(std::string_view fileText,
                                            const ListingReadOptions& options);

} // namespace travonix
