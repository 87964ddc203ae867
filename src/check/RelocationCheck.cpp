#include "check/RelocationCheck.h"

#include "check/BlockLayout.h"
#include "check/ImageExtent.h"
#include "check/InstructionLine.h"
#include "core/FileNameCheck.h"
#include "core/InstructionWord.h"
#include "core/Text.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace travonix::check {

namespace {

constexpr int kGp = 28;
constexpr int kRa = 31;
constexpr std::int64_t kLowHalfMin = -0x8000; // addiu and loads add a signed 16-bit half
constexpr std::int64_t kLowHalfMax = 0xFFFF;  // ori adds an unsigned one

// Whether the line names $gp, as "gp" or "$28", before the symbol: most lines
// do not, and are let through without a look at each operand.
bool mayUseGp(const InstructionLine& line) {
    const std::string_view text = line.operandText;
    for (std::size_t i = 0; i + 1 < text.size() && text[i] != '<'; ++i) {
        if (text[i] == 'g' && text[i + 1] == 'p')
            return true;
        if (text[i] == '$' && text[i + 1] == '2' && i + 2 < text.size() && text[i + 2] == '8')
            return true;
    }
    return false;
}

bool usesGp(const InstructionLine& line) {
    if (!mayUseGp(line))
        return false;
    for (std::string_view operand : line.operands) {
        if (registerNumber(operand) == kGp)
            return true;
        if (auto memory = memoryOperand(operand); memory && memory->base == kGp)
            return true;
    }
    return false;
}

// The upper half of an address that a lui put into a register.
struct UpperHalf {
    std::uint32_t value = 0;
    std::size_t origin = 0; // index of the lui line
    bool indexed = false;   // an index was added to it (addu)
};

// The upper halves held in the 32 registers, with a mask of the registers
// that hold one.
class UpperHalves {
  public:
    const std::optional<UpperHalf>& operator[](int r) const {
        return halves_[static_cast<std::size_t>(r)];
    }
    void set(int r, const std::optional<UpperHalf>& half) {
        halves_[static_cast<std::size_t>(r)] = half;
        const std::uint32_t bit = std::uint32_t{1} << r;
        held_ = half ? (held_ | bit) : (held_ & ~bit);
    }
    void reset(int r) { set(r, std::nullopt); }
    [[nodiscard]] bool any() const { return held_ != 0; }

