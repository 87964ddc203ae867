#pragma once

#include "app/SharedListing.h"
#include "check/Finding.h"
#include "core/Diagnostic.h"
#include "core/Listing.h"
#include "core/TextLines.h"

#include <string>
#include <vector>

namespace travonix {

// A finding of the relocation check with the places the window points at.
struct ShownFinding {
    check::Finding finding;
    int listingLine = -1; // the line it concerns; its routine's header for a name clash
    int function = -1;    // the routine's entry in the function list; -1 when not listed
};

// What the window shows of the work: the listing, the function list with its
// selection, the generated source, the last run's report and what the
// relocation check found in its blocks. The steps replace it; the window
// re-reads it after each step and keeps no copy.
struct Session {
    SharedListing listing;
    std::vector<FunctionEntry> functions;
    TextLines generatedSource;
    std::string sizeText;     // "1.17 KB"
    std::string makeTimeText; // "Created at 2026-12-10  09:05:07"
    int currentListingLine = -1;
    int currentFunction = -1;
    std::string statusLine; // the last failure or warning without a box of its own
    // Everything the last step reported but a make run's findings: those are
    // announced on the status line one by one and kept once, below.
    Diagnostics lastReport;
    // The last make run's findings, in the check's order; a new read or run
    // replaces them.
    std::vector<ShownFinding> findings;
    int revision = 0; // grows with every change, so a view knows to refresh
};

} // namespace travonix
