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

// A routine of a block with its lines parsed.
struct PlacedRoutine {
    std::string_view name;
    std::vector<InstructionLine> lines;
};

// Checks one routine after another; its room is kept from one routine to the
// next, since a merged block of a whole program has tens of thousands.
class RoutineCheck {
  public:
    explicit RoutineCheck(const ImageExtent& image) : image_(image) {}

    // The routine's words are placed in `layout` already; the words of the
    // routines after it are not.
    void run(const PlacedRoutine& routine, std::size_t index, bool isCode,
             const BlockLayout& layout, std::vector<PlacedFinding>& out,
             std::vector<PendingBranch>& branches);

  private:
    // An address of the image reached from a line: built in a register, used
    // as a load or store address, or held as a data word.
    enum class Use { Built, Accessed, Held, UpperHalfOnly };

    void start(const PlacedRoutine& routine, std::size_t index);
    void lookUpBranches(const BlockLayout& layout, std::vector<PendingBranch>& branches);
    [[nodiscard]] const InstructionLine& line(std::size_t i) const { return routine_->lines[i]; }
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
    const PlacedRoutine* routine_ = nullptr;
    std::size_t index_ = 0; // of the routine in its block
    std::vector<PlacedFinding> found_;
    std::vector<std::uint8_t> hasFinding_; // per line: at most one finding each
    std::vector<std::uint8_t> luiConsumed_;
    std::vector<std::size_t> luiLines_;
    std::vector<std::size_t> branchLines_; // with a target to look up
    UpperHalves halves_;
    bool clobberAfterNext_ = false;
};

} // namespace travonix::check
