#pragma once

#include "core/Clock.h"

#include <string>
#include <string_view>

namespace travonix {

// The program's version as the stamp writes it: major.minor.revision.
[[nodiscard]] std::string versionText();

// Who made a block and when, for its comment stamp.
struct Stamp {
    LocalDateTime when;
    std::string user;
};

// The second line of a block's head, without its line end: "'", "DATA
// CFunction:" for read-only data, the name as listed, two blanks, date and
// time, the product and version, and the user who made it.
[[nodiscard]] std::string commentStampLine(std::string_view name, bool readOnlyData,
                                           const Stamp& stamp);

} // namespace travonix
