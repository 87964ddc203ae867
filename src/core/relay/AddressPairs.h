#pragma once

#include "core/relay/BlockImage.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace travonix::relay {

// One use of a lui's register as the upper half of an address: an
// addiu/ori that completes it, or a load/store whose offset does.
struct LowUse {
    std::size_t index = 0;
    std::uint32_t target = 0; // the %hi's value plus this use's %lo
};

// A `lui rX, %hi(...)` and the %lo uses of rX that the analysis followed to
// it, in block order. The target of a use is (hi << 16) + the %lo, sign
// extended for addiu and the loads and stores (so a %lo of 0x8000 or more
// means the %hi carried), zero extended for ori. One lui may serve several
// uses; a use may sit in a branch's delay slot, as the branch does not
// change rX.
struct AddressPair {
    std::size_t lui = 0;
    std::uint32_t reg = 0;
    std::uint32_t upper = 0;  // the lui's value: its immediate << 16
    bool inDelaySlot = false; // the lui is itself in a branch's or jump's delay slot
    std::vector<LowUse> uses;
};

// Finds the lui/%lo pairs of the block's code routines by reading each
// routine in order: a register holds a lui's value (or, after an addu of
// it and a register that holds none, the value plus an index) from the lui
// to the next word that writes it, the end of its routine, or the word after the delay
// slot of an unconditional jump. A word whose effect on registers is not
// known forgets every lui. Uses through $zero and luis of $zero are none.
[[nodiscard]] std::vector<AddressPair> findAddressPairs(const BlockImage& image);

} // namespace travonix::relay
