#pragma once

#include <cstdint>
#include <string>

namespace travonix {

// The generated code's size in kilobytes as the size box shows it: the format
// "####.00" (no digit before the point below 1 KB, two decimals rounded half
// away from zero) and " KB". 9 words give ".04 KB", 300 give "1.17 KB".
[[nodiscard]] std::string sizeReportText(std::int64_t wordCount);

} // namespace travonix
