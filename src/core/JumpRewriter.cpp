#include "core/JumpRewriter.h"

#include "core/Text.h"

#include <cstdint>
#include <cstdlib>

namespace travonix {

namespace {

enum class JumpKind { Call, Jump };

// Branch offsets count words from the delay slot, within a signed 16 bits
// less its most negative value.
constexpr std::int64_t kMaxBranchWords = 32767;

std::optional<JumpKind> jumpKindOf(std::string_view mnemonic) {
    if (mnemonic.size() >= 4)
        return std::nullopt; // jalr and the like
    // Shorter than four characters and holding "jal": "jal" itself.
    if (equalsNoCase(mnemonic, "jal"))
        return JumpKind::Call;
    if (equalsNoCase(mnemonic, "j"))
        return JumpKind::Jump;
    return std::nullopt;
}

// Offset in words from the delay slot to the target, truncated toward zero;
// std::nullopt when the branch cannot reach it.
std::optional<std::int32_t> branchOffset(std::uint32_t address, std::uint32_t target) {
    const std::uint32_t delaySlot = address + 4U;
    const std::int64_t difference = static_cast<std::int64_t>(static_cast<std::int32_t>(target)) -
                                    static_cast<std::int64_t>(static_cast<std::int32_t>(delaySlot));
    if (difference < INT32_MIN || difference > INT32_MAX)
        return std::nullopt;
    const std::int64_t words = difference / 4;
    if (std::llabs(words) > kMaxBranchWords)
        return std::nullopt;
    return static_cast<std::int32_t>(words);
}

} // namespace

std::optional<RewrittenJump> rewriteJumpText(std::string_view line) {
    // A header is how generation finds its function again, even when its
    // symbol text happens to hold TABs in the shape of a jump.
    if (line.empty() || isHeaderText(trimBlanks(line)))
        return std::nullopt;
    const auto fields = splitTabs(line, 5);
    if (fields.size() != 4)
        return std::nullopt;
    const auto kind = jumpKindOf(fields[2]);
    if (!kind)
        return std::nullopt;
    RewrittenJump jump;
    jump.target = hexValue(fields[3]);
    const auto offset = branchOffset(hexValue(fields[0]), jump.target);
    if (!offset)
        return jump;
    const bool call = *kind == JumpKind::Call;
    jump.reachable = true;
    jump.text.reserve(line.size());
    jump.text += fields[0];
    jump.text += '\t';
    jump.text += call ? "0411" : "1000"; // BGEZAL $0 / BEQ $0,$0: always taken
    jump.text += hexUpperPadded(static_cast<std::uint16_t>(*offset), 4);
    jump.text += '\t';
    jump.text += call ? "bal" : "b";
    jump.text += '\t';
    jump.text += fields[3];
    return jump;
}

JumpReport rewriteJumps(Listing& listing) {
    JumpReport report;
    for (std::size_t i = 0; i < listing.size(); ++i) {
        const ListingLine& line = listing.line(i);
        if (line.kind == LineKind::Header || line.kind == LineKind::Data ||
            line.kind == LineKind::Filler || line.kind == LineKind::Empty || line.tabCount != 3)
            continue;
        if (!jumpKindOf(listing.field(line, 2)))
            continue;
        const auto jump = rewriteJumpText(listing.text(line));
        if (!jump)
            continue;
        if (!jump->reachable) {
            report.unconverted.push_back({i, listing.address(i), jump->target});
            continue;
        }
        listing.replaceText(i, jump->text);
        listing.markRewritten(i);
        ++report.rewritten;
    }
    listing.shrinkToFit();
    if (!report.unconverted.empty())
        report.diagnostics.push_back(message(unconvertedJumpsMessage(report.unconverted.size())));
    return report;
}

std::string unconvertedJumpsMessage(std::size_t count) {
    return "There are " + std::to_string(count) +
           " unconverted JAL/J instructions in the output, targets are too far away";
}

} // namespace travonix
