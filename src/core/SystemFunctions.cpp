#include "core/SystemFunctions.h"

#include "core/Text.h"

namespace travonix {

bool isSystemFunction(std::string_view text) {
    static constexpr std::string_view kNames[] = {"__pic32_software_reset", "_nmi_handler"};
    if (text.empty())
        return false;
    for (std::string_view name : kNames)
        if (containsNoCase(text, name))
            return true;
    return false;
}

} // namespace travonix
