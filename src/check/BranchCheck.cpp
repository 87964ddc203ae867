#include "check/BranchCheck.h"

#include "check/FindingAdvice.h"

namespace travonix::check {

bool inLineOrder(const PlacedFinding& a, const PlacedFinding& b) {
    return a.routine != b.routine ? a.routine < b.routine : a.line < b.line;
}

std::optional<Finding> branchFinding(const BlockLayout& layout, const PendingBranch& branch) {
    auto from = layout.positionOf(branch.address);
    auto to = layout.positionOf(branch.target);
    if (!from)
        return std::nullopt; // every parsed line has its place; nothing to compare without one
    const std::string jump = "The " + branch.mnemonic + " to " + std::string(branch.operandText);
    const std::string name(branch.routineName);
    if (!to)
        return settled(
            Finding{FindingKind::OutsideCall, name, branch.address, jump, kLeavesAdvice});
    const std::int64_t linked =
        static_cast<std::int64_t>(branch.target) - (static_cast<std::int64_t>(branch.address) + 4);
    const std::int64_t placed =
        (static_cast<std::int64_t>(*to) - static_cast<std::int64_t>(*from) - 1) * 4;
    if (linked == placed)
        return std::nullopt;
    const std::int64_t off = linked - placed;
    return settled(Finding{FindingKind::OutsideCall, name, branch.address,
                           jump + " lands " + std::to_string(off < 0 ? -off : off) + " bytes " +
                               (off > 0 ? "after" : "before"),
                           kMisplacedAdvice});
}

} // namespace travonix::check
