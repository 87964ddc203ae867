#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace travonix::check {

// One word line of a listing, in any of the forms the tool handles: as
// objdump prints it ("9d000040:<TAB>27bdffe8 <TAB>addiu<TAB>sp,sp,-24"), as
// the jump rewriting leaves it ("...<TAB>0411FFEA<TAB>bal<TAB>9d000000
// <crc_step>"), cut to address and word (read-only data), or a filler line.
// The operands of one instruction, kept in place: MIPS has at most four, and
// a listing has a line per instruction.
class Operands {
  public:
    void push_back(std::string_view operand) {
        if (count_ < items_.size())
            items_[count_++] = operand;
    }
    [[nodiscard]] bool empty() const { return count_ == 0; }
    [[nodiscard]] std::size_t size() const { return count_; }
    [[nodiscard]] std::string_view operator[](std::size_t i) const { return items_[i]; }
    [[nodiscard]] std::string_view front() const { return items_[0]; }
    [[nodiscard]] std::string_view back() const { return items_[count_ - 1]; }
    [[nodiscard]] const std::string_view* begin() const { return items_.data(); }
    [[nodiscard]] const std::string_view* end() const { return items_.data() + count_; }

  private:
    std::array<std::string_view, 6> items_{};
    std::size_t count_ = 0;
};

struct InstructionLine {
    std::uint32_t address = 0;
    std::uint32_t word = 0;
    int wordBytes = 0;    // 4 for a word; objdump prints a shorter tail of a section
    std::string mnemonic; // lower case; empty when the line has none
    // As printed, symbol included ("9d000000 <crc_step>"); a view into the
    // line, which outlives the check.
    std::string_view operandText;
    Operands operands; // split at commas, the symbol in <> left out

    // A data directive (".word", ".short", ".byte") or no mnemonic at all:
    // the word is data, not an instruction.
    [[nodiscard]] bool isData() const { return mnemonic.empty() || mnemonic.front() == '.'; }
};

// The word line's parts, or nothing for a line of another kind (header,
// empty line, section header, objdump's "..." marker).
[[nodiscard]] std::optional<InstructionLine> parseInstructionLine(std::string_view line);

// Hexadecimal digits (1 to 8, nothing else) as a 32-bit value.
[[nodiscard]] std::optional<std::uint32_t> parseHex(std::string_view text);

// A general-purpose register as objdump names it ("v0", "ra", "$31",
// "$sp"), as its number; nothing for anything else.
[[nodiscard]] std::optional<int> registerNumber(std::string_view name);

// An immediate as objdump prints it: signed decimal or "0x" hexadecimal.
[[nodiscard]] std::optional<std::int64_t> immediateValue(std::string_view text);

// A memory operand "offset(base)".
struct MemoryOperand {
    std::int64_t offset = 0;
    int base = 0;
};
[[nodiscard]] std::optional<MemoryOperand> memoryOperand(std::string_view text);

// A branch or jump target: the address objdump prints before the symbol.
[[nodiscard]] std::optional<std::uint32_t> targetAddress(const InstructionLine& line);

// Eight lower-case hexadecimal digits, as the listing writes addresses.
[[nodiscard]] std::string hexAddress(std::uint32_t address);

} // namespace travonix::check
