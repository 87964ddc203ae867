#pragma once

#include "check/Finding.h"
#include "check/ImageExtent.h"
#include "check/InstructionLine.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace travonix::check {

// A routine as it goes into a block: its name and the lines after its header
// up to the next empty line, as they stand after the jump rewriting.
struct RoutineBody {
    std::string name;
    std::vector<std::string> lines;
};

// One CFunction block about to be written: one routine in the individual and
// single-file modes, every selected routine in listing order when merged.
struct BlockContent {
    std::string name; // the CFunction name
    std::vector<RoutineBody> routines;
};

// The blocks a conversion writes, as the check reads them: one routine's
// lines at a time, so a merged block of a whole program is never held as a
// whole, and no line is copied.
// Routine `routine` of block `block`; after a block's last routine,
// `routine` is one past it.
struct RoutinePlace {
    std::size_t block = 0;
    std::size_t routine = 0;
};

class BlockSource {
  public:
    virtual ~BlockSource() = default;
    [[nodiscard]] virtual std::size_t blockCount() const = 0;
    [[nodiscard]] virtual std::size_t routineCount(std::size_t block) const = 0;
    [[nodiscard]] virtual std::string_view routineName(std::size_t block,
                                                       std::size_t routine) const = 0;
    // Replaces `lines` with at most `most` of the routine's lines, from its
    // line `from` on, split at their TABs, as views into a text that
    // outlives the check; fewer than `most` only at the routine's end. A
    // routine is read a slice at a time: it can be a million lines long.
    virtual void routineLines(std::size_t block, std::size_t routine, std::size_t from,
                              std::size_t most, std::vector<LineFields>& lines) const = 0;
    // Every routine before `place` is checked (those of earlier blocks, and
    // the block's own before `place.routine`): a source over a large listing
    // may let their text go.
    virtual void checkedUpTo(const RoutinePlace& place) const { (void)place; }
};

// Blocks a caller holds as text (tests, tools).
class ContentBlocks : public BlockSource {
  public:
    explicit ContentBlocks(const std::vector<BlockContent>& blocks) : blocks_(blocks) {}
    [[nodiscard]] std::size_t blockCount() const override { return blocks_.size(); }
    [[nodiscard]] std::size_t routineCount(std::size_t block) const override {
        return blocks_[block].routines.size();
    }
    [[nodiscard]] std::string_view routineName(std::size_t block,
                                               std::size_t routine) const override {
        return blocks_[block].routines[routine].name;
    }
    void routineLines(std::size_t block, std::size_t routine, std::size_t from, std::size_t most,
                      std::vector<LineFields>& lines) const override;

  private:
    const std::vector<BlockContent>& blocks_;
};

// The sections a block can carry (the ones the listing reader keeps). An
// address in any other section of the image gives an unemitted-section
// finding instead of an absolute-address one: the data is not in the
// output at all.
[[nodiscard]] bool isCarriedSection(std::string_view sectionName);

// Looks at every line of every block for what will break once the
// interpreter loads the block at an address of its choosing. `listing` is
// the whole listing as objdump wrote it; it gives the extent of the program's
// image. Each line gives at most one finding, the most specific one:
// out-of-reach, indirect-jump, gp-relative, then an address in a section no
// block carries (unemitted-section) before one of the carried sections
// (absolute-address), and outside-call. Routines of sections other than code
// are data and are only checked for words holding an address of the image.
// Findings come in block, routine and line order.
[[nodiscard]] std::vector<Finding> checkRelocation(std::string_view listing,
                                                   const std::vector<BlockContent>& blocks);
[[nodiscard]] std::vector<Finding> checkRelocation(std::string_view listing,
                                                   const BlockSource& blocks);

// The same check shared by several threads: each thread that calls `help`
// checks a share of the blocks (a large block is cut into shares of its
// routines) until none is left; `findings`, called once every other helper
// has returned, checks what is left and gives the findings in the order
// checkRelocation gives them. `listing` and `blocks` outlive the run.
class RelocationCheckRun {
  public:
    // A block is cut into shares of `shareRoutines` routines when it has at
    // least twice as many.
    static constexpr std::size_t kShareRoutines = 256;
    // `image`, when given, is the listing's ImageExtent read beforehand; it
    // outlives the run.
    RelocationCheckRun(std::string_view listing, const BlockSource& blocks,
                       std::size_t shareRoutines = kShareRoutines,
                       const ImageExtent* image = nullptr);
    ~RelocationCheckRun();
    RelocationCheckRun(const RelocationCheckRun&) = delete;
    RelocationCheckRun& operator=(const RelocationCheckRun&) = delete;

    void help();
    [[nodiscard]] std::vector<Finding> findings();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace travonix::check
