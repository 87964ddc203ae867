#pragma once

#include "core/relay/BlockImage.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace travonix::relay {

// Something of the block that the re-laying leaves as it is, and why.
struct LeftAsIs {
    std::uint32_t address = 0; // the word's link address
    std::string reason;
};

// A merged block re-laid so that it finds its own address at run time.
//
// Every code address stays in link form: a lui/%lo pair that builds the
// address of a routine in the block, and each word of the block's read-only
// data that holds one (a jump table, a table of function pointers), get the
// routine's address under the new layout; before every `jr` through a
// register other than `ra` and every `jalr`, the block adds its displacement
// (where it runs less where it was linked) into $at and jumps through $at.
// Every address of read-only data
// built with lui/%lo is made in run form where it is built: the lui becomes
// a short sequence that saves `ra`, takes the address of the next
// instruction with `bal`, and adds it to the link-time distance. Branches,
// the entry offset and the routines' starts follow the new layout.
struct RelayOutcome {
    bool relaid = false;
    std::string refusal; // why the block is left as it was, when it is
    std::vector<std::uint32_t> words;
    std::vector<std::size_t> routineStarts; // the image's routines' first words, re-laid
    std::size_t entry = 0;
    // Link addresses of the block's words (as linked) whose problem the
    // re-laying solved: the lui and the uses of each pair made to move, each
    // jr/jalr given the displacement, each code-address word of the data.
    std::vector<std::uint32_t> fixed;
    std::vector<LeftAsIs> left;
};

[[nodiscard]] RelayOutcome relayBlock(const BlockImage& image);

} // namespace travonix::relay
