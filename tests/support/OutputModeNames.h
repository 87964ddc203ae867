#pragma once

#include "core/Options.h"

#include <ostream>
#include <string>

namespace travonix {

// A mode's name for test names and failure messages.
inline std::string outputModeName(OutputMode mode) {
    switch (mode) {
    case OutputMode::IndividualFiles:
        return "IndividualFiles";
    case OutputMode::SingleFile:
        return "SingleFile";
    case OutputMode::Merged:
        break;
    }
    return "Merged";
}

inline void PrintTo(OutputMode mode, std::ostream* os) {
    *os << outputModeName(mode);
}

} // namespace travonix
