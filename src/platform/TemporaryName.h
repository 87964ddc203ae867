#pragma once

#include <string>
#include <string_view>

namespace travonix {

// The name of the temporary file a writer fills before renaming it over its
// target: ".travonix-", eight lowercase hexadecimal digits, ".tmp". Short, so
// a long target name never makes it too long; hidden (on POSIX), so a file
// manager does not show it while it is written. Each call gives another.
[[nodiscard]] std::string newTemporaryName();

// Named as newTemporaryName() names files, and nothing else: a folder is
// cleared of the files that killed runs left behind by this name alone.
[[nodiscard]] bool isTemporaryName(std::string_view name);
// The same for a name as Windows lists it.
[[nodiscard]] bool isTemporaryName(std::wstring_view name);

} // namespace travonix
