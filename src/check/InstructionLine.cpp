#include "check/InstructionLine.h"

#include "core/InstructionWord.h"
#include "core/Text.h"

#include <array>
#include <initializer_list>

namespace travonix::check {

namespace {

// The ABI names objdump uses by default, in register order; "s8" is also
// printed as "fp".
constexpr std::array<std::string_view, 32> kRegisterNames = {
    "zero", "at", "v0", "v1", "a0", "a1", "a2", "a3", "t0", "t1", "t2",
    "t3",   "t4", "t5", "t6", "t7", "s0", "s1", "s2", "s3", "s4", "s5",
    "s6",   "s7", "t8", "t9", "k0", "k1", "gp", "sp", "s8", "ra"};

// Every two-letter register name by its letters: each operand of each line
// is looked up here.
constexpr std::size_t pairIndex(char first, char second) {
    return static_cast<std::size_t>(static_cast<unsigned char>(first)) * 256 +
           static_cast<unsigned char>(second);
}
const std::array<std::int8_t, 256 * 256>& twoLetterRegisters() {
    static const auto table = [] {
        std::array<std::int8_t, 256 * 256> t{};
        t.fill(-1);
        for (std::size_t i = 1; i < kRegisterNames.size(); ++i)
            t[pairIndex(kRegisterNames[i][0], kRegisterNames[i][1])] = static_cast<std::int8_t>(i);
        t[pairIndex('f', 'p')] = 30;
        return t;
    }();
    return table;
}

std::string_view firstWord(std::string_view text) {
    text = trimBlanks(text);
    std::size_t end = 0;
    while (end < text.size() && text[end] != ' ' && text[end] != '\t')
        ++end;
    return text.substr(0, end);
}

// Split at commas up to the symbol in <>, each part trimmed, in one pass,
// into the line's own operands.
void splitOperands(std::string_view text, Operands& operands) {
    operands = {};
    std::size_t start = 0;
    std::size_t i = 0;
    for (; i < text.size() && text[i] != '<'; ++i) {
        if (text[i] != ',')
            continue;
        if (auto part = trimBlanks(text.substr(start, i - start)); !part.empty())
            operands.push_back(part);
        start = i + 1;
    }
    if (auto part = trimBlanks(text.substr(start, i - start)); !part.empty())
        operands.push_back(part);
}

// The line's TAB-separated fields, at most four (the last one keeps the
// rest), found in place. A plain loop: the fields are a few characters
// each, shorter than a library search pays off for.
std::size_t fieldsOf(std::string_view line, std::array<std::string_view, 4>& fields) {
    std::size_t count = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size() && count + 1 < fields.size(); ++i) {
        if (line[i] != '\t')
            continue;
        fields[count++] = line.substr(start, i - start);
        start = i + 1;
    }
    fields[count++] = line.substr(start);
    return count;
}

bool isOneOf(std::string_view text, std::initializer_list<std::string_view> names) {
    for (std::string_view name : names)
        if (text == name)
            return true;
    return false;
}

Mnemonic jumpKind(std::string_view m) {
    if (m == "j")
        return Mnemonic::AbsoluteJump;
    if (m == "jal" || m == "jalx")
        return Mnemonic::AbsoluteCall;
    if (m == "jalr" || m == "jalr.hb")
        return Mnemonic::RegisterCall;
    if (m == "jr" || m == "jr.hb")
        return Mnemonic::RegisterJump;
    return Mnemonic::LeavesFirstAlone; // other jumps write no register the check follows
}

Mnemonic branchKind(std::string_view m) {
    if (m == "break")
        return Mnemonic::LeavesFirstAlone;
    // Operations that start with b but branch nowhere (DSP and MSA ones,
    // "bitswap"): their last operand is a register or a small number, never
    // a target. Of the MSA forms with a dot only bnz.* and bz.* branch.
    if (isOneOf(m, {"balign", "bitrev", "bitswap"}) ||
        (m.find('.') != std::string_view::npos && !m.starts_with("bnz.") && !m.starts_with("bz.")))
        return Mnemonic::Other;
    if (isOneOf(m, {"bal", "bgezal", "bltzal", "bgezall", "bltzall"}))
        return Mnemonic::BranchAndLink;
    return Mnemonic::Branch;
}

} // namespace

