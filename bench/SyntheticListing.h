#pragma once

#include <cstddef>
#include <string>

namespace travonix::bench {

// About `wanted` lines of objdump-like .text: many small functions that call
// earlier ones (some out of a branch's reach), jumps, and "..." gaps of
// padding between functions, then a .rodata table with gaps of its own.
std::string syntheticListing(std::size_t wanted);

} // namespace travonix::bench
