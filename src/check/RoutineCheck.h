#pragma once

#include "check/BlockLayout.h"
#include "check/BranchCheck.h"
#include "check/Finding.h"
#include "check/ImageExtent.h"
#include "check/InstructionLine.h"
#include "check/UpperHalves.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace travonix::check {

// Checks one routine after another; its room is kept from one routine to the
// next, since a merged block of a whole program has tens of thousands.
class RoutineCheck {
  public:
    explicit RoutineCheck(const ImageExtent& image) : image_(image) {}

    // A routine's lines come one at a time, as they are parsed: a routine
    // can be a million lines long (a huge function, or a gap filled with
    // zero words), and only what is looked at again at its end is kept of a
    // line (its branch, its lui), not the parsed line itself.
    void start(std::string_view name, std::size_t index);
    void step(const InstructionLine& here, bool isCode);
    // Every word of the routine is placed in `layout` by now; the words of
    // the routines after it are not.
    void finish(bool isCode, const BlockLayout& layout, std::vector<PlacedFinding>& out,
                std::vector<PendingBranch>& branches);

  private:
    // An address of the image reached from a line: built in a register, used
    // as a load or store address, or held as a data word.
    enum class Use { Built, Accessed, Held, UpperHalfOnly };

    // What is looked at again of a lui line once the routine is read: its
    // lower half may never have been seen.
    struct LuiLine {
        std::size_t line = 0;
        std::uint32_t address = 0;
        std::int64_t immediate = 0;
    };
    // A branch line with a target, looked up once the routine's words are placed.
    struct BranchLine {
        std::size_t line = 0;
        std::uint32_t address = 0;
        std::uint32_t target = 0;
        std::string_view mnemonic; // views into the listing, which outlives the check
        std::string_view operandText;
    };

    void lookUpBranches(const BlockLayout& layout, std::vector<PendingBranch>& branches);
    // The line being checked: only the current line is at hand.
    [[nodiscard]] const InstructionLine& line(std::size_t) const { return *here_; }
    void keep(std::size_t i, Finding finding);
    void report(std::size_t i, FindingKind kind, std::string detail, std::string_view advice);
    [[nodiscard]] std::string describe(std::uint32_t address, const ImageSection& section) const;
    void reportAddress(std::size_t i, std::uint32_t address, Use use);
    void checkDataWord(std::size_t i);
    void checkInstruction(std::size_t i);
    void reportOutOfReach(std::size_t i);
    void reportIndirect(std::size_t i);
    void reportGp(std::size_t i);

    // The addresses built from a lui's upper half (AddressTracking.cpp).
    void trackAddresses(std::size_t i);
    void trackLui(std::size_t i);
    [[nodiscard]] bool trackLowerHalf(std::size_t i);
    [[nodiscard]] bool trackIndex(std::size_t i);
    [[nodiscard]] bool trackMove(std::size_t i);
    void trackMemoryUses(std::size_t i);
    void applyPendingClobber();
    void checkUnfinishedUpperHalves();

    const ImageExtent& image_;
    std::string_view name_;                 // of the routine
    std::size_t index_ = 0;                 // of the routine in its block
    std::size_t lines_ = 0;                 // parsed lines of the routine so far
    const InstructionLine* here_ = nullptr; // the line being checked
    std::uint32_t address_ = 0;             // of the line a finding is reported on
    std::vector<PlacedFinding> found_;
    std::vector<std::uint8_t> hasFinding_; // per line: at most one finding each
    std::vector<std::uint8_t> luiConsumed_;
    std::vector<LuiLine> luiLines_;
    std::vector<BranchLine> branchLines_; // with a target to look up
    UpperHalves halves_;
    bool clobberAfterNext_ = false;
};

} // namespace travonix::check