  private:
    std::array<std::optional<UpperHalf>, 32> halves_{};
    std::uint32_t held_ = 0;
};

// A finding with the routine and line it belongs to, so the findings of a
// block can be put in routine and line order once its branches are checked.
struct PlacedFinding {
    std::size_t routine = 0;
    std::size_t line = 0;
    Finding finding;
};

// A branch whose target can only be looked up once every word of its block
// has its place.
struct PendingBranch {
    std::size_t routine = 0;
    std::size_t line = 0;
    std::string_view routineName;
    std::uint32_t address = 0;
    std::uint32_t target = 0;
    std::string mnemonic; // lower case
    std::string_view operandText;
};

// The advice of each sort of finding, shared by all findings of that sort.
constexpr std::string_view kLeavesAdvice =
    " leaves this CFunction: a branch keeps its distance, so once the block is loaded it lands "
    "on whatever lies that far away in the interpreter's memory. Write the routines into one "
    "block with merge mode, including the target, or drop the call.";
constexpr std::string_view kMisplacedAdvice =
    " its target in this CFunction, because the block does not hold the same words between them "
    "as the linked program (a routine between them is left out, or a run of zeros was "
    "shortened). Include every routine that lies between them, in listing order, and convert a "
    "listing made with objdump -z.";
constexpr std::string_view kUnemittedAdvice =
    " is not written to any CFunction: at that address the interpreter keeps its own memory, "
    "which the routine would read or overwrite. Make the variable a local of the routine, or "
    "keep it in BASIC and pass its address as an argument.";
// An absolute address: what goes wrong, then what to do about a table, a
// table of code addresses or a routine's own address. Made once and kept for
// the program's life, as every advice is.
enum class AddressAdvice { Table, CodeTable, CodeAddress };
std::string_view absoluteAddressAdvice(AddressAdvice which) {
    constexpr std::string_view kElsewhere =
        ", where the linked program had it; the interpreter loads the CFunction elsewhere, so the "
        "address points into the interpreter's own memory. ";
    static const std::string table =
        std::string(kElsewhere) +
        "Keep the table in the routine as immediate values, or pass its address from BASIC as an "
        "argument.";
    static const std::string codeTable =
        std::string(kElsewhere) +
        "Tables of code addresses come from switches (build with -fno-jump-tables) and function "
        "pointers (call the routines directly).";
    static const std::string codeAddress =
        std::string(kElsewhere) +
        "Call the routine directly (merge mode keeps every routine in one block), or pass its "
        "address from BASIC.";
    switch (which) {
    case AddressAdvice::Table:
        return table;
    case AddressAdvice::CodeTable:
        return codeTable;
    case AddressAdvice::CodeAddress:
        break;
    }
    return codeAddress;
}
constexpr std::string_view kOutOfReachAdvice =
    " is farther than a relative branch reaches (32767 words), so it stays an absolute jump: it "
    "keeps only the low 28 bits of its target and takes the upper 4 from the address it runs "
    "at, so run from the RAM where the interpreter loads the block it jumps somewhere else. "
    "Place the routines next to each other in the build (one source file, merge mode), or make "
    "the call from BASIC.";
constexpr std::string_view kAbicallsAdvice =
    " goes through $t9 as abicalls code does, to an address of the linked program that is not "
    "where the block runs. Build with -fno-pic -mno-abicalls (or the vendor's -fPIC "
    "-mno-abicalls) so calls become relative branches.";
constexpr std::string_view kPointerCallAdvice =
    " goes through a function pointer, which holds the address the routine had in the linked "
    "program, not where the interpreter loads it. Call the routine directly (merge mode keeps "
    "the routines in one block), or pass the function's address from BASIC.";
constexpr std::string_view kJumpTableAdvice =
    " goes through a register, as a switch's jump table does; the table holds addresses of the "
    "linked program, so the jump lands in the interpreter's memory. Build with "
    "-fno-jump-tables, or write the switch as an if/else chain.";
constexpr std::string_view kGpAdvice =
    " through $gp, but in the interpreter $gp points at the interpreter's own variables, so the "
    "access lands there. Build with -G0 so no variable is addressed through $gp, and keep "
    "variables out of the routine (pass their address from BASIC).";

// A finding is kept for as long as the findings are shown: without the room
// its own words grew into while they were put together.
Finding settled(Finding finding) {
    finding.detail.shrink_to_fit();
    return finding;
}

// A branch keeps its distance from the linked program; in the block its
// target may be missing, or lie nearer or farther when words between are
// missing.
std::optional<Finding> branchFinding(const BlockLayout& layout, const PendingBranch& branch) {
    auto from = layout.positionOf(branch.address);
    auto to = layout.positionOf(branch.target);
    if (!from)
        return std::nullopt; // every parsed line has its place; nothing to compare without one
    const std::string jump = "The " + branch.mnemonic + " to " + std::string(branch.operandText);
    const std::string name(branch.routineName);
    if (!to)
        return settled(
            Finding{FindingKind::OutsideCall, name, branch.address, jump, kLeavesAdvice});
    const std::int64_t linked =
        static_cast<std::int64_t>(branch.target) - (static_cast<std::int64_t>(branch.address) + 4);
    const std::int64_t placed =
        (static_cast<std::int64_t>(*to) - static_cast<std::int64_t>(*from) - 1) * 4;
    if (linked == placed)
        return std::nullopt;
    const std::int64_t off = linked - placed;
    return settled(Finding{FindingKind::OutsideCall, name, branch.address,
                           jump + " lands " + std::to_string(off < 0 ? -off : off) + " bytes " +
                               (off > 0 ? "after" : "before"),
                           kMisplacedAdvice});
}

// Checks one routine after another; its room is kept from one routine to the
// next, since a merged block of a whole program has tens of thousands.
class RoutineCheck {
  public:
    explicit RoutineCheck(const ImageExtent& image) : image_(image) {}

    // A routine's lines come one at a time, as they are parsed: a routine
    // can be a million lines long (a huge function, or a gap filled with
    // zero words), and only what is looked at again at its end is kept of
    // a line (its branch, its lui), not the parsed line itself.
    void start(std::string_view name, std::size_t index) {
        name_ = name;
        index_ = index;
        lines_ = 0;
        found_.clear();
        hasFinding_.clear();
        luiConsumed_.clear();
        luiLines_.clear();
        branchLines_.clear();
        halves_ = {};
        clobberAfterNext_ = false;
    }

    void step(const InstructionLine& here, bool isCode) {
        const std::size_t i = lines_++;
        here_ = &here;
        address_ = here.address;
        hasFinding_.push_back(0);
        luiConsumed_.push_back(0);
        if (isCode)
            checkInstruction(i);
        else
            checkDataWord(i);
    }

