#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace travonix::execution {

// A comment line inside a block ("'" and its text) and the number of code
// words that come before it; in a merged block each function's name stands
// in such a line just before its first word.
struct BlockComment {
    std::string text;
    std::size_t wordIndex = 0;
};

// One CFunction block as the interpreter reads it: the first word is the
// entry offset (in code words), the code words follow.
struct CFunctionBlock {
    std::string name;
    std::uint32_t entryOffset = 0;
    std::vector<std::uint32_t> words;
    std::vector<BlockComment> comments;

    // Byte offset of the entry from the first code word.
    std::uint32_t entryByteOffset() const { return 4 * entryOffset; }
    // Word index of the first comment line that reads exactly `text`.
    std::optional<std::size_t> commentWordIndex(std::string_view text) const;
};

// Every block of a .bas text, in order: the tokens between a line starting
// with "CFunction " and the next "End CFunction" line, comment lines (first
// non-blank character "'") and empty lines skipped. Throws
// std::runtime_error for a token that is not eight hexadecimal digits, a
// block without its entry-offset word, or a block that is never closed.
std::vector<CFunctionBlock> parseCFunctionBlocks(std::string_view basText);

// The block of that name (the name on its "CFunction " line); throws when
// the text holds no such block.
CFunctionBlock findBlock(const std::vector<CFunctionBlock>& blocks, std::string_view name);

// Indices of the words whose opcode is an absolute J or JAL: code holding
// one runs correctly only at the address it was linked for.
std::vector<std::size_t> absoluteJumpWords(const std::vector<std::uint32_t>& words);

} // namespace travonix::execution
