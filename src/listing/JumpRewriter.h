#pragma once

#include "listing/Form.h"
#include "listing/WindowState.h"

#include <string>
#include <vector>

namespace travonix {

// The interpreter puts a CFunction's code wherever it has room, so absolute
// `jal`/`j` instructions would jump to the wrong place. Each one is rewritten
// into the PC-relative `bal`/`b` that reaches the same target from the same
// place; ones whose target is out of a branch's reach stay as they are.

enum class JumpLineResult { NotAJump, Rewritten, OutOfReach };

// Rewrites one listing line in place when it is a four-field `jal`/`j` line
// (address, word, mnemonic shorter than 4 characters, operands) whose target
// lies within -32767..+32767 words of its delay slot.
JumpLineResult rewriteJumpLine(std::string& line);

// One pass over the listing: rewrites the jump lines, marks them selected,
// and returns how many stayed unconverted because they are out of reach.
int rewriteJumps(std::vector<ListingItem>& listing);

// "There are N unconverted JAL/J instructions in the output, targets are too
// far away".
[[nodiscard]] std::string unconvertedJumpsMessage(int count);

// The pass over the window's listing (lstShowFile); shows the one message box
// when some jumps are out of reach.
void ConvertJumps(Form& form);

} // namespace travonix
