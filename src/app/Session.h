#pragma once

#include "core/Diagnostic.h"
#include "core/Listing.h"
#include "core/TextLines.h"

#include <string>
#include <vector>

namespace travonix {

// What the window shows of the work: the listing, the function list with its
// selection, the generated source and the last run's report. The steps
// replace it; the window re-reads it after each step and keeps no copy.
struct Session {
    Listing listing;
    std::vector<FunctionEntry> functions;
    TextLines generatedSource;
    std::string sizeText;     // "1.17 KB"
    std::string makeTimeText; // "Created at 2026-12-10  09:05:07"
    int currentListingLine = -1;
    int currentFunction = -1;
    std::string statusLine; // the last failure or warning without a box of its own
    Diagnostics lastReport; // everything the last step reported
    int revision = 0;       // grows with every change, so a view knows to refresh
};

} // namespace travonix
