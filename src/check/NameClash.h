#pragma once

#include "check/Finding.h"

#include <cstdint>
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
    std::uint32_t address = 0; // its (first) routine's header address
};

// The name of the "CFunction " line: the block's name without underscores.
[[nodiscard]] std::string cfunctionName(std::string_view blockName);

// Blocks of one run (one output folder) that BASIC cannot tell apart: their
// CFunction names are equal once the underscores are dropped, letter case
// ignored as BASIC and the Windows file system ignore it. Both blocks of a
// clash get a name-clash finding at their header address (the first block
// of a name once, however many clash with it), with the block's index; the
// sentence names the CFunction each really becomes and says whether the two
// share a file or one file replaces the other.
[[nodiscard]] std::vector<Finding> findNameClashes(const std::vector<BlockFile>& blocks);

// Blocks whose CFunction name holds a character no BASIC name can hold
// (anything but letters, digits and "."): objdump's "table-0x14" labels
// for data without a symbol, a blank, "+" or brackets. One bad-name finding
// a block, at its header address.
[[nodiscard]] std::vector<Finding> findBadNames(const std::vector<BlockFile>& blocks);

} // namespace travonix::check