    // Every word of the routine is placed in `layout` by now; the words of
    // the routines after it are not.
    void finish(bool isCode, const BlockLayout& layout, std::vector<PlacedFinding>& out,
                std::vector<PendingBranch>& branches) {
        here_ = nullptr;
        if (isCode)
            checkUnfinishedUpperHalves();
        // A branch is the last thing looked at on its line: one that has a
        // finding already keeps it. A target placed already keeps its place,
        // so most branches (loops, calls back) are looked up at once; the
        // others wait for the end of the block.
        for (const BranchLine& line : branchLines_) {
            const std::size_t i = line.line;
            if (hasFinding_[i])
                continue;
            PendingBranch branch{index_,          i,           name_,
                                 line.address,    line.target, toLowerAscii(line.mnemonic),
                                 line.operandText};
            if (!layout.positionOf(branch.target)) {
                branches.push_back(std::move(branch));
                continue;
            }
            if (auto finding = branchFinding(layout, branch))
                keep(i, std::move(*finding));
        }
        // Found in the order of the checks, given in line order.
        std::sort(found_.begin(), found_.end(),
                  [](const PlacedFinding& a, const PlacedFinding& b) { return a.line < b.line; });
        for (PlacedFinding& finding : found_)
            out.push_back(std::move(finding));
    }

  private:
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

    // The line being checked; only the current line is at hand.
    const InstructionLine& line(std::size_t) const { return *here_; }

    void keep(std::size_t i, Finding finding) {
        hasFinding_[i] = 1;
        found_.push_back({index_, i, std::move(finding)});
    }

    void report(std::size_t i, FindingKind kind, std::string detail, std::string_view advice) {
        if (hasFinding_[i])
            return; // one finding per line: the first, most specific one stays
        keep(i, settled(Finding{kind, std::string(name_), address_, std::move(detail), advice}));
    }

    // "9d000120 (gamma_curve in .rodata)".
    std::string describe(std::uint32_t address, const ImageSection& section) const {
        std::string symbol = image_.symbolAt(address);
        std::string where = symbol.empty() ? section.name : symbol + " in " + section.name;
        return hexAddress(address) + " (" + where + ")";
    }

    // An address of the image reached from line i: built in a register, used
    // as a load or store address, or held as a data word.
    enum class Use { Built, Accessed, Held, UpperHalfOnly };

    void reportAddress(std::size_t i, std::uint32_t address, Use use) {
        const ImageSection* section = image_.sectionAt(address);
        if (section == nullptr)
            return; // peripheral registers, boot area, firmware: fixed wherever the block runs
        std::string what = describe(address, *section);
        std::string opening;
        switch (use) {
        case Use::Built:
            opening = "Builds the absolute address " + what;
            break;
        case Use::Accessed:
            opening = "Reads or writes the absolute address " + what;
            break;
        case Use::Held:
            opening = "Holds the absolute address " + what + " as a data word";
            break;
        case Use::UpperHalfOnly:
            opening = "Loads the upper half of an absolute address near " + what;
            break;
        }
        if (!isCarriedSection(section->name)) {
            report(i, FindingKind::UnemittedSection, opening + ", but " + section->name,
                   kUnemittedAdvice);
            return;
        }
        const AddressAdvice advice = section->name != ".text" ? AddressAdvice::Table
                                     : use == Use::Held       ? AddressAdvice::CodeTable
                                                              : AddressAdvice::CodeAddress;
        report(i, FindingKind::AbsoluteAddress, std::move(opening), absoluteAddressAdvice(advice));
    }

    void checkDataWord(std::size_t i) {
        if (line(i).wordBytes == 4)
            reportAddress(i, line(i).word, Use::Held);
    }

    void checkInstruction(std::size_t i) {
        const InstructionLine& here = line(i);
        if (here.isData()) {
            checkDataWord(i);
            applyPendingClobber();
            return;
        }
        if (here.kind == Mnemonic::AbsoluteJump || here.kind == Mnemonic::AbsoluteCall)
            reportOutOfReach(i);
        if (here.kind == Mnemonic::RegisterCall ||
            (here.kind == Mnemonic::RegisterJump &&
             (here.operands.empty() || registerNumber(here.operands.front()) != kRa)))
            reportIndirect(i);
        if (usesGp(here))
            reportGp(i);
        trackAddresses(i);
        if (here.isBranch())
            if (auto target = targetAddress(here))
                branchLines_.push_back({i, here.address, *target, here.mnemonic, here.operandText});
        applyPendingClobber();
        // A call's delay slot still sees the registers as they were.
        clobberAfterNext_ = here.isCall();
    }

