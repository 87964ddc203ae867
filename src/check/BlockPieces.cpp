#include "check/BlockPieces.h"

#include "check/RelocationCheck.h"

#include <algorithm>
#include <utility>

namespace travonix::check {

namespace {

// Code is what lies in a .text section; a routine whose address the listing
// does not show is taken as code too. Decided by its first word line.
bool isCodeRoutine(const ImageExtent& image, const InstructionLine& first) {
    const ImageSection* section = image.sectionAt(first.address);
    return section == nullptr || section->name.rfind(".text", 0) == 0;
}

// Lines of a routine read at a time: a routine a million lines long is read
// a slice after another, never split whole.
constexpr std::size_t kSliceLines = 4096;

// A finding of routine `routine` of block `block`, as the run gives it.
Finding& locate(Finding& finding, std::size_t block, std::size_t routine) {
    finding.block = block;
    finding.routine = routine;
    return finding;
}

void moveFindings(std::size_t block, std::vector<PlacedFinding>& found, std::vector<Finding>& out) {
    out.reserve(out.size() + found.size());
    for (PlacedFinding& finding : found)
        out.push_back(std::move(locate(finding.finding, block, finding.routine)));
    found = {};
}

// Each share's findings are in line order, and the shares follow each other:
// the findings of the branches looked up now, once the block's layout is
// whole, are merged in.
void mergeShareFindings(std::size_t block, const BlockLayout& layout,
                        std::span<PieceResult> results, std::vector<Finding>& out) {
    std::vector<PlacedFinding> late;
    for (const PieceResult& result : results)
        for (const PendingBranch& branch : result.branches)
            if (auto finding = branchFinding(layout, branch))
                late.push_back({branch.routine, branch.line, std::move(*finding)});
    std::stable_sort(late.begin(), late.end(), inLineOrder);
    auto next = late.begin();
    for (PieceResult& result : results) {
        for (PlacedFinding& finding : result.found) {
            for (; next != late.end() && inLineOrder(*next, finding); ++next)
                out.push_back(std::move(locate(next->finding, block, next->routine)));
            out.push_back(std::move(locate(finding.finding, block, finding.routine)));
        }
        result = {};
    }
    for (; next != late.end(); ++next)
        out.push_back(std::move(locate(next->finding, block, next->routine)));
}

} // namespace

void checkPiece(const ImageExtent& image, const BlockSource& blocks, const BlockPiece& piece,
                PieceScratch& scratch, PieceResult& result) {
    RoutineCheck check(image);
    for (std::size_t r = piece.first; r < piece.end; ++r) {
        check.start(blocks.routineName(piece.block, r), r);
        bool first = true;
        bool isCode = true; // a routine without word lines has nothing to check
        for (std::size_t from = 0;; from += kSliceLines) {
            blocks.routineLines(piece.block, r, from, kSliceLines, scratch.lines);
            for (const LineFields& line : scratch.lines) {
                if (!parseInstructionFields(line, scratch.parsed))
                    continue;
                if (first)
                    isCode = isCodeRoutine(image, scratch.parsed);
                first = false;
                result.layout.place(scratch.parsed.address);
                check.step(scratch.parsed, isCode);
            }
            if (scratch.lines.size() < kSliceLines)
                break;
        }
        check.finish(isCode, result.layout, result.found, result.branches);
    }
}

void finishBlock(std::size_t block, BlockLayout& layout, std::vector<PlacedFinding>& found,
                 const std::vector<PendingBranch>& branches, std::vector<Finding>& out) {
    layout.seal();
    const std::size_t checked = found.size();
    for (const PendingBranch& branch : branches)
        if (auto finding = branchFinding(layout, branch))
            found.push_back({branch.routine, branch.line, std::move(*finding)});
    if (found.size() != checked)
        std::stable_sort(found.begin(), found.end(), inLineOrder);
    moveFindings(block, found, out);
}

// The shares' words are joined in one layout when they came in address
// order throughout, as is usual; otherwise the block is checked again in one
// pass, so a word placed twice keeps the position of the first.
void finishSharedBlock(const ImageExtent& image, const BlockSource& blocks,
                       std::span<const BlockPiece> shares, std::span<PieceResult> results,
                       std::vector<Finding>& out) {
    const std::size_t block = shares.front().block;
    BlockLayout layout;
    bool inOrder = true;
    for (const PieceResult& result : results)
        inOrder = inOrder && layout.appendInOrder(result.layout);
    if (inOrder) {
        mergeShareFindings(block, layout, results, out);
        return;
    }
    for (PieceResult& result : results)
        result = {};
    PieceResult whole;
    PieceScratch scratch;
    checkPiece(image, blocks, {block, 0, blocks.routineCount(block), true}, scratch, whole);
    finishBlock(block, whole.layout, whole.found, whole.branches, out);
}

} // namespace travonix::check
