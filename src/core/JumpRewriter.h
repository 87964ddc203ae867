#pragma once

#include "core/Diagnostic.h"
#include "core/Listing.h"
#include "core/Messages.h"

#include <string>
#include <vector>

namespace travonix {

// A jal or j whose target a branch cannot reach: it stays as it is.
struct UnconvertedJump {
    std::size_t line = 0;
    std::uint32_t address = 0;
    std::uint32_t target = 0;
};

struct JumpReport {
    std::size_t rewritten = 0;
    std::vector<UnconvertedJump> unconverted;
    Diagnostics diagnostics; // the one message about the unconverted ones
};

// The branch that replaces one jump line, or std::nullopt when the line is
// not a jal/j line: a code line (address, word, mnemonic and maybe operands)
// whose word is a jal or j, whatever its mnemonic says. The target is the
// word's. `reachable` is false for a jump out of a branch's reach.
struct RewrittenJump {
    bool reachable = false;
    // The mnemonic and operand say what the word does. When they do not, the
    // word decides, and the new line names the word's target.
    bool textAgrees = true;
    std::string text; // the new line: address, TAB, word, TAB, bal/b, TAB, operands
    std::uint32_t target = 0;
};
[[nodiscard]] std::optional<RewrittenJump> rewriteJumpText(std::string_view line);

// Rewrites every absolute jal/j of the code lines into the PC-relative
// bal/b that reaches the same target from the same place, in place: the new
// word is what generation copies. Header, data and filler lines are never
// rewritten. Out-of-reach jumps stay and are counted in one message. A line
// whose text contradicts its word about a jump is reported; its word decides.
JumpReport rewriteJumps(Listing& listing);

} // namespace travonix
