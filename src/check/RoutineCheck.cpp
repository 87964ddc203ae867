#include "check/RoutineCheck.h"

#include "check/FindingAdvice.h"
#include "check/RelocationCheck.h"
#include "core/FileNameCheck.h"
#include "core/InstructionWord.h"
#include "core/Text.h"

#include <algorithm>
#include <utility>

namespace travonix::check {

namespace {

constexpr int kGp = 28;
constexpr int kRa = 31;
constexpr int kT9 = 25;

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

// A jr through ra returns; any other register jump or call goes where the
// register says.
bool jumpsThroughRegister(const InstructionLine& line) {
    return line.kind == Mnemonic::RegisterCall ||
           (line.kind == Mnemonic::RegisterJump &&
            (line.operands.empty() || registerNumber(line.operands.front()) != kRa));
}

// The instruction as the listing shows it, or, where its text hides what
// its word is, as the word is: what the chip runs.
std::string shownInstruction(const InstructionLine& here) {
    if (!here.kindFromWord)
        return toLowerAscii(here.mnemonic) +
               (here.kind == Mnemonic::AbsoluteJump || here.kind == Mnemonic::AbsoluteCall ? " to "
                                                                                           : " ") +
               std::string(here.operandText);
    std::string text(wordClassName(classOfWord(here.word)));
    text +=
        " (word " + hexAddress(here.word) + ", shown as \"" + printableName(here.mnemonic) + "\")";
    if (here.wordTarget)
        text += " to " + hexAddress(*here.wordTarget);
    return text;
}

} // namespace

void RoutineCheck::start(std::string_view name, std::size_t index) {
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

void RoutineCheck::step(const InstructionLine& here, bool isCode) {
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

void RoutineCheck::finish(bool isCode, const BlockLayout& layout, std::vector<PlacedFinding>& out,
                          std::vector<PendingBranch>& branches) {
    here_ = nullptr;
    if (isCode)
        checkUnfinishedUpperHalves();
    lookUpBranches(layout, branches);
    // Found in the order of the checks, given in line order.
    std::sort(found_.begin(), found_.end(),
              [](const PlacedFinding& a, const PlacedFinding& b) { return a.line < b.line; });
    for (PlacedFinding& finding : found_)
        out.push_back(std::move(finding));
}

// A branch is the last thing looked at on its line: one that has a finding
// already keeps it. A target placed already keeps its place, so most
// branches (loops, calls back) are looked up at once; the others wait for
// the end of the block.
void RoutineCheck::lookUpBranches(const BlockLayout& layout, std::vector<PendingBranch>& branches) {
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
}

void RoutineCheck::keep(std::size_t i, Finding finding) {
    hasFinding_[i] = 1;
    found_.push_back({index_, i, std::move(finding)});
}

void RoutineCheck::report(std::size_t i, FindingKind kind, std::string detail,
                          std::string_view advice) {
    if (hasFinding_[i])
        return; // one finding per line: the first, most specific one stays
    keep(i, settled(Finding{kind, std::string(name_), address_, std::move(detail), advice}));
}

// "9d000120 (gamma_curve in .rodata)".
std::string RoutineCheck::describe(std::uint32_t address, const ImageSection& section) const {
    std::string symbol = image_.symbolAt(address);
    std::string where = symbol.empty() ? section.name : symbol + " in " + section.name;
    return hexAddress(address) + " (" + where + ")";
}

void RoutineCheck::reportAddress(std::size_t i, std::uint32_t address, Use use) {
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

void RoutineCheck::checkDataWord(std::size_t i) {
    if (line(i).wordBytes == 4)
        reportAddress(i, line(i).word, Use::Held);
}

void RoutineCheck::checkInstruction(std::size_t i) {
    const InstructionLine& here = line(i);
    if (here.isData()) {
        checkDataWord(i);
        applyPendingClobber();
        return;
    }
    if (here.kind == Mnemonic::AbsoluteJump || here.kind == Mnemonic::AbsoluteCall)
        reportOutOfReach(i);
    if (jumpsThroughRegister(here))
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

void RoutineCheck::reportOutOfReach(std::size_t i) {
    const InstructionLine& here = line(i);
    report(i, FindingKind::OutOfReach, "The " + shownInstruction(here), kOutOfReachAdvice);
}

void RoutineCheck::reportIndirect(std::size_t i) {
    const InstructionLine& here = line(i);
    const std::string instruction = shownInstruction(here);
    if (here.kind == Mnemonic::RegisterCall && !here.operands.empty() &&
        registerNumber(here.operands.back()) == kT9) {
        report(i, FindingKind::IndirectJump, "The call " + instruction, kAbicallsAdvice);
        return;
    }
    if (here.kind == Mnemonic::RegisterCall) {
        report(i, FindingKind::IndirectJump, "The call " + instruction, kPointerCallAdvice);
        return;
    }
    report(i, FindingKind::IndirectJump, "The jump " + instruction, kJumpTableAdvice);
}

void RoutineCheck::reportGp(std::size_t i) {
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

} // namespace travonix::check
