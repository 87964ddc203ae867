#include "cfunction/CommentStamp.h"

#include "app/Product.h"

namespace travonix {

std::string versionText() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionRevision);
}

std::string commentStampLine(std::string_view name, bool readOnlyData, const LocalDateTime& when,
                             std::string_view user) {
    std::string line = "'";
    if (readOnlyData)
        line += "DATA CFunction:";
    line += name;
    line += "  " + formatDate(when) + " " + formatTime(when);
    line += std::string(" ") + kProductName + " Ver " + versionText();
    line += " by user=";
    line += user;
    return line;
}

} // namespace travonix
