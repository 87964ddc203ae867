#include "execution/BlockLayout.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

namespace travonix::execution {
namespace {

struct NamedBlock {
    ElfSymbol symbol;
    CFunctionBlock block;
};

std::string withoutUnderscores(std::string name) {
    name.erase(std::remove(name.begin(), name.end(), '_'), name.end());
    return name;
}

const std::string& onlyFile(const GeneratedBas& output) {
    if (output.files.size() != 1)
        throw std::runtime_error("expected one .bas file, got " +
                                 std::to_string(output.files.size()));
    return output.files.begin()->second;
}

// The code symbol a block's "CFunction " name stands for (underscores dropped);
// none for a data block.
std::optional<ElfSymbol> codeSymbolFor(const ElfImage& image, const std::string& blockName) {
    std::optional<ElfSymbol> found;
    for (const ElfSymbol& symbol : image.symbols()) {
        if (!symbol.isFunction || withoutUnderscores(symbol.name) != blockName)
            continue;
        if (found)
            throw std::runtime_error("two routines are named " + blockName + " in a block");
        found = symbol;
    }
    return found;
}

// The code blocks of an individual or single-file output, with their symbols.
std::vector<NamedBlock> codeBlocks(const GeneratedBas& output, OutputMode mode,
                                   const ElfImage& image) {
    std::vector<NamedBlock> named;
    auto add = [&](const std::optional<ElfSymbol>& symbol, const CFunctionBlock& block) {
        if (symbol && symbol->isFunction)
            named.push_back({*symbol, block});
    };
    if (mode == OutputMode::IndividualFiles) {
        for (const auto& [file, text] : output.files) {
            auto blocks = parseCFunctionBlocks(text);
            if (blocks.size() != 1)
                throw std::runtime_error(file + ".bas does not hold exactly one block");
            add(image.symbol(file), blocks.front());
        }
    } else {
        for (const CFunctionBlock& block : parseCFunctionBlocks(onlyFile(output)))
            add(codeSymbolFor(image, block.name), block);
    }
    return named;
}

BlockLayout separateLayout(const GeneratedBas& output, OutputMode mode, const ElfImage& image,
                           const CorpusFunction& function, std::uint32_t loadAddress) {
    std::vector<NamedBlock> blocks = codeBlocks(output, mode, image);
    auto own = std::find_if(blocks.begin(), blocks.end(),
                            [&](const NamedBlock& b) { return b.symbol.name == function.name; });
    if (own == blocks.end())
        throw std::runtime_error("no block for " + function.name);

    BlockLayout layout;
    layout.ownWords = own->block.words;
    if (function.selfContained) {
        layout.pieces.push_back({loadAddress, own->block.words});
        layout.entry = loadAddress + own->block.entryByteOffset();
        return layout;
    }
    std::uint32_t base = own->symbol.value;
    for (const NamedBlock& b : blocks)
        base = std::min(base, b.symbol.value);
    for (const NamedBlock& b : blocks)
        layout.pieces.push_back({loadAddress + (b.symbol.value - base), b.block.words});
    layout.entry = loadAddress + (own->symbol.value - base) + own->block.entryByteOffset();
    return layout;
}

// Word offset of a routine inside the merged block, from the comment line
// naming it; must agree with the distance of the symbols in the program.
std::uint32_t mergedWordOffset(const CFunctionBlock& block, const ElfImage& image,
                               const std::string& name) {
    if (block.comments.empty())
        throw std::runtime_error("merged block without the first routine's name");
    const std::string& first = block.comments.front().text;
    auto index = block.commentWordIndex(name);
    if (!index)
        throw std::runtime_error("merged block does not name " + name);
    std::uint32_t linkDistance = image.address(name) - image.address(first);
    if (4 * *index != linkDistance)
        throw std::runtime_error(name + " starts at word " + std::to_string(*index) +
                                 " of the merged block but " + std::to_string(linkDistance) +
                                 " bytes after " + first + " in the program");
    return static_cast<std::uint32_t>(*index);
}

// A routine's words in the merged block: from its offset to the next comment
// line that names a routine.
std::vector<std::uint32_t> wordsUpToNextName(const CFunctionBlock& block, std::uint32_t offset) {
    std::size_t end = block.words.size();
    for (const BlockComment& comment : block.comments)
        if (comment.wordIndex > offset)
            end = std::min(end, comment.wordIndex);
    return {block.words.begin() + offset, block.words.begin() + static_cast<std::ptrdiff_t>(end)};
}

BlockLayout mergedLayout(const GeneratedBas& output, const ElfImage& image,
                         const CorpusFunction& function, std::uint32_t loadAddress) {
    CFunctionBlock block = findBlock(parseCFunctionBlocks(onlyFile(output)), kMergedName);
    std::uint32_t offset = mergedWordOffset(block, image, function.name);
    if (offset >= block.words.size())
        throw std::runtime_error(function.name + " lies past the end of the merged block");
    if (function.name == "main" && offset != block.entryOffset)
        throw std::runtime_error("the entry-offset word " + std::to_string(block.entryOffset) +
                                 " does not point at main (word " + std::to_string(offset) + ")");
    if (function.name == "main")
        offset = block.entryOffset; // the interpreter enters here
    BlockLayout layout;
    layout.pieces.push_back({loadAddress, block.words});
    layout.entry = loadAddress + 4 * offset;
    layout.ownWords = wordsUpToNextName(block, offset);
    return layout;
}

} // namespace

BlockLayout relaidLayout(const GeneratedBas& output, const std::string& routine,
                         std::uint32_t loadAddress) {
    CFunctionBlock block = findBlock(parseCFunctionBlocks(onlyFile(output)), kMergedName);
    auto index = block.commentWordIndex(routine);
    if (!index || *index >= block.words.size())
        throw std::runtime_error("the re-laid block does not name " + routine);
    if (routine == "main" && *index != block.entryOffset)
        throw std::runtime_error("the entry-offset word does not point at main");
    BlockLayout layout;
    layout.pieces.push_back({loadAddress, block.words});
    layout.entry = loadAddress + 4 * static_cast<std::uint32_t>(*index);
    layout.ownWords = wordsUpToNextName(block, static_cast<std::uint32_t>(*index));
    return layout;
}

void BlockLayout::loadInto(MipsMachine& machine) const {
    for (const PlacedWords& piece : pieces)
        machine.loadWords(piece.address, piece.words);
}

BlockLayout layoutFor(const GeneratedBas& output, OutputMode mode, const ElfImage& image,
                      const CorpusFunction& function, std::uint32_t loadAddress) {
    if (mode == OutputMode::Merged)
        return mergedLayout(output, image, function, loadAddress);
    return separateLayout(output, mode, image, function, loadAddress);
}

} // namespace travonix::execution
