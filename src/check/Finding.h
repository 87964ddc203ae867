#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace travonix::check {

// What keeps a CFunction from running where the interpreter loads it.
enum class FindingKind {
    AbsoluteAddress,  // an address of the program's own image, built or stored
    UnemittedSection, // an address in a section that no block carries (.data, .bss, ...)
    GpRelative,       // an access through $gp
    OutsideCall,      // a branch whose target is not where it expects inside the block
    OutOfReach,       // a jal/j that could not become a relative branch
    IndirectJump,     // jalr, or jr through a register other than ra
    NameClash,        // two blocks under one CFunction name
    BadName,          // a CFunction name that BASIC cannot hold
};

// The kind's name as the user sees it ("absolute-address", "name-clash", ...).
[[nodiscard]] std::string_view findingKindName(FindingKind kind);

struct Finding {
    FindingKind kind = FindingKind::AbsoluteAddress;
    std::string function;      // the routine (or, for a name clash, the block) concerned
    std::uint32_t address = 0; // the listing line's address; the header's for a name
    // What will go wrong and what to do about it: the finding's own words,
    // then advice that every finding of its sort shares. The advice is a text
    // of the program's own, never one put together at run time, so a program
    // with tens of thousands of findings keeps each advice once.
    std::string detail;
    std::string_view advice;
    // Where in the checked blocks: the block and the routine within it (0
    // for a finding about a block's name).
    std::size_t block = 0;
    std::size_t routine = 0;

    [[nodiscard]] std::string sentence() const;
    [[nodiscard]] std::size_t sentenceSize() const { return detail.size() + advice.size(); }
};

} // namespace travonix::check
