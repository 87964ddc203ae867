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

// What the check needs to know of an instruction, decided once from its
// mnemonic when the line is read, so the check compares no text per line.
enum class Mnemonic : std::uint8_t {
    Other,            // any other instruction
    Data,             // a data directive (".word", ".short") or no mnemonic at all
    Lui,              // lui
    AddImmediate,     // addiu, addi
    OrImmediate,      // ori
    AddRegisters,     // addu, add
    Move,             // move
    AbsoluteJump,     // j
    AbsoluteCall,     // jal, jalx
    RegisterCall,     // jalr, jalr.hb
    RegisterJump,     // jr, jr.hb
    Branch,           // b, beq, bnez, ... (a mnemonic starting with b that branches)
    BranchAndLink,    // bal, bgezal, bltzal, bgezall, bltzall
    LeavesFirstAlone, // reads its first operand or has none: stores, traps, sync, ...
};

struct InstructionLine {
    std::uint32_t address = 0;
    std::uint32_t word = 0;
    int wordBytes = 0; // 4 for a word; objdump prints a shorter tail of a section
    // As printed (objdump prints lower case); empty when the line has none.
    std::string_view mnemonic;
    Mnemonic kind = Mnemonic::Data;
    // As printed, symbol included ("9d000000 <crc_step>"); a view into the
    // line, which outlives the check.
    std::string_view operandText;
    Operands operands; // split at commas, the symbol in <> left out
    // A jump's or branch's target, from its word's bits; nothing for a word
    // without a fixed target.
    std::optional<std::uint32_t> wordTarget;
    // The mnemonic said another kind of jump than the word is: the kind is
    // the word's.
    bool kindFromWord = false;

    [[nodiscard]] bool isData() const { return kind == Mnemonic::Data; }
    [[nodiscard]] bool isBranch() const {
        return kind == Mnemonic::Branch || kind == Mnemonic::BranchAndLink;
    }
    // Calls: the registers a called routine may change are lost after the
    // delay slot.
    [[nodiscard]] bool isCall() const {
        return kind == Mnemonic::AbsoluteCall || kind == Mnemonic::RegisterCall ||
               kind == Mnemonic::BranchAndLink;
    }
    // Whether the instruction writes the register of its first operand.
    [[nodiscard]] bool writesFirstOperand() const {
        return kind != Mnemonic::Data && kind != Mnemonic::LeavesFirstAlone && !isBranch() &&
               kind != Mnemonic::AbsoluteJump && kind != Mnemonic::AbsoluteCall &&
               kind != Mnemonic::RegisterCall && kind != Mnemonic::RegisterJump;
    }
};

// What the check asks of the lower-case mnemonic.
[[nodiscard]] Mnemonic mnemonicKind(std::string_view lowerCase);

// The address, word and word size of a word line, or nothing for a line of
// another kind (header, empty line, section header, objdump's "..." marker):
// the first half of parseInstructionLine, for a pass that needs only where
// each word lies.
struct WordLineHead {
    std::uint32_t address = 0;
    std::uint32_t word = 0;
    int wordBytes = 0;
};
[[nodiscard]] std::optional<WordLineHead> parseWordLineHead(std::string_view line);

// A line split at its first three TABs, the last field keeping the rest:
// address, word, mnemonic, operands. Blanks around a field are not part of
// it; the parse trims each field it reads.
struct LineFields {
    std::array<std::string_view, 4> fields{};
    std::size_t count = 0;
};
[[nodiscard]] LineFields splitFields(std::string_view line);

// The parts of a word line split already (the listing knows where its TABs
// are); false, with `parsed` left as it was, for a line of another kind.
[[nodiscard]] bool parseInstructionFields(const LineFields& line, InstructionLine& parsed);

// The word line's parts, or nothing for a line of another kind.
[[nodiscard]] std::optional<InstructionLine> parseInstructionLine(std::string_view line);
// The same into a line kept from before;
// false, with `parsed` left as it was, for a line of another kind.
[[nodiscard]] bool parseInstructionLine(std::string_view line, InstructionLine& parsed);

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

// A branch or jump target: the one its word holds, else the address objdump
// prints before the symbol, one to eight hexadecimal digits.
[[nodiscard]] std::optional<std::uint32_t> targetAddress(const InstructionLine& line);

// Eight lower-case hexadecimal digits, as the listing writes addresses.
[[nodiscard]] std::string hexAddress(std::uint32_t address);

} // namespace travonix::check