    void reportOutOfReach(std::size_t i) {
        const InstructionLine& here = line(i);
        report(i, FindingKind::OutOfReach, "The " + shownInstruction(here), kOutOfReachAdvice);
    }

    // The instruction as the listing shows it, or, where its text hides what
    // its word is, as the word is: what the chip runs.
    static std::string shownInstruction(const InstructionLine& here) {
        if (!here.kindFromWord)
            return toLowerAscii(here.mnemonic) +
                   (here.kind == Mnemonic::AbsoluteJump || here.kind == Mnemonic::AbsoluteCall
                        ? " to "
                        : " ") +
                   std::string(here.operandText);
        std::string text(wordClassName(classOfWord(here.word)));
        text += " (word " + hexAddress(here.word) + ", shown as \"" + printableName(here.mnemonic) +
                "\")";
        if (here.wordTarget)
            text += " to " + hexAddress(*here.wordTarget);
        return text;
    }

    void reportIndirect(std::size_t i) {
        const InstructionLine& here = line(i);
        const std::string instruction = shownInstruction(here);
        if (here.kind == Mnemonic::RegisterCall && !here.operands.empty() &&
            registerNumber(here.operands.back()) == 25) {
            report(i, FindingKind::IndirectJump, "The call " + instruction, kAbicallsAdvice);
            return;
        }
        if (here.kind == Mnemonic::RegisterCall) {
            report(i, FindingKind::IndirectJump, "The call " + instruction, kPointerCallAdvice);
            return;
        }
        report(i, FindingKind::IndirectJump, "The jump " + instruction, kJumpTableAdvice);
    }

    void reportGp(std::size_t i) {
        const InstructionLine& here = line(i);
        std::string target;
        auto gp = image_.gpValue();
        for (std::string_view operand : here.operands) {
            auto memory = memoryOperand(operand);
            if (gp && memory && memory->base == kGp) {
                auto address = static_cast<std::uint32_t>(*gp + memory->offset);
                if (const ImageSection* section = image_.sectionAt(address))
                    target = " " + describe(address, *section);
            }
        }
        report(i, FindingKind::GpRelative,
               "Reaches" + (target.empty() ? std::string(" memory") : target), kGpAdvice);
    }

    // lui puts the upper half of an address into a register; addiu or ori
    // adds the lower half, or a load or store adds it as its offset. gcc
    // often adds an index first (addu) or copies the register (move).
    void trackAddresses(std::size_t i) {
        const InstructionLine& here = line(i);
        const auto& ops = here.operands;
        auto reg = [&](std::size_t k) {
            return k < ops.size() ? registerNumber(ops[k]) : std::nullopt;
        };
        auto imm = [&](std::size_t k) {
            return k < ops.size() ? immediateValue(ops[k]) : std::nullopt;
        };

        if (here.kind == Mnemonic::Lui) {
            auto rt = reg(0);
            auto value = imm(1);
            if (rt && value) {
                halves_.set(*rt, UpperHalf{static_cast<std::uint32_t>(*value << 16), i, false});
                luiLines_.push_back({i, here.address, *value});
            }
            return;
        }
        // Without an upper half in any register, nothing below can build an
        // address: most lines end here.
        if (!halves_.any())
            return;
        if ((here.kind == Mnemonic::AddImmediate || here.kind == Mnemonic::OrImmediate) &&
            ops.size() == 3) {
            auto rt = reg(0);
            auto rs = reg(1);
            auto value = imm(2);
            if (rt && rs && value && halves_[*rs]) {
                const UpperHalf half = *halves_[*rs];
                const std::uint32_t address =
                    here.kind == Mnemonic::OrImmediate
                        ? half.value | static_cast<std::uint32_t>(*value & 0xFFFF)
                        : half.value + static_cast<std::uint32_t>(*value);
                luiConsumed_[half.origin] = true;
                reportAddress(i, address, Use::Built);
                halves_.reset(*rt); // the address is whole: its uses are not new findings
                return;
            }
        }
        if (here.kind == Mnemonic::AddRegisters && ops.size() == 3) {
            auto rd = reg(0);
            auto rs = reg(1);
            auto rt = reg(2);
            if (rd && rs && rt && (halves_[*rs].has_value() != halves_[*rt].has_value())) {
                UpperHalf half = halves_[*rs] ? *halves_[*rs] : *halves_[*rt];
                half.indexed = true;
                halves_.set(*rd, half);
                return;
            }
        }
        if (here.kind == Mnemonic::Move && ops.size() == 2) {
            auto rd = reg(0);
            auto rs = reg(1);
            if (rd && rs) {
                halves_.set(*rd, halves_[*rs]);
                return;
            }
        }
        for (std::string_view operand : ops) {
            auto memory = memoryOperand(operand);
            if (memory && halves_[memory->base]) {
                const UpperHalf& half = *halves_[memory->base];
                luiConsumed_[half.origin] = true;
                reportAddress(i, half.value + static_cast<std::uint32_t>(memory->offset),
                              Use::Accessed);
            }
        }
        if (here.writesFirstOperand())
            if (auto rd = reg(0))
                halves_.reset(*rd);
    }

