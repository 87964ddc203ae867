#pragma once

#include "cfunction/HeaderIndex.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace travonix {

// One selected function of a make run.
struct SelectedFunction {
    std::string name;          // the function-list entry, underscores kept
    std::int32_t dataMark = 0; // non-zero: a read-only data function
    std::string blockText;     // its generated source, built by BuildCFunctionBlock
    // Which function of that name in listing order (0 the first): the block
    // is built from that function's own header line.
    std::size_t occurrence = 0;
    // The name in the listing, when `name` was changed to keep two functions
    // of one name in files of their own; empty when `name` is that name.
    std::string listingName;

    [[nodiscard]] const std::string& nameInListing() const {
        return listingName.empty() ? name : listingName;
    }
};

// The state of one make run: created empty when the run starts, discarded at
// its end. Counters are wide enough for any listing, so no run has a fixed
// limit on functions, words or lines.
struct GenerationRun {
    std::vector<SelectedFunction> rows; // the selected functions in list order
    bool merge = false;                 // all functions merged into one CFunction
    // Machine words taken so far; runs on across functions, so the grouping
    // into lines of eight words continues from one block to the next.
    std::int64_t wordCounter = 0;
    // The GeneratedSource line that receives the next word.
    std::size_t displayLine = 0;
    std::string listingCopy; // the converted functions' listing lines, for "DisAsm.txt"
    // Merge mode: the word counter at the first word of "main" (0 when "main"
    // comes first or is absent) and the length of the first block's text just
    // before its entry-offset word.
    std::int64_t entryOffset = 0;
    std::size_t headLength = 0;
    HeaderIndex headers; // built on first use, from the listing as it stands
};

} // namespace travonix
