#include "check/RelocationCheck.h"

#include "check/ImageExtent.h"
#include "check/InstructionLine.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
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
    const std::string_view text = line.operandText.substr(0, line.operandText.find('<'));
    return text.find("gp") != std::string_view::npos || text.find("$28") != std::string_view::npos;
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

// Where each word of a block lands: its index among the block's words.
class BlockLayout {
  public:
    void place(std::uint32_t address) {
        inOrder_ = inOrder_ && (addresses_.empty() || addresses_.back() < address);
        addresses_.push_back(address);
    }
    // Once every word is placed. A block's words normally come in address
    // order, and then a word's position is its index; otherwise the
    // positions are sorted by address, and the first word placed at an
    // address keeps it.
    void seal() {
        if (inOrder_)
            return;
        positions_.reserve(addresses_.size());
        for (std::size_t i = 0; i < addresses_.size(); ++i)
            positions_.push_back({addresses_[i], static_cast<std::uint32_t>(i)});
        addresses_ = {};
        std::stable_sort(
            positions_.begin(), positions_.end(),
            [](const Position& a, const Position& b) { return a.address < b.address; });
    }
    [[nodiscard]] std::optional<std::uint32_t> positionOf(std::uint32_t address) const {
        if (inOrder_) {
            auto it = std::lower_bound(addresses_.begin(), addresses_.end(), address);
            if (it == addresses_.end() || *it != address)
                return std::nullopt;
            return static_cast<std::uint32_t>(it - addresses_.begin());
        }
        auto it = std::lower_bound(
            positions_.begin(), positions_.end(), address,
            [](const Position& p, std::uint32_t value) { return p.address < value; });
        if (it == positions_.end() || it->address != address)
            return std::nullopt;
        return it->position;
    }

  private:
    struct Position {
        std::uint32_t address;
        std::uint32_t position;
    };
    std::vector<std::uint32_t> addresses_;
    std::vector<Position> positions_;
    bool inOrder_ = true;
};

struct PlacedRoutine {
    std::string_view name;
    std::vector<InstructionLine> lines;
};

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

class RoutineCheck {
  public:
    RoutineCheck(const ImageExtent& image, const BlockLayout& layout, const PlacedRoutine& routine)
        : image_(image), layout_(layout), routine_(routine), found_(routine.lines.size()),
          luiConsumed_(routine.lines.size(), false) {}

    void run(bool isCode, std::vector<Finding>& out) {
        for (std::size_t i = 0; i < routine_.lines.size(); ++i) {
            if (isCode)
                checkInstruction(i);
            else
                checkDataWord(i);
        }
        if (isCode)
            checkUnfinishedUpperHalves();
        for (std::optional<Finding>& finding : found_)
            if (finding)
                out.push_back(std::move(*finding));
    }

  private:
    const InstructionLine& line(std::size_t i) const { return routine_.lines[i]; }

