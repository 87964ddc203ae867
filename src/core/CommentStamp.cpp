#include "core/CommentStamp.h"

#include "core/FileNameCheck.h"
#include "core/Version.h"

namespace travonix {

std::string versionText() {
    return std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
           std::to_string(kVersionRevision);
}

std::string commentStampLine(std::string_view name, bool readOnlyData, const Stamp& stamp) {
    std::string line = "'";
    if (readOnlyData)
        line += "DATA CFunction:";
    line += printableName(name); // a comment line: no control character may cut it
    line += "  " + formatDate(stamp.when) + " " + formatTime(stamp.when);
    line += std::string(" ") + kProductName + " Ver " + versionText();
    line += " by user=";
    line += printableName(stamp.user);
    return line;
}

} // namespace travonix
