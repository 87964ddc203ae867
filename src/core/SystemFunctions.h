#pragma once

#include <string_view>

namespace travonix {

// The toolchain's own routines, which no user converts: a line naming one
// ends the reading of its section. A name is one when it contains
// "__pic32_software_reset" or "_nmi_handler", letter case ignored; the empty
// name is not.
[[nodiscard]] bool isSystemFunction(std::string_view text);

} // namespace travonix
