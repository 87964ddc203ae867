#pragma once

#include "check/RelocationCheck.h"

#include <string>
#include <string_view>
#include <vector>

namespace travonix::check::test {

// A routine of a listing: the section it lies in and its body lines, with
// jal/j rewritten as the tool rewrites them.
struct ListedRoutine {
    std::string section;
    RoutineBody body;
};

// Every routine of every section, in listing order: the lines after a header
// line ("9d000040 <name>:") up to the next empty line, CR taken off.
[[nodiscard]] std::vector<ListedRoutine> routinesOf(std::string_view listing);

// The line with a jal or j that a branch reaches rewritten into bal or b;
// any other line unchanged.
[[nodiscard]] std::string rewriteJump(std::string_view line);

// The routines a block can be made of: those of .text and .rodata.
[[nodiscard]] std::vector<ListedRoutine> convertible(const std::vector<ListedRoutine>& routines);

// One block per routine, named after it (individual and single-file modes).
[[nodiscard]] std::vector<BlockContent> oneBlockEach(const std::vector<ListedRoutine>& routines);

// All routines in one block, in the order given (merge mode).
[[nodiscard]] std::vector<BlockContent> mergedBlock(const std::vector<ListedRoutine>& routines);

// The routines whose names are not in `names`.
[[nodiscard]] std::vector<ListedRoutine> without(const std::vector<ListedRoutine>& routines,
                                                 const std::vector<std::string>& names);

} // namespace travonix::check::test
