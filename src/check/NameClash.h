#pragma once

#include "check/Finding.h"

#include <string>
#include <string_view>
#include <vector>

namespace travonix::check {

// A block as the make command writes it: the name it was made from
// (underscores kept, as in the routine's or the merged block's name) and the
// name of the .bas file that holds it.
struct BlockFile {
    std::string blockName;
    std::string fileName;
};

// The name of the "CFunction " line: the block's name without underscores.
[[nodiscard]] std::string cfunctionName(std::string_view blockName);

// Blocks of one run (one output folder) that BASIC cannot tell apart: their
// CFunction names are equal once the underscores are dropped, letter case
// ignored as BASIC and the Windows file system ignore it. Each block that
// clashes with an earlier one gives one name-clash finding, named after the
// later block; its sentence says whether the two share a file or one file
// replaces the other.
[[nodiscard]] std::vector<Finding> findNameClashes(const std::vector<BlockFile>& blocks);

} // namespace travonix::check
