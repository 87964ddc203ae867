#include "check/InstructionLine.h"

#include "core/Text.h"

#include <array>

namespace travonix::check {

namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The ABI names objdump uses by default, in register order; "s8" is also
// printed as "fp".
constexpr std::array<std::string_view, 32> kRegisterNames = {
    "zero", "at", "v0", "v1", "a0", "a1", "a2", "a3", "t0", "t1", "t2",
    "t3",   "t4", "t5", "t6", "t7", "s0", "s1", "s2", "s3", "s4", "s5",
    "s6",   "s7", "t8", "t9", "k0", "k1", "gp", "sp", "s8", "ra"};

std::string_view firstWord(std::string_view text) {
    text = trimBlanks(text);
    std::size_t end = text.find_first_of(" \t");
    return end == std::string_view::npos ? text : text.substr(0, end);
}

Operands splitOperands(std::string_view text) {
    std::size_t symbol = text.find('<');
    if (symbol != std::string_view::npos)
        text = text.substr(0, symbol);
    Operands operands;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        std::string_view part =
            text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
        part = trimBlanks(part);
        if (!part.empty())
            operands.push_back(part);
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return operands;
}

} // namespace

std::optional<std::uint32_t> parseHex(std::string_view text) {
    if (text.empty() || text.size() > 8)
        return std::nullopt;
    std::uint32_t value = 0;
    for (char c : text) {
        int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return value;
}

// The line's TAB-separated fields, at most four (the last one keeps the
// rest), found in place.
std::size_t fieldsOf(std::string_view line, std::array<std::string_view, 4>& fields) {
    std::size_t count = 0;
    std::size_t start = 0;
    while (count + 1 < fields.size()) {
        const std::size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos)
            break;
        fields[count++] = line.substr(start, tab - start);
        start = tab + 1;
    }
    fields[count++] = line.substr(start);
    return count;
}

std::optional<InstructionLine> parseInstructionLine(std::string_view line) {
    std::array<std::string_view, 4> fields;
    const std::size_t count = fieldsOf(trimBlanks(line), fields);
    if (count < 2)
        return std::nullopt;
    std::string_view address = trimBlanks(fields[0]);
    if (address.size() < 2 || address.back() != ':')
        return std::nullopt;
    auto addressValue = parseHex(address.substr(0, address.size() - 1));
    std::string_view word = trimBlanks(fields[1]);
    auto wordValue = parseHex(word);
    if (!addressValue || !wordValue || word.size() % 2 != 0)
        return std::nullopt;

    InstructionLine parsed;
    parsed.address = *addressValue;
    parsed.word = *wordValue;
    parsed.wordBytes = static_cast<int>(word.size() / 2);
    if (count >= 3)
        parsed.mnemonic = toLowerAscii(firstWord(fields[2]));
    if (count >= 4) {
        parsed.operandText = trimBlanks(fields[3]);
        parsed.operands = splitOperands(parsed.operandText);
    }
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
    if (name == "fp")
        return 30;
    if (name == "zero")
        return 0;
    // Every other name has two letters: compare them without a call.
    if (name.size() != 2)
        return std::nullopt;
    for (std::size_t i = 1; i < kRegisterNames.size(); ++i)
        if (name[0] == kRegisterNames[i][0] && name[1] == kRegisterNames[i][1])
            return static_cast<int>(i);
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
        auto hex = parseHex(text.substr(2));
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
    // objdump prints a target with all eight digits; a shorter operand is a
    // register name such as a0 that happens to read as hexadecimal.
    if (line.operands.empty() || line.operands.back().size() != 8)
        return std::nullopt;
    return parseHex(line.operands.back());
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
