// How RoutineCheck follows an address through the registers: lui puts the
// upper half of an address into a register; addiu or ori adds the lower
// half, or a load or store adds it as its offset. gcc often adds an index
// first (addu) or copies the register (move).
#include "check/RoutineCheck.h"

#include <algorithm>

namespace travonix::check {

namespace {

constexpr std::int64_t kLowHalfMin = -0x8000; // addiu and loads add a signed 16-bit half
constexpr std::int64_t kLowHalfMax = 0xFFFF;  // ori adds an unsigned one

// The registers a called routine may change: at, v0-v1, a0-a3, t0-t9, ra.
constexpr int kCallClobbered[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 24, 25, 31};

std::optional<int> registerOperand(const InstructionLine& line, std::size_t k) {
    return k < line.operands.size() ? registerNumber(line.operands[k]) : std::nullopt;
}

std::optional<std::int64_t> immediateOperand(const InstructionLine& line, std::size_t k) {
    return k < line.operands.size() ? immediateValue(line.operands[k]) : std::nullopt;
}

} // namespace

void RoutineCheck::trackAddresses(std::size_t i) {
    if (line(i).kind == Mnemonic::Lui) {
        trackLui(i);
        return;
    }
    // Without an upper half in any register, nothing below can build an
    // address: most lines end here.
    if (!halves_.any())
        return;
    if (trackLowerHalf(i) || trackIndex(i) || trackMove(i))
        return;
    trackMemoryUses(i);
    if (line(i).writesFirstOperand())
        if (auto rd = registerOperand(line(i), 0))
            halves_.reset(*rd);
}

void RoutineCheck::trackLui(std::size_t i) {
    auto rt = registerOperand(line(i), 0);
    auto value = immediateOperand(line(i), 1);
    if (rt && value) {
        halves_.set(*rt, UpperHalf{static_cast<std::uint32_t>(*value << 16), i, false});
        luiLines_.push_back({i, line(i).address, *value});
    }
}

// addiu or ori onto an upper half: the address is whole.
bool RoutineCheck::trackLowerHalf(std::size_t i) {
    const InstructionLine& here = line(i);
    if ((here.kind != Mnemonic::AddImmediate && here.kind != Mnemonic::OrImmediate) ||
        here.operands.size() != 3)
        return false;
    auto rt = registerOperand(here, 0);
    auto rs = registerOperand(here, 1);
    auto value = immediateOperand(here, 2);
    if (!rt || !rs || !value || !halves_[*rs])
        return false;
    const UpperHalf half = *halves_[*rs];
    const std::uint32_t address = here.kind == Mnemonic::OrImmediate
                                      ? half.value | static_cast<std::uint32_t>(*value & 0xFFFF)
                                      : half.value + static_cast<std::uint32_t>(*value);
    luiConsumed_[half.origin] = true;
    reportAddress(i, address, Use::Built);
    halves_.reset(*rt); // the address is whole: its uses are not new findings
    return true;
}

// addu of an index to an upper half: still the upper half, of a table.
bool RoutineCheck::trackIndex(std::size_t i) {
    const InstructionLine& here = line(i);
    if (here.kind != Mnemonic::AddRegisters || here.operands.size() != 3)
        return false;
    auto rd = registerOperand(here, 0);
    auto rs = registerOperand(here, 1);
    auto rt = registerOperand(here, 2);
    if (!rd || !rs || !rt || halves_[*rs].has_value() == halves_[*rt].has_value())
        return false;
    UpperHalf half = halves_[*rs] ? *halves_[*rs] : *halves_[*rt];
    half.indexed = true;
    halves_.set(*rd, half);
    return true;
}

bool RoutineCheck::trackMove(std::size_t i) {
    const InstructionLine& here = line(i);
    if (here.kind != Mnemonic::Move || here.operands.size() != 2)
        return false;
    auto rd = registerOperand(here, 0);
    auto rs = registerOperand(here, 1);
    if (!rd || !rs)
        return false;
    halves_.set(*rd, halves_[*rs]);
    return true;
}

// A load or store whose base holds an upper half adds its offset as the
// lower half.
void RoutineCheck::trackMemoryUses(std::size_t i) {
    for (std::string_view operand : line(i).operands) {
        auto memory = memoryOperand(operand);
        if (memory && halves_[memory->base]) {
            const UpperHalf& half = *halves_[memory->base];
            luiConsumed_[half.origin] = true;
            reportAddress(i, half.value + static_cast<std::uint32_t>(memory->offset),
                          Use::Accessed);
        }
    }
}

void RoutineCheck::applyPendingClobber() {
    if (!clobberAfterNext_)
        return;
    clobberAfterNext_ = false;
    for (int r : kCallClobbered)
        halves_.reset(r);
}

// A lui whose lower half the tracking did not see (the register went
// through arithmetic it does not follow): any address it can lead to that
// lies in the image is reported on the lui line.
void RoutineCheck::checkUnfinishedUpperHalves() {
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

} // namespace travonix::check
