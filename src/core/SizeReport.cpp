#include "core/SizeReport.h"

namespace travonix {

std::string sizeReportText(std::int64_t wordCount) {
    // Hundredths of a kilobyte, rounded in integers so that halves (such as
    // 0.125 KB) round up as the format does, not to even as binary floats would.
    const std::int64_t bytes = wordCount * 4;
    const std::int64_t hundredths = (bytes * 100 + 512) / 1024;
    const std::int64_t whole = hundredths / 100;
    const std::int64_t fraction = hundredths % 100;
    std::string text = whole == 0 ? std::string() : std::to_string(whole);
    text += '.';
    if (fraction < 10)
        text += '0';
    text += std::to_string(fraction);
    return text + " KB";
}

} // namespace travonix
