#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace travonix {

// What a MIPS32 machine word does to the flow of control, read from its
// bits. The listing's mnemonic is only objdump's text beside the word; what
// runs on the chip is the word, so every decision that moves or questions
// code is taken from here.
enum class WordClass : std::uint8_t {
    Other,         // no change of flow (or nothing this tool moves)
    Jump,          // j: absolute within the 256 MiB region
    Call,          // jal
    ModeCall,      // jalx: a call that switches the instruction set
    RegisterJump,  // jr, jr.hb
    RegisterCall,  // jalr, jalr.hb
    Branch,        // beq, bne, blez, bgtz, bltz, bgez, their likely forms, bc1t...
    BranchAndLink, // bltzal, bgezal (bal), bltzall, bgezall
};

[[nodiscard]] WordClass classOfWord(std::uint32_t word);

// The target of a j, jal or jalx at `address`: in the 256 MiB region of its
// delay slot.
[[nodiscard]] std::uint32_t absoluteJumpTarget(std::uint32_t address, std::uint32_t word);
// The target of a PC-relative branch at `address`: its delay slot plus the
// sign-extended offset in words.
[[nodiscard]] std::uint32_t branchTarget(std::uint32_t address, std::uint32_t word);
// The target of the word at `address` when it has one fixed by its bits
// (jumps and branches), else nothing.
[[nodiscard]] std::optional<std::uint32_t> fixedTarget(std::uint32_t address, std::uint32_t word);

// The word of a code line's word field: exactly eight hexadecimal digits,
// optionally followed by the one blank objdump prints after them. Anything
// else (a line cut inside its word, "0085102g") is not a word.
[[nodiscard]] std::optional<std::uint32_t> wholeWord(std::string_view field);

// The class a jump mnemonic names (j, jal, jalx, jr, jr.hb, jalr, jalr.hb,
// in any letter case); nothing for any other text. Only the jumps are
// compared with the word: they are what the conversion moves or questions.
[[nodiscard]] std::optional<WordClass> claimedJumpClass(std::string_view mnemonic);

// What a class is called where the listing's text and its word disagree.
[[nodiscard]] std::string_view wordClassName(WordClass word);

} // namespace travonix
