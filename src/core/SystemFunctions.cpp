#include "core/SystemFunctions.h"

#include "core/Text.h"

namespace travonix {

bool isSystemFunction(std::string_view text) {
    static const NoCaseNeedle kNames[] = {NoCaseNeedle("__pic32_software_reset"),
                                          NoCaseNeedle("_nmi_handler")};
    // Both names hold a "_": most lines have none and are done at once.
    if (text.find('_') == std::string_view::npos)
        return false;
    for (const NoCaseNeedle& name : kNames)
        if (name.isIn(text))
            return true;
    return false;
}

} // namespace travonix
