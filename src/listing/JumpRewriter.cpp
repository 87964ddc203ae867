#include "listing/JumpRewriter.h"

#include "app/Product.h"
#include "listing/ListingLines.h"
#include "listing/TextRules.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <utility>

namespace travonix {

namespace {

enum class JumpKind { Call, Jump };

// Branch offsets count words from the delay slot, within a signed 16 bits
// less its most negative value.
constexpr std::int64_t kMaxBranchWords = 32767;

std::optional<JumpKind> jumpKindOf(std::string_view mnemonic) {
    if (mnemonic.size() >= 4)
        return std::nullopt; // jalr and the like
    if (containsNoCase(mnemonic, "jal"))
        return JumpKind::Call;
    if (equalsNoCase(mnemonic, "j"))
        return JumpKind::Jump;
    return std::nullopt;
}

// Offset in words from the delay slot to the target, truncated toward zero;
// std::nullopt when the branch cannot reach it.
std::optional<std::int32_t> branchOffset(std::string_view addressField,
                                         std::string_view targetField) {
    const auto delaySlot =
        static_cast<std::int32_t>(static_cast<std::uint32_t>(hexValue(addressField)) + 4U);
    const std::int64_t difference =
        static_cast<std::int64_t>(hexValue(targetField)) - static_cast<std::int64_t>(delaySlot);
    if (difference < INT32_MIN || difference > INT32_MAX)
        return std::nullopt;
    const std::int64_t words = difference / 4;
    if (std::llabs(words) > kMaxBranchWords)
        return std::nullopt;
    return static_cast<std::int32_t>(words);
}

} // namespace

JumpLineResult rewriteJumpLine(std::string& line) {
    // A header is how generation finds its function again, even when its
    // symbol text happens to hold TABs in the shape of a jump.
    if (line.empty() || isFunctionHeader(trimBlanks(line)))
        return JumpLineResult::NotAJump;
    const auto fields = splitTabs(line, 5);
    if (fields.size() != 4)
        return JumpLineResult::NotAJump;
    const auto kind = jumpKindOf(fields[2]);
    if (!kind)
        return JumpLineResult::NotAJump;
    const auto offset = branchOffset(fields[0], fields[3]);
    if (!offset)
        return JumpLineResult::OutOfReach;

    const bool call = *kind == JumpKind::Call;
    std::string rewritten(fields[0]);
    rewritten += '\t';
    rewritten += call ? "0411" : "1000"; // BGEZAL $0 / BEQ $0,$0: always taken
    rewritten += hexUpperPadded(static_cast<std::uint16_t>(*offset), 4);
    rewritten += '\t';
    rewritten += call ? "bal" : "b";
    rewritten += '\t';
    rewritten += fields[3];
    line = std::move(rewritten);
    return JumpLineResult::Rewritten;
}

int rewriteJumps(std::vector<ListingItem>& listing) {
    int unconverted = 0;
    for (ListingItem& item : listing) {
        switch (rewriteJumpLine(item.text)) {
        case JumpLineResult::Rewritten:
            item.selected = true;
            break;
        case JumpLineResult::OutOfReach:
            ++unconverted;
            break;
        case JumpLineResult::NotAJump:
            break;
        }
    }
    return unconverted;
}

std::string unconvertedJumpsMessage(int count) {
    return "There are " + std::to_string(count) +
           " unconverted JAL/J instructions in the output, targets are too far away";
}

void ConvertJumps(Form& form) {
    const int unconverted = rewriteJumps(form.state.showFile);
    if (unconverted > 0)
        form.ui.messageBox(unconvertedJumpsMessage(unconverted), kProductName);
}

} // namespace travonix