Mnemonic mnemonicKind(std::string_view m) {
    if (m.empty() || m.front() == '.')
        return Mnemonic::Data;
    switch (m.front()) {
    case 'j':
        return jumpKind(m);
    case 'b':
        return branchKind(m);
    case 't':
        return Mnemonic::LeavesFirstAlone; // traps (teq, tne, ...) and TLB operations
    case 'l':
        return m == "lui" ? Mnemonic::Lui : Mnemonic::Other;
    case 'a':
        if (m == "addiu" || m == "addi")
            return Mnemonic::AddImmediate;
        if (m == "addu" || m == "add")
            return Mnemonic::AddRegisters;
        return Mnemonic::Other;
    case 'o':
        return m == "ori" ? Mnemonic::OrImmediate : Mnemonic::Other;
    default:
        break;
    }
    if (m == "move")
        return Mnemonic::Move;
    if (isOneOf(m,
                {"sb",    "sh",    "sw",    "swl",    "swr",   "sc",    "swc1",    "sdc1",  "swc2",
                 "sdc2",  "swxc1", "sdxc1", "suxc1",  "mult",  "multu", "div",     "divu",  "madd",
                 "maddu", "msub",  "msubu", "mthi",   "mtlo",  "mtc0",  "mtc1",    "mthc1", "ctc1",
                 "mtc2",  "ctc2",  "mthc2", "wrpgpr", "cache", "pref",  "prefx",   "sync",  "synci",
                 "nop",   "ssnop", "ehb",   "eret",   "deret", "wait",  "syscall", "sdbbp"}))
        return Mnemonic::LeavesFirstAlone;
    return Mnemonic::Other;
}

namespace {

// The kind of a mnemonic in any letter case. A program uses a few dozen
// mnemonics over and over, so the kinds met last are kept by the mnemonic's
// lower-case letters packed into a number: most lines are a look-up.
Mnemonic kindOf(std::string_view mnemonic) {
    constexpr std::size_t kPacked = sizeof(std::uint64_t);
    if (mnemonic.empty() || mnemonic.size() > kPacked)
        return mnemonicKind(toLowerAscii(mnemonic));
    char lower[kPacked];
    std::uint64_t key = 0;
    for (std::size_t i = 0; i < mnemonic.size(); ++i) {
        lower[i] = lowerAscii(mnemonic[i]);
        key |= std::uint64_t{static_cast<unsigned char>(lower[i])} << (8 * i);
    }
    struct Known {
        std::uint64_t key = 0;
        std::size_t size = 0; // 0: nothing kept here; with the key, as NULs pack like padding
        Mnemonic kind = Mnemonic::Other;
    };
    thread_local std::array<Known, 64> known{};
    Known& slot = known[(key * 0x9E3779B97F4A7C15ULL) >> 58];
    if (slot.key != key || slot.size != mnemonic.size())
        slot = {key, mnemonic.size(), mnemonicKind(std::string_view(lower, mnemonic.size()))};
    return slot.kind;
}

// The kind of flow the word itself has; nothing for a word that keeps to
// the next instruction.
std::optional<Mnemonic> flowKindOf(WordClass word) {
    switch (word) {
    case WordClass::Jump:
        return Mnemonic::AbsoluteJump;
    case WordClass::Call:
    case WordClass::ModeCall:
        return Mnemonic::AbsoluteCall;
    case WordClass::RegisterJump:
        return Mnemonic::RegisterJump;
    case WordClass::RegisterCall:
        return Mnemonic::RegisterCall;
    case WordClass::Branch:
        return Mnemonic::Branch;
    case WordClass::BranchAndLink:
        return Mnemonic::BranchAndLink;
    case WordClass::Other:
        break;
    }
    return std::nullopt;
}

bool isFlowKind(Mnemonic kind) {
    return kind == Mnemonic::AbsoluteJump || kind == Mnemonic::AbsoluteCall ||
           kind == Mnemonic::RegisterJump || kind == Mnemonic::RegisterCall ||
           kind == Mnemonic::Branch || kind == Mnemonic::BranchAndLink;
}

// What runs is the word: a code line whose mnemonic hides a jump (or names
// one its word is not) is checked as its word, with the word's target.
void takeFlowFromWord(InstructionLine& parsed) {
    if (parsed.kind == Mnemonic::Data)
        return;
    const WordClass word = classOfWord(parsed.word);
    const std::optional<Mnemonic> flow = flowKindOf(word);
    parsed.wordTarget = fixedTarget(parsed.address, parsed.word);
    if (flow && *flow != parsed.kind) {
        parsed.kind = *flow;
        parsed.kindFromWord = true;
    } else if (!flow && isFlowKind(parsed.kind)) {
        parsed.kind = Mnemonic::Other;
        parsed.kindFromWord = true;
    }
}

// The head of a word line into `head`; false for a line of another kind.
bool readHead(const std::array<std::string_view, 4>& fields, std::size_t count,
              WordLineHead& head) {
    if (count < 2)
        return false;
    const std::string_view address = trimBlanks(fields[0]);
    if (address.size() < 2 || address.back() != ':')
        return false;
    const std::string_view word = trimBlanks(fields[1]);
    if (word.size() % 2 != 0)
        return false;
    const auto addressValue = travonix::parseHex(address.substr(0, address.size() - 1));
    const auto wordValue = travonix::parseHex(word);
    if (!addressValue || !wordValue)
        return false;
    head = {*addressValue, *wordValue, static_cast<int>(word.size() / 2)};
    return true;
}

} // namespace

