#pragma once

#include <optional>
#include <string>
#include <string_view>

// How the settings store writes and reads values as text.

namespace travonix {

// "True"/"False" in any letter case, or a number: decimal with optional sign,
// fraction and exponent ("-1", "1.5", "2e3"), or "&H"/"&O" hexadecimal/octal.
// Zero is false, any other number true. Surrounding blanks are ignored.
// Anything else, the empty text included, cannot be converted.
[[nodiscard]] std::optional<bool> textToBool(std::string_view text);
// An integer check state 0, 1 or 2; anything else cannot be converted.
[[nodiscard]] std::optional<int> textToCheckState(std::string_view text);
[[nodiscard]] std::string boolToText(bool value);

} // namespace travonix