    void applyPendingClobber() {
        if (!clobberAfterNext_)
            return;
        clobberAfterNext_ = false;
        // The registers a called routine may change: at, v0-v1, a0-a3, t0-t9, ra.
        for (int r : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 24, 25, 31})
            halves_.reset(r);
    }

    // A lui whose lower half the tracking did not see (the register went
    // through arithmetic it does not follow): any address it can lead to
    // that lies in the image is reported on the lui line.
    void checkUnfinishedUpperHalves() {
        for (const LuiLine& lui : luiLines_) {
            const std::size_t i = lui.line;
            if (luiConsumed_[i])
                continue;
            address_ = lui.address;
            const std::int64_t upper =
                static_cast<std::int64_t>(static_cast<std::uint32_t>(lui.immediate << 16));
            for (const ImageSection& section : image_.sections()) {
                if (section.start <= upper + kLowHalfMax && upper + kLowHalfMin < section.end) {
                    const auto near =
                        static_cast<std::uint32_t>(std::max<std::int64_t>(upper, section.start));
                    reportAddress(i, near, Use::UpperHalfOnly);
                    break;
                }
            }
        }
    }

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

// Code is what lies in a .text section; a routine whose address the listing
// does not show is taken as code too. Decided by its first word line.
bool isCodeRoutine(const ImageExtent& image, const InstructionLine& first) {
    const ImageSection* section = image.sectionAt(first.address);
    return section == nullptr || section->name.rfind(".text", 0) == 0;
}

// Lines of a routine read at a time: a routine a million lines long is read
// a slice after another, never split whole.
constexpr std::size_t kSliceLines = 4096;

// The routines [first, end) of one block: the whole block, or a share of a
// large one (a merged block of a whole program), so that several threads
// can check it.
struct Piece {
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
struct Scratch {
    std::vector<LineFields> lines; // a slice of the routine's lines
    InstructionLine parsed;
};

// One pass over the piece's lines: each line is parsed, placed and checked
// in turn, so neither a merged block of a whole program nor a huge routine
// ever holds all its parsed lines at once.
void checkPiece(const ImageExtent& image, const BlockSource& blocks, const Piece& piece,
                Scratch& scratch, PieceResult& result) {
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

// The order findings are given in: by routine, then by line.
bool inLineOrder(const PlacedFinding& a, const PlacedFinding& b) {
    return a.routine != b.routine ? a.routine < b.routine : a.line < b.line;
}

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

// The branches left are looked up once every word of the block has its
// place; the block's findings then go to `out` in routine and line order.
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

} // namespace

bool isCarriedSection(std::string_view sectionName) {
    return sectionName == ".text" || sectionName == ".rodata";
}

struct RelocationCheckRun::State {
    State(std::string_view listing, const BlockSource& blocks, const ImageExtent* given)
        : listing(listing), blocks(blocks), given(given) {}

    const ImageExtent& image() const { return given != nullptr ? *given : own; }

