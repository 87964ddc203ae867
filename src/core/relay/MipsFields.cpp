#include "core/relay/MipsFields.h"

namespace travonix::relay {

MemoryAccess memoryAccessOf(std::uint32_t word) {
    switch (opcodeOf(word)) {
    case 0x20: // lb
    case 0x21: // lh
    case 0x22: // lwl
    case 0x23: // lw
    case 0x24: // lbu
    case 0x25: // lhu
    case 0x26: // lwr
    case 0x30: // ll
    case 0x31: // lwc1
    case 0x35: // ldc1
        return MemoryAccess::Load;
    case 0x28: // sb
    case 0x29: // sh
    case 0x2A: // swl
    case 0x2B: // sw
    case 0x2E: // swr
    case 0x38: // sc (also writes rt: see registerWrittenBy)
    case 0x39: // swc1
    case 0x3D: // sdc1
        return MemoryAccess::Store;
    default:
        return MemoryAccess::None;
    }
}

Written registerWrittenBy(std::uint32_t word) {
    const std::uint32_t op = opcodeOf(word);
    switch (op) {
    case 0x00: { // SPECIAL: rd, except the jumps, moves to hi/lo, traps, sync
        const std::uint32_t funct = word & 0x3F;
        if (funct == 0x08 || funct == 0x11 || funct == 0x13 || (funct >= 0x18 && funct <= 0x1B) ||
            (funct >= 0x30 && funct <= 0x36) || funct == 0x0F || funct == 0x0C || funct == 0x0D)
            return {};
        return {rdOf(word), false};
    }
    case 0x01: // REGIMM: the linking branches write ra
        return (rtOf(word) >= 16 && rtOf(word) <= 19) ? Written{kRa, false} : Written{};
    case 0x02: // j
        return {};
    case 0x03: // jal
        return {kRa, false};
    case 0x04: // beq, bne, blez, bgtz and their likely forms
    case 0x05:
    case 0x06:
    case 0x07:
    case 0x14:
    case 0x15:
    case 0x16:
    case 0x17:
        return {};
    case 0x1C: // SPECIAL2: mul writes rd; madd, msub and friends write hi/lo
        return (word & 0x3F) == 0x02 || (word & 0x3F) == 0x20 || (word & 0x3F) == 0x21
                   ? Written{rdOf(word), false}
                   : Written{};
    case 0x1F: // SPECIAL3: ext writes rt, ins writes rt, bshfl (seb, seh, wsbh) writes rd
        if ((word & 0x3F) == 0x20)
            return {rdOf(word), false};
        if ((word & 0x3F) == 0x00 || (word & 0x3F) == 0x04)
            return {rtOf(word), false};
        return {std::nullopt, true};
    case 0x11: // COP1: mfc1, cfc1, mfhc1 write rt; branches and arithmetic write none
        return (rsOf(word) == 0 || rsOf(word) == 2 || rsOf(word) == 3) ? Written{rtOf(word), false}
                                                                       : Written{};
    case 0x10: // COP0: mfc0 and di/ei write rt
        return (rsOf(word) == 0 || rsOf(word) == 0x0B) ? Written{rtOf(word), false} : Written{};
    default:
        break;
    }
    if (op >= 0x08 && op <= 0x0F) // addi ... lui
        return {rtOf(word), false};
    if (memoryAccessOf(word) == MemoryAccess::Load)
        return op == 0x31 || op == 0x35 ? Written{} : Written{rtOf(word), false};
    if (op == 0x38) // sc writes its success flag
        return {rtOf(word), false};
    if (memoryAccessOf(word) == MemoryAccess::Store || op == 0x2F) // stores, cache
        return {};
    return {std::nullopt, true};
}

} // namespace travonix::relay
