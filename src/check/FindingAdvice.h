#pragma once

#include "check/Finding.h"

#include <string_view>

namespace travonix::check {

// The advice of each sort of finding, shared by all findings of that sort.
inline constexpr std::string_view kLeavesAdvice =
    " leaves this CFunction: a branch keeps its distance, so once the block is loaded it lands "
    "on whatever lies that far away in the interpreter's memory. Write the routines into one "
    "block with merge mode, including the target, or drop the call.";
inline constexpr std::string_view kMisplacedAdvice =
    " its target in this CFunction, because the block does not hold the same words between them "
    "as the linked program (a routine between them is left out, or a run of zeros was "
    "shortened). Include every routine that lies between them, in listing order, and convert a "
    "listing made with objdump -z.";
inline constexpr std::string_view kUnemittedAdvice =
    " is not written to any CFunction: at that address the interpreter keeps its own memory, "
    "which the routine would read or overwrite. Make the variable a local of the routine, or "
    "keep it in BASIC and pass its address as an argument.";
inline constexpr std::string_view kOutOfReachAdvice =
    " is farther than a relative branch reaches (32767 words), so it stays an absolute jump: it "
    "keeps only the low 28 bits of its target and takes the upper 4 from the address it runs "
    "at, so run from the RAM where the interpreter loads the block it jumps somewhere else. "
    "Place the routines next to each other in the build (one source file, merge mode), or make "
    "the call from BASIC.";
inline constexpr std::string_view kAbicallsAdvice =
    " goes through $t9 as abicalls code does, to an address of the linked program that is not "
    "where the block runs. Build with -fno-pic -mno-abicalls (or the vendor's -fPIC "
    "-mno-abicalls) so calls become relative branches.";
inline constexpr std::string_view kPointerCallAdvice =
    " goes through a function pointer, which holds the address the routine had in the linked "
    "program, not where the interpreter loads it. Call the routine directly (merge mode keeps "
    "the routines in one block), or pass the function's address from BASIC.";
inline constexpr std::string_view kJumpTableAdvice =
    " goes through a register, as a switch's jump table does; the table holds addresses of the "
    "linked program, so the jump lands in the interpreter's memory. Build with "
    "-fno-jump-tables, or write the switch as an if/else chain.";
inline constexpr std::string_view kGpAdvice =
    " through $gp, but in the interpreter $gp points at the interpreter's own variables, so the "
    "access lands there. Build with -G0 so no variable is addressed through $gp, and keep "
    "variables out of the routine (pass their address from BASIC).";

// An absolute address: what goes wrong, then what to do about a table, a
// table of code addresses or a routine's own address. Made once and kept for
// the program's life, as every advice is.
enum class AddressAdvice { Table, CodeTable, CodeAddress };
[[nodiscard]] std::string_view absoluteAddressAdvice(AddressAdvice which);

// A finding is kept for as long as the findings are shown: without the room
// its own words grew into while they were put together.
[[nodiscard]] Finding settled(Finding finding);

} // namespace travonix::check
