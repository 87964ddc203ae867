#include "execution/CFunctionBlock.h"

#include <sstream>
#include <stdexcept>

namespace travonix::execution {
namespace {

std::string_view trimmed(std::string_view line) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!line.empty() && isBlank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && isBlank(line.back()))
        line.remove_suffix(1);
    return line;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

std::uint32_t parseWord(const std::string& token, const std::string& block) {
    bool valid = token.size() == 8;
    for (char c : token)
        valid = valid && isHexDigit(c);
    if (!valid)
        throw std::runtime_error("block " + block + ": \"" + token +
                                 "\" is not a word of eight hexadecimal digits");
    return static_cast<std::uint32_t>(std::stoul(token, nullptr, 16));
}

constexpr std::string_view kOpen = "CFunction ";
constexpr std::string_view kClose = "End CFunction";

// Adds one line's words to the block; the first word of a block is its entry offset.
void takeWords(std::string_view line, CFunctionBlock& block, bool& haveEntry) {
    std::istringstream tokens{std::string(line)};
    std::string token;
    while (tokens >> token) {
        std::uint32_t word = parseWord(token, block.name);
        if (haveEntry) {
            block.words.push_back(word);
        } else {
            block.entryOffset = word;
            haveEntry = true;
        }
    }
}

} // namespace

std::optional<std::size_t> CFunctionBlock::commentWordIndex(std::string_view text) const {
    for (const BlockComment& comment : comments)
        if (comment.text == text)
            return comment.wordIndex;
    return std::nullopt;
}

std::vector<CFunctionBlock> parseCFunctionBlocks(std::string_view basText) {
    std::vector<CFunctionBlock> blocks;
    std::optional<CFunctionBlock> open;
    bool haveEntry = false;
    for (std::string_view raw : splitLines(basText)) {
        std::string_view line = trimmed(raw);
        if (!open) {
            if (line.substr(0, kOpen.size()) == kOpen) {
                open = CFunctionBlock{};
                open->name = std::string(trimmed(line.substr(kOpen.size())));
                haveEntry = false;
            }
        } else if (line == kClose) {
            if (!haveEntry)
                throw std::runtime_error("block " + open->name + " has no entry-offset word");
            blocks.push_back(std::move(*open));
            open.reset();
        } else if (!line.empty() && line.front() == '\'') {
            open->comments.push_back({std::string(line.substr(1)), open->words.size()});
        } else {
            takeWords(line, *open, haveEntry);
        }
    }
    if (open)
        throw std::runtime_error("block " + open->name + " is not closed by \"End CFunction\"");
    return blocks;
}

CFunctionBlock findBlock(const std::vector<CFunctionBlock>& blocks, std::string_view name) {
    for (const CFunctionBlock& block : blocks)
        if (block.name == name)
            return block;
    throw std::runtime_error("no block named " + std::string(name));
}

std::vector<std::size_t> absoluteJumpWords(const std::vector<std::uint32_t>& words) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::uint32_t opcode = words[i] >> 26;
        if (opcode == 2 || opcode == 3)
            found.push_back(i);
    }
    return found;
}

} // namespace travonix::execution