    void report(std::size_t i, FindingKind kind, std::string sentence) {
        if (found_[i])
            return; // one finding per line: the first, most specific one stays
        found_[i] = Finding{kind, std::string(routine_.name), line(i).address, std::move(sentence)};
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
            report(i, FindingKind::UnemittedSection,
                   opening + ", but " + section->name +
                       " is not written to any CFunction: at that address the interpreter keeps "
                       "its own memory, which the routine would read or overwrite. Make the "
                       "variable a local of the routine, or keep it in BASIC and pass its address "
                       "as an argument.");
            return;
        }
        std::string advice;
        if (section->name != ".text")
            advice = "Keep the table in the routine as immediate values, or pass its address "
                     "from BASIC as an argument.";
        else if (use == Use::Held)
            advice = "Tables of code addresses come from switches (build with -fno-jump-tables) "
                     "and function pointers (call the routines directly).";
        else
            advice = "Call the routine directly (merge mode keeps every routine in one block), "
                     "or pass its address from BASIC.";
        report(i, FindingKind::AbsoluteAddress,
               opening +
                   ", where the linked program had it; the interpreter loads the CFunction "
                   "elsewhere, so the address points into the interpreter's own memory. " +
                   advice);
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
            checkBranchTarget(i);
        applyPendingClobber();
        // A call's delay slot still sees the registers as they were.
        clobberAfterNext_ = here.isCall();
    }

    void reportOutOfReach(std::size_t i) {
        const InstructionLine& here = line(i);
        report(i, FindingKind::OutOfReach,
               "The " + here.mnemonic + " to " + std::string(here.operandText) +
                   " is farther than a relative branch reaches (32767 words), so it stays an "
                   "absolute jump: it keeps only the low 28 bits of its target and takes the "
                   "upper 4 from the address it runs at, so run from the RAM where the "
                   "interpreter loads the block it jumps somewhere else. Place the routines next "
                   "to each other in the build (one source file, merge mode), or make the call "
                   "from BASIC.");
    }

    void reportIndirect(std::size_t i) {
        const InstructionLine& here = line(i);
        const std::string instruction = here.mnemonic + " " + std::string(here.operandText);
        if (here.kind == Mnemonic::RegisterCall && !here.operands.empty() &&
            registerNumber(here.operands.back()) == 25) {
            report(i, FindingKind::IndirectJump,
                   "The call " + instruction +
                       " goes through $t9 as abicalls code does, to an address of the linked "
                       "program that is not where the block runs. Build with -fno-pic "
                       "-mno-abicalls (or the vendor's -fPIC -mno-abicalls) so calls become "
                       "relative branches.");
            return;
        }
        if (here.kind == Mnemonic::RegisterCall) {
            report(i, FindingKind::IndirectJump,
                   "The call " + instruction +
                       " goes through a function pointer, which holds the address the routine "
                       "had in the linked program, not where the interpreter loads it. Call the "
                       "routine directly (merge mode keeps the routines in one block), or pass "
                       "the function's address from BASIC.");
            return;
        }
        report(i, FindingKind::IndirectJump,
               "The jump " + instruction +
                   " goes through a register, as a switch's jump table does; the table holds "
                   "addresses of the linked program, so the jump lands in the interpreter's "
                   "memory. Build with -fno-jump-tables, or write the switch as an if/else "
                   "chain.");
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
               "Reaches" + (target.empty() ? std::string(" memory") : target) +
                   " through $gp, but in the interpreter $gp points at the interpreter's own "
                   "variables, so "
                   "the access lands there. Build with -G0 so no variable is addressed through "
                   "$gp, and keep variables out of the routine (pass their address from "
                   "BASIC).");
    }

    void checkBranchTarget(std::size_t i) {
        const InstructionLine& here = line(i);
        auto target = targetAddress(here);
        if (!target)
            return;
        auto from = layout_.positionOf(here.address);
        auto to = layout_.positionOf(*target);
        if (!from)
            return; // every parsed line has its place; nothing to compare without one
        if (!to) {
            report(i, FindingKind::OutsideCall,
                   "The " + here.mnemonic + " to " + std::string(here.operandText) +
                       " leaves this CFunction: a branch keeps its distance, so once the block "
                       "is loaded it lands on whatever lies that far away in the interpreter's "
                       "memory. Write the routines into one block with merge mode, including the "
                       "target, or drop the call.");
            return;
        }
        // The branch keeps its distance from the linked program; in the block
        // the target may lie nearer or farther when words between are missing.
        const std::int64_t linked =
            static_cast<std::int64_t>(*target) - (static_cast<std::int64_t>(here.address) + 4);
        const std::int64_t placed =
            (static_cast<std::int64_t>(*to) - static_cast<std::int64_t>(*from) - 1) * 4;
        if (linked != placed) {
            const std::int64_t off = linked - placed;
            report(i, FindingKind::OutsideCall,
                   "The " + here.mnemonic + " to " + std::string(here.operandText) + " lands " +
                       std::to_string(off < 0 ? -off : off) + " bytes " +
                       (off > 0 ? "after" : "before") +
                       " its target in this CFunction, because the block does not hold the same "
                       "words between them as the linked program (a routine between them is "
                       "left out, or a run of zeros was shortened). Include every routine that "
                       "lies between them, in listing order, and convert a listing made with "
                       "objdump -z.");
        }
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
                luiLines_.push_back(i);
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
        for (std::size_t i : luiLines_) {
            if (luiConsumed_[i])
                continue;
            auto value = immediateValue(line(i).operands[1]);
            const std::int64_t upper =
                static_cast<std::int64_t>(static_cast<std::uint32_t>(*value << 16));
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
    const BlockLayout& layout_;
    const PlacedRoutine& routine_;
    std::vector<std::optional<Finding>> found_;
    std::vector<bool> luiConsumed_;
    std::vector<std::size_t> luiLines_;
    UpperHalves halves_;
    bool clobberAfterNext_ = false;
};

// Code is what lies in a .text section; a routine whose address the listing
// does not show is taken as code too.
bool isCodeRoutine(const ImageExtent& image, const PlacedRoutine& routine) {
    if (routine.lines.empty())
        return true;
    const ImageSection* section = image.sectionAt(routine.lines.front().address);
    return section == nullptr || section->name.rfind(".text", 0) == 0;
}

void parseRoutine(const BlockSource& blocks, std::size_t block, std::size_t routine,
                  std::vector<std::string_view>& lines, PlacedRoutine& placed) {
    blocks.routineLines(block, routine, lines);
    placed.name = blocks.routineName(block, routine);
    placed.lines.clear();
    for (std::string_view text : lines)
        if (auto parsed = parseInstructionLine(text))
            placed.lines.push_back(std::move(*parsed));
}

} // namespace

