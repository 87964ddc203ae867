#pragma once

#include "execution/BasGenerator.h"
#include "execution/CFunctionBlock.h"
#include "execution/Corpus.h"
#include "execution/ElfImage.h"
#include "execution/MipsMachine.h"

#include <cstdint>
#include <vector>

namespace travonix::execution {

struct PlacedWords {
    std::uint32_t address = 0;
    std::vector<std::uint32_t> words;
};

// Where the generated code of one routine goes in memory for a run, and the
// address to call.
//
// Merge mode: the one merged block at the load address; `main` is entered
// through the block's entry-offset word, any other routine at the word
// offset of the comment line that names it (checked against the distance of
// the two symbols in the linked program).
//
// Individual and single-file modes: a self-contained routine's block alone
// at the load address, entered through its entry-offset word. A routine that
// calls others needs their blocks too: every code block of the output is put
// at its link-time distance from the first, so the relative branches between
// them land where the merged block would have them.
struct BlockLayout {
    std::vector<PlacedWords> pieces;
    std::uint32_t entry = 0;
    std::vector<std::uint32_t> ownWords; // the routine's own code words

    void loadInto(MipsMachine& machine) const;
};

// Throws std::runtime_error when the output does not hold the routine's block
// or the blocks disagree with the linked program.
BlockLayout layoutFor(const GeneratedBas& output, OutputMode mode, const ElfImage& image,
                      const CorpusFunction& function, std::uint32_t loadAddress);

// A re-laid merged block at `loadAddress`: the routine entered at the word of
// the comment line that names it (main through the entry-offset word). The
// routines no longer lie at their link-time distances, so none is checked.
BlockLayout relaidLayout(const GeneratedBas& output, const std::string& routine,
                         std::uint32_t loadAddress);

} // namespace travonix::execution
