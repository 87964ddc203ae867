#pragma once

#include <cstdint>
#include <optional>

namespace travonix::relay {

// The fields of a MIPS32 instruction word and the few words the re-laying
// writes. Registers are numbers 0..31.
inline constexpr std::uint32_t kZero = 0, kAt = 1, kSp = 29, kRa = 31;

inline constexpr std::uint32_t opcodeOf(std::uint32_t word) {
    return word >> 26;
}
inline constexpr std::uint32_t rsOf(std::uint32_t word) {
    return (word >> 21) & 0x1F;
}
inline constexpr std::uint32_t rtOf(std::uint32_t word) {
    return (word >> 16) & 0x1F;
}
inline constexpr std::uint32_t rdOf(std::uint32_t word) {
    return (word >> 11) & 0x1F;
}
inline constexpr std::uint32_t immediateOf(std::uint32_t word) {
    return word & 0xFFFF;
}
inline constexpr std::int32_t signedImmediateOf(std::uint32_t word) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(word & 0xFFFF));
}

inline constexpr std::uint32_t kOpLui = 0x0F, kOpAddiu = 0x09, kOpOri = 0x0D;

inline constexpr bool isLui(std::uint32_t word) {
    return opcodeOf(word) == kOpLui;
}

// A load or a store through a base register and a 16-bit signed offset
// (integer, floating point, linked): the offset may be a %lo.
enum class MemoryAccess : std::uint8_t { None, Load, Store };
[[nodiscard]] MemoryAccess memoryAccessOf(std::uint32_t word);

// The general-purpose register a word writes, when it writes one; nothing
// when it writes none. `unknown` is set for a word whose effect this table
// does not know: the caller then forgets everything it knew.
struct Written {
    std::optional<std::uint32_t> reg;
    bool unknown = false;
};
[[nodiscard]] Written registerWrittenBy(std::uint32_t word);

// Whether a word may read or write $at (the assembler's register, which
// compiled code leaves alone between instructions): any register field that
// names it.
inline constexpr bool touchesAt(std::uint32_t word) {
    return rsOf(word) == kAt || rtOf(word) == kAt || (opcodeOf(word) == 0 && rdOf(word) == kAt);
}

// Encoders.
inline constexpr std::uint32_t itype(std::uint32_t op, std::uint32_t rs, std::uint32_t rt,
                                     std::uint32_t imm) {
    return (op << 26) | (rs << 21) | (rt << 16) | (imm & 0xFFFF);
}
inline constexpr std::uint32_t lui(std::uint32_t rt, std::uint32_t imm) {
    return itype(kOpLui, 0, rt, imm);
}
inline constexpr std::uint32_t ori(std::uint32_t rt, std::uint32_t rs, std::uint32_t imm) {
    return itype(kOpOri, rs, rt, imm);
}
inline constexpr std::uint32_t addiu(std::uint32_t rt, std::uint32_t rs, std::int32_t imm) {
    return itype(kOpAddiu, rs, rt, static_cast<std::uint32_t>(imm));
}
inline constexpr std::uint32_t sw(std::uint32_t rt, std::int32_t offset, std::uint32_t base) {
    return itype(0x2B, base, rt, static_cast<std::uint32_t>(offset));
}
inline constexpr std::uint32_t lw(std::uint32_t rt, std::int32_t offset, std::uint32_t base) {
    return itype(0x23, base, rt, static_cast<std::uint32_t>(offset));
}
inline constexpr std::uint32_t addu(std::uint32_t rd, std::uint32_t rs, std::uint32_t rt) {
    return (rs << 21) | (rt << 16) | (rd << 11) | 0x21;
}
// bal (bgezal $zero) with an offset in words from its delay slot.
inline constexpr std::uint32_t bal(std::int32_t wordOffset) {
    return itype(1, 0, 0x11, static_cast<std::uint32_t>(wordOffset));
}
inline constexpr std::uint32_t kNop = 0;

// A jr/jalr word through another register.
inline constexpr std::uint32_t withSource(std::uint32_t word, std::uint32_t rs) {
    return (word & ~(0x1Fu << 21)) | (rs << 21);
}

// A PC-relative branch word with its 16-bit offset replaced.
inline constexpr std::uint32_t withBranchOffset(std::uint32_t word, std::int32_t wordOffset) {
    return (word & 0xFFFF0000u) | (static_cast<std::uint32_t>(wordOffset) & 0xFFFF);
}

} // namespace travonix::relay