bool isCarriedSection(std::string_view sectionName) {
    return sectionName == ".text" || sectionName == ".rodata";
}

std::vector<Finding> checkRelocation(std::string_view listing, const BlockSource& blocks) {
    const ImageExtent image = ImageExtent::fromListing(listing);
    std::vector<Finding> findings;
    std::vector<std::string_view> lines;
    for (std::size_t b = 0; b < blocks.blockCount(); ++b) {
        // Where each word lies in the block first; then one routine at a time
        // is parsed and checked, so a merged block of a whole program never
        // holds all its parsed lines at once.
        BlockLayout layout;
        PlacedRoutine placed;
        const std::size_t routines = blocks.routineCount(b);
        if (routines == 1) {
            // A block of one routine: its parsed lines give the layout.
            parseRoutine(blocks, b, 0, lines, placed);
            for (const InstructionLine& parsed : placed.lines)
                layout.place(parsed.address);
            layout.seal();
            RoutineCheck(image, layout, placed).run(isCodeRoutine(image, placed), findings);
            continue;
        }
        for (std::size_t r = 0; r < routines; ++r) {
            blocks.routineLines(b, r, lines);
            for (std::string_view text : lines)
                if (auto head = parseWordLineHead(text))
                    layout.place(head->address);
        }
        layout.seal();
        for (std::size_t r = 0; r < routines; ++r) {
            parseRoutine(blocks, b, r, lines, placed);
            RoutineCheck(image, layout, placed).run(isCodeRoutine(image, placed), findings);
        }
    }
    return findings;
}

namespace {

// Blocks a caller holds as text (tests, tools).
class ContentSource : public BlockSource {
  public:
    explicit ContentSource(const std::vector<BlockContent>& blocks) : blocks_(blocks) {}
    std::size_t blockCount() const override { return blocks_.size(); }
    std::size_t routineCount(std::size_t block) const override {
        return blocks_[block].routines.size();
    }
    std::string_view routineName(std::size_t block, std::size_t routine) const override {
        return blocks_[block].routines[routine].name;
    }
    void routineLines(std::size_t block, std::size_t routine,
                      std::vector<std::string_view>& lines) const override {
        const std::vector<std::string>& body = blocks_[block].routines[routine].lines;
        lines.assign(body.begin(), body.end());
    }

  private:
    const std::vector<BlockContent>& blocks_;
};

} // namespace

std::vector<Finding> checkRelocation(std::string_view listing,
                                     const std::vector<BlockContent>& blocks) {
    return checkRelocation(listing, ContentSource(blocks));
}

} // namespace travonix::check
