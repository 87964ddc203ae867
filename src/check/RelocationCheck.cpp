#include "check/RelocationCheck.h"

#include "check/BlockPieces.h"
#include "check/ImageExtent.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace travonix::check {

bool isCarriedSection(std::string_view sectionName) {
    return sectionName == ".text" || sectionName == ".rodata";
}

struct RelocationCheckRun::State {
    State(std::string_view listing, const BlockSource& blocks, const ImageExtent* given)
        : listing(listing), blocks(blocks), given(given) {}

    const ImageExtent& image() const { return given != nullptr ? *given : own; }

    // The pieces after `first`, a share, that are shares of the same block.
    std::size_t sharesEnd(std::size_t first) const {
        std::size_t end = first;
        while (end < pieces.size() && !pieces[end].wholeBlock &&
               pieces[end].block == pieces[first].block)
            ++end;
        return end;
    }

    std::string_view listing;
    const BlockSource& blocks;
    const ImageExtent* given; // read beforehand by the caller, or null
    std::once_flag imageRead;
    ImageExtent own;
    std::vector<BlockPiece> pieces;
    std::vector<std::size_t> chunkStarts; // of each chunk in `pieces`, and the end
    std::atomic<std::size_t> nextChunk{0};
    std::vector<PieceResult> results; // one per piece
    // Chunks finish out of order on two threads; the source hears how far
    // every chunk is checked.
    std::mutex checkedMutex;
    std::vector<bool> chunksChecked;
    std::size_t checkedThrough = 0; // chunks before this one are all checked

    void chunkChecked(std::size_t chunk) {
        const std::lock_guard lock(checkedMutex);
        chunksChecked[chunk] = true;
        const std::size_t before = checkedThrough;
        while (checkedThrough < chunksChecked.size() && chunksChecked[checkedThrough])
            ++checkedThrough;
        if (checkedThrough == before)
            return;
        if (checkedThrough < chunksChecked.size()) {
            const BlockPiece& next = pieces[chunkStarts[checkedThrough]];
            blocks.checkedUpTo({next.block, next.first});
        } else {
            blocks.checkedUpTo({pieces.back().block, pieces.back().end});
        }
    }
};

namespace {

// A block of at least twice `share` routines is cut into shares of `share`.
std::vector<BlockPiece> piecesOf(const BlockSource& blocks, std::size_t share) {
    std::vector<BlockPiece> pieces;
    for (std::size_t b = 0; b < blocks.blockCount(); ++b) {
        const std::size_t count = blocks.routineCount(b);
        if (count / 2 < share) {
            pieces.push_back({b, 0, count, true});
            continue;
        }
        for (std::size_t first = 0; first < count; first += share)
            pieces.push_back({b, first, std::min(count, first + share), false});
    }
    return pieces;
}

// Where each chunk of about `share` routines starts among the pieces, and the
// end.
std::vector<std::size_t> chunkStartsOf(const std::vector<BlockPiece>& pieces, std::size_t share) {
    std::vector<std::size_t> starts;
    std::size_t routines = share;
    for (std::size_t p = 0; p < pieces.size(); ++p) {
        if (routines >= share) {
            starts.push_back(p);
            routines = 0;
        }
        routines += std::max<std::size_t>(1, pieces[p].end - pieces[p].first);
    }
    starts.push_back(pieces.size());
    return starts;
}

// Room for every finding at once: a whole program's can be tens of thousands.
std::size_t mostFindings(const std::vector<PieceResult>& results) {
    std::size_t most = 0;
    for (const PieceResult& result : results)
        most += result.findings.size() + result.found.size() + result.branches.size();
    return most;
}

} // namespace

// Pieces go to the threads in chunks of about `shareRoutines` routines.
RelocationCheckRun::RelocationCheckRun(std::string_view listing, const BlockSource& blocks,
                                       std::size_t shareRoutines, const ImageExtent* image)
    : state_(std::make_unique<State>(listing, blocks, image)) {
    const std::size_t share = std::max<std::size_t>(1, shareRoutines);
    State& s = *state_;
    s.pieces = piecesOf(blocks, share);
    s.chunkStarts = chunkStartsOf(s.pieces, share);
    s.results.resize(s.pieces.size());
    s.chunksChecked.assign(s.chunkStarts.size() - 1, false);
}

RelocationCheckRun::~RelocationCheckRun() = default;

void RelocationCheckRun::help() {
    State& s = *state_;
    if (s.given == nullptr)
        std::call_once(s.imageRead, [&s] { s.own = ImageExtent::fromListing(s.listing); });
    PieceScratch scratch;
    for (;;) {
        const std::size_t chunk = s.nextChunk.fetch_add(1);
        if (chunk + 1 >= s.chunkStarts.size())
            return;
        for (std::size_t p = s.chunkStarts[chunk]; p < s.chunkStarts[chunk + 1]; ++p) {
            PieceResult& result = s.results[p];
            checkPiece(s.image(), s.blocks, s.pieces[p], scratch, result);
            if (!s.pieces[p].wholeBlock)
                continue;
            std::vector<Finding> findings;
            finishBlock(s.pieces[p].block, result.layout, result.found, result.branches, findings);
            result = {};
            result.findings = std::move(findings);
        }
        s.chunkChecked(chunk);
    }
}

std::vector<Finding> RelocationCheckRun::findings() {
    help(); // whatever no thread took yet
    State& s = *state_;
    std::vector<Finding> findings;
    findings.reserve(mostFindings(s.results));
    // The pieces' lists are freed as they are taken.
    for (std::size_t p = 0; p < s.pieces.size();) {
        if (s.pieces[p].wholeBlock) {
            std::move(s.results[p].findings.begin(), s.results[p].findings.end(),
                      std::back_inserter(findings));
            s.results[p] = {};
            ++p;
            continue;
        }
        const std::size_t end = s.sharesEnd(p);
        finishSharedBlock(s.image(), s.blocks, std::span(s.pieces).subspan(p, end - p),
                          std::span(s.results).subspan(p, end - p), findings);
        p = end;
    }
    return findings;
}

std::vector<Finding> checkRelocation(std::string_view listing, const BlockSource& blocks) {
    RelocationCheckRun run(listing, blocks);
    return run.findings();
}

void ContentBlocks::routineLines(std::size_t block, std::size_t routine, std::size_t from,
                                 std::size_t most, std::vector<LineFields>& lines) const {
    lines.clear();
    const std::vector<std::string>& all = blocks_[block].routines[routine].lines;
    for (std::size_t i = from; i < all.size() && lines.size() < most; ++i)
        lines.push_back(splitFields(all[i]));
}

std::vector<Finding> checkRelocation(std::string_view listing,
                                     const std::vector<BlockContent>& blocks) {
    return checkRelocation(listing, ContentBlocks(blocks));
}

} // namespace travonix::check
