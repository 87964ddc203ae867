#pragma once

#include "check/Finding.h"
#include "core/Conversion.h"

#include <vector>

namespace travonix::check {

// Everything the relocation check finds in the blocks a planned conversion
// will write: what each block's code depends on (in block, routine and line
// order), then the blocks whose CFunction names clash.
[[nodiscard]] std::vector<Finding> checkConversion(const Listing& listing,
                                                   const ConversionPlan& plan,
                                                   const ConversionSettings& settings);

// A finding as one line for a terminal: the function, a TAB, the address as
// eight lower-case hexadecimal digits, a TAB, the kind, a TAB, the sentence.
[[nodiscard]] std::string findingLine(const Finding& finding);

} // namespace travonix::check
