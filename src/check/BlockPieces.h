#pragma once

#include "check/BlockLayout.h"
#include "check/BranchCheck.h"
#include "check/Finding.h"
#include "check/ImageExtent.h"
#include "check/InstructionLine.h"
#include "check/RoutineCheck.h"

#include <cstddef>
#include <span>
#include <vector>

namespace travonix::check {

class BlockSource;

// The routines [first, end) of one block: the whole block, or a share of a
// large one (a merged block of a whole program), so that several threads
// can check it.
struct BlockPiece {
    std::size_t block = 0;
    std::size_t first = 0;
    std::size_t end = 0;
    bool wholeBlock = true;
};

struct PieceResult {
    BlockLayout layout;
    std::vector<PlacedFinding> found;
    std::vector<PendingBranch> branches; // whose target was not placed in the piece
    std::vector<Finding> findings;       // a whole block's, once it is finished
};

// What a thread keeps from one routine to the next.
struct PieceScratch {
    std::vector<LineFields> lines; // a slice of the routine's lines
    InstructionLine parsed;
};

// One pass over the piece's lines: each line is parsed, placed and checked
// in turn, so neither a merged block of a whole program nor a huge routine
// ever holds all its parsed lines at once.
void checkPiece(const ImageExtent& image, const BlockSource& blocks, const BlockPiece& piece,
                PieceScratch& scratch, PieceResult& result);

// The branches left are looked up once every word of the block has its
// place; the block's findings then go to `out` in routine and line order.
void finishBlock(std::size_t block, BlockLayout& layout, std::vector<PlacedFinding>& found,
                 const std::vector<PendingBranch>& branches, std::vector<Finding>& out);

// The shares of one block, each checked: their findings go to `out` in
// routine and line order, as if the block had been checked in one piece.
// The shares' results are freed as they are taken.
void finishSharedBlock(const ImageExtent& image, const BlockSource& blocks,
                       std::span<const BlockPiece> shares, std::span<PieceResult> results,
                       std::vector<Finding>& out);

} // namespace travonix::check