LineFields splitFields(std::string_view line) {
    LineFields split;
    split.count = fieldsOf(trimBlanks(line), split.fields);
    return split;
}

std::optional<WordLineHead> parseWordLineHead(std::string_view line) {
    const LineFields split = splitFields(line);
    WordLineHead head;
    if (!readHead(split.fields, split.count, head))
        return std::nullopt;
    return head;
}

bool parseInstructionFields(const LineFields& line, InstructionLine& parsed) {
    const auto& fields = line.fields;
    WordLineHead head;
    if (!readHead(fields, line.count, head))
        return false;
    parsed.address = head.address;
    parsed.word = head.word;
    parsed.wordBytes = head.wordBytes;
    parsed.mnemonic = {};
    parsed.kind = Mnemonic::Data;
    parsed.operandText = {};
    parsed.operands = {};
    parsed.wordTarget.reset();
    parsed.kindFromWord = false;
    if (line.count >= 3) {
        parsed.mnemonic = firstWord(fields[2]);
        parsed.kind = kindOf(parsed.mnemonic);
        if (parsed.wordBytes == 4)
            takeFlowFromWord(parsed);
    }
    if (line.count >= 4) {
        parsed.operandText = trimBlanks(fields[3]);
        splitOperands(parsed.operandText, parsed.operands);
    }
    return true;
}

bool parseInstructionLine(std::string_view line, InstructionLine& parsed) {
    return parseInstructionFields(splitFields(line), parsed);
}

std::optional<InstructionLine> parseInstructionLine(std::string_view line) {
    InstructionLine parsed;
    if (!parseInstructionLine(line, parsed))
        return std::nullopt;
    return parsed;
}

std::optional<int> registerNumber(std::string_view name) {
    if (!name.empty() && name.front() == '$') {
        name.remove_prefix(1);
        if (!name.empty() && name.front() >= '0' && name.front() <= '9') {
            auto value = immediateValue(name);
            if (value && *value >= 0 && *value < 32)
                return static_cast<int>(*value);
            return std::nullopt;
        }
    }
    if (name.size() == 2) {
        const int number = twoLetterRegisters()[pairIndex(name[0], name[1])];
        return number < 0 ? std::nullopt : std::optional<int>(number);
    }
    if (name == "zero")
        return 0;
    return std::nullopt;
}

std::optional<std::int64_t> immediateValue(std::string_view text) {
    bool negative = false;
    if (!text.empty() && text.front() == '-') {
        negative = true;
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        auto hex = travonix::parseHex(text.substr(2));
        if (!hex)
            return std::nullopt;
        value = *hex;
    } else {
        if (text.size() > 10)
            return std::nullopt;
        for (char c : text) {
            if (c < '0' || c > '9')
                return std::nullopt;
            value = value * 10 + (c - '0');
        }
    }
    return negative ? -value : value;
}

std::optional<MemoryOperand> memoryOperand(std::string_view text) {
    std::size_t open = text.find('(');
    if (open == std::string_view::npos || text.back() != ')')
        return std::nullopt;
    auto base = registerNumber(text.substr(open + 1, text.size() - open - 2));
    if (!base)
        return std::nullopt;
    MemoryOperand operand;
    operand.base = *base;
    if (open > 0) {
        auto offset = immediateValue(text.substr(0, open));
        if (!offset)
            return std::nullopt;
        operand.offset = *offset;
    }
    return operand;
}

std::optional<std::uint32_t> targetAddress(const InstructionLine& line) {
    if (line.wordTarget)
        return line.wordTarget;
    // objdump prints a target without leading zeros: "9d000000", but
    // "400130" for a program linked at 0x00400130 and "a0" in a listing
    // that starts at 0. A name such as a0 is also a register, and reads as
    // a target only with the symbol objdump puts after an address.
    const bool jumps = line.isBranch() || line.kind == Mnemonic::AbsoluteJump ||
                       line.kind == Mnemonic::AbsoluteCall;
    if (!jumps || line.operands.empty())
        return std::nullopt;
    const std::string_view last = line.operands.back();
    const auto value = travonix::parseHex(last);
    if (!value)
        return std::nullopt;
    if (registerNumber(last) && line.operandText.find('<') == std::string_view::npos)
        return std::nullopt;
    return value;
}

std::string hexAddress(std::uint32_t address) {
    static const char* digits = "0123456789abcdef";
    std::string text(8, '0');
    for (int i = 7; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = digits[address & 0xF];
        address >>= 4;
    }
    return text;
}

} // namespace travonix::check
