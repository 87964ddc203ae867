#pragma once

#include "check/BlockLayout.h"
#include "check/Finding.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace travonix::check {

// A finding with the routine and line it belongs to, so the findings of a
// block can be put in routine and line order once its branches are checked.
struct PlacedFinding {
    std::size_t routine = 0;
    std::size_t line = 0;
    Finding finding;
};

// The order findings are given in: by routine, then by line.
[[nodiscard]] bool inLineOrder(const PlacedFinding& a, const PlacedFinding& b);

// A branch whose target can only be looked up once every word of its block
// has its place.
struct PendingBranch {
    std::size_t routine = 0;
    std::size_t line = 0;
    std::string_view routineName;
    std::uint32_t address = 0;
    std::uint32_t target = 0;
    std::string mnemonic; // lower case
    std::string_view operandText;
};

// A branch keeps its distance from the linked program; in the block its
// target may be missing, or lie nearer or farther when words between are
// missing.
[[nodiscard]] std::optional<Finding> branchFinding(const BlockLayout& layout,
                                                   const PendingBranch& branch);

} // namespace travonix::check