    std::string_view listing;
    const BlockSource& blocks;
    const ImageExtent* given; // read beforehand by the caller, or null
    std::once_flag imageRead;
    ImageExtent own;
    std::vector<Piece> pieces;
    std::vector<std::size_t> chunkStarts; // of each chunk in `pieces`, and the end
    std::atomic<std::size_t> nextChunk{0};
    std::vector<PieceResult> results; // one per piece
};

// Pieces go to the threads in chunks of about `shareRoutines` routines.
RelocationCheckRun::RelocationCheckRun(std::string_view listing, const BlockSource& blocks,
                                       std::size_t shareRoutines, const ImageExtent* image)
    : state_(std::make_unique<State>(listing, blocks, image)) {
    const std::size_t share = std::max<std::size_t>(1, shareRoutines);
    State& s = *state_;
    for (std::size_t b = 0; b < blocks.blockCount(); ++b) {
        const std::size_t count = blocks.routineCount(b);
        if (count / 2 < share) {
            s.pieces.push_back({b, 0, count, true});
            continue;
        }
        for (std::size_t first = 0; first < count; first += share)
            s.pieces.push_back({b, first, std::min(count, first + share), false});
    }
    std::size_t routines = share;
    for (std::size_t p = 0; p < s.pieces.size(); ++p) {
        if (routines >= share) {
            s.chunkStarts.push_back(p);
            routines = 0;
        }
        routines += std::max<std::size_t>(1, s.pieces[p].end - s.pieces[p].first);
    }
    s.chunkStarts.push_back(s.pieces.size());
    s.results.resize(s.pieces.size());
}

RelocationCheckRun::~RelocationCheckRun() = default;

void RelocationCheckRun::help() {
    State& s = *state_;
    if (s.given == nullptr)
        std::call_once(s.imageRead, [&s] { s.own = ImageExtent::fromListing(s.listing); });
    Scratch scratch;
    for (;;) {
        const std::size_t chunk = s.nextChunk.fetch_add(1);
        if (chunk + 1 >= s.chunkStarts.size())
            return;
        for (std::size_t p = s.chunkStarts[chunk]; p < s.chunkStarts[chunk + 1]; ++p) {
            PieceResult& result = s.results[p];
            checkPiece(s.image(), s.blocks, s.pieces[p], scratch, result);
            if (s.pieces[p].wholeBlock) {
                std::vector<Finding> findings;
                finishBlock(s.pieces[p].block, result.layout, result.found, result.branches,
                            findings);
                result = {};
                result.findings = std::move(findings);
            }
        }
    }
}

std::vector<Finding> RelocationCheckRun::findings() {
    help(); // whatever no thread took yet
    State& s = *state_;
    // Room for every finding at once: a whole program's can be tens of
    // thousands, and the pieces' lists are freed as they are taken.
    std::size_t most = 0;
    for (const PieceResult& result : s.results)
        most += result.findings.size() + result.found.size() + result.branches.size();
    std::vector<Finding> findings;
    findings.reserve(most);
    for (std::size_t p = 0; p < s.pieces.size();) {
        if (s.pieces[p].wholeBlock) {
            std::move(s.results[p].findings.begin(), s.results[p].findings.end(),
                      std::back_inserter(findings));
            s.results[p] = {};
            ++p;
            continue;
        }
        // The pieces of one block: their words joined in one layout when
        // they came in address order throughout, as is usual; otherwise the
        // block is checked again in one pass, so a word placed twice keeps
        // the position of the first.
        const std::size_t block = s.pieces[p].block;
        std::size_t end = p;
        BlockLayout layout;
        bool inOrder = true;
        for (; end < s.pieces.size() && !s.pieces[end].wholeBlock && s.pieces[end].block == block;
             ++end)
            inOrder = inOrder && layout.appendInOrder(s.results[end].layout);
        if (!inOrder) {
            for (std::size_t k = p; k < end; ++k)
                s.results[k] = {};
            PieceResult whole;
            Scratch scratch;
            checkPiece(s.image(), s.blocks, {block, 0, s.blocks.routineCount(block), true}, scratch,
                       whole);
            finishBlock(block, whole.layout, whole.found, whole.branches, findings);
            p = end;
            continue;
        }
        // Each piece's findings are in line order, and the pieces follow each
        // other: the findings of the branches looked up now are merged in.
        std::vector<PlacedFinding> late;
        for (std::size_t k = p; k < end; ++k)
            for (const PendingBranch& branch : s.results[k].branches)
                if (auto finding = branchFinding(layout, branch))
                    late.push_back({branch.routine, branch.line, std::move(*finding)});
        std::stable_sort(late.begin(), late.end(), inLineOrder);
        auto next = late.begin();
        for (std::size_t k = p; k < end; ++k) {
            for (PlacedFinding& finding : s.results[k].found) {
                for (; next != late.end() && inLineOrder(*next, finding); ++next)
                    findings.push_back(std::move(locate(next->finding, block, next->routine)));
                findings.push_back(std::move(locate(finding.finding, block, finding.routine)));
            }
            s.results[k] = {};
        }
        for (; next != late.end(); ++next)
            findings.push_back(std::move(locate(next->finding, block, next->routine)));
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
