#include "core/InstructionWord.h"

#include "core/Text.h"

namespace travonix {

namespace {

constexpr std::uint32_t kSpecial = 0, kRegImm = 1, kJ = 2, kJal = 3, kCop1 = 17, kCop2 = 18,
                        kJalx = 29;
constexpr std::uint32_t kFunctJr = 8, kFunctJalr = 9;
constexpr std::uint32_t kCopBranch = 8; // the rs field of bc1t, bc1f, bc2t...

WordClass specialClass(std::uint32_t word) {
    switch (word & 0x3F) {
    case kFunctJr:
        return WordClass::RegisterJump;
    case kFunctJalr:
        return WordClass::RegisterCall;
    default:
        return WordClass::Other;
    }
}

// bltz, bgez, their likely forms and bposge32 branch; the -al forms link;
// the rest of the group (traps, synci) do neither.
WordClass regImmClass(std::uint32_t word) {
    const std::uint32_t rt = (word >> 16) & 0x1F;
    if (rt <= 3 || rt == 28)
        return WordClass::Branch;
    if (rt >= 16 && rt <= 19)
        return WordClass::BranchAndLink;
    return WordClass::Other;
}

// bc1f/bc1t, the MIPS-3D bc1any2/bc1any4, and the MSA branches on a vector
// register (bz.v, bnz.v, bz.b ... bnz.d).
bool isCop1Branch(std::uint32_t rs) {
    return (rs >= kCopBranch && rs <= 11) || rs == 15 || rs >= 24;
}

} // namespace

WordClass classOfWord(std::uint32_t word) {
    const std::uint32_t opcode = word >> 26;
    switch (opcode) {
    case kSpecial:
        return specialClass(word);
    case kRegImm:
        return regImmClass(word);
    case kJ:
        return WordClass::Jump;
    case kJal:
        return WordClass::Call;
    case kJalx:
        return WordClass::ModeCall;
    case 4:  // beq
    case 5:  // bne
    case 6:  // blez
    case 7:  // bgtz
    case 20: // beql
    case 21: // bnel
    case 22: // blezl
    case 23: // bgtzl
        return WordClass::Branch;
    case kCop1:
        return isCop1Branch((word >> 21) & 0x1F) ? WordClass::Branch : WordClass::Other;
    case kCop2:
        return ((word >> 21) & 0x1F) == kCopBranch ? WordClass::Branch : WordClass::Other;
    default:
        return WordClass::Other;
    }
}

std::uint32_t absoluteJumpTarget(std::uint32_t address, std::uint32_t word) {
    return ((address + 4U) & 0xF0000000U) | ((word & 0x03FFFFFFU) << 2);
}

std::uint32_t branchTarget(std::uint32_t address, std::uint32_t word) {
    const auto offset = static_cast<std::int32_t>(static_cast<std::int16_t>(word & 0xFFFFU));
    return address + 4U + static_cast<std::uint32_t>(offset * 4);
}

std::optional<std::uint32_t> fixedTarget(std::uint32_t address, std::uint32_t word) {
    switch (classOfWord(word)) {
    case WordClass::Jump:
    case WordClass::Call:
    case WordClass::ModeCall:
        return absoluteJumpTarget(address, word);
    case WordClass::Branch:
    case WordClass::BranchAndLink:
        return branchTarget(address, word);
    default:
        return std::nullopt;
    }
}

std::optional<std::uint32_t> wholeWord(std::string_view field) {
    constexpr std::size_t kDigits = 8;
    if (field.size() == kDigits + 1 && field.back() == ' ')
        field.remove_suffix(1);
    if (field.size() != kDigits)
        return std::nullopt;
    return parseHex(field);
}

std::optional<WordClass> claimedJumpClass(std::string_view mnemonic) {
    if (mnemonic.empty() || mnemonic.size() > 7 || (mnemonic[0] != 'j' && mnemonic[0] != 'J'))
        return std::nullopt;
    char lower[8] = {};
    for (std::size_t i = 0; i < mnemonic.size(); ++i)
        lower[i] = lowerAscii(mnemonic[i]);
    const std::string_view m(lower, mnemonic.size());
    if (m == "j")
        return WordClass::Jump;
    if (m == "jal")
        return WordClass::Call;
    if (m == "jalx")
        return WordClass::ModeCall;
    if (m == "jr" || m == "jr.hb")
        return WordClass::RegisterJump;
    if (m == "jalr" || m == "jalr.hb")
        return WordClass::RegisterCall;
    return std::nullopt;
}

std::string_view wordClassName(WordClass word) {
    switch (word) {
    case WordClass::Jump:
        return "j";
    case WordClass::Call:
        return "jal";
    case WordClass::ModeCall:
        return "jalx";
    case WordClass::RegisterJump:
        return "jr";
    case WordClass::RegisterCall:
        return "jalr";
    case WordClass::Branch:
        return "branch";
    case WordClass::BranchAndLink:
        return "branch and link";
    case WordClass::Other:
        break;
    }
    return "no jump";
}

} // namespace travonix
