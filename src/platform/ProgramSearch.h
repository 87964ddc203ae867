#pragma once

#include <optional>
#include <string>

namespace travonix {

// Where a program named in a command lives, on systems without cmd.exe (not
// built on Windows, where cmd.exe does its own search): a
// name with a "/" is taken as a path, any other is looked for in the folders
// of `searchPath` (PATH's form: folders separated by ":"; empty entries are
// skipped, so the current folder is never searched by accident). A name
// ending in ".exe" (any letter case) that is not found is looked for again
// without it, so the stored "xc32-objdump.exe" finds "xc32-objdump".
[[nodiscard]] std::optional<std::string> findProgram(const std::string& name,
                                                     const std::string& searchPath);

// findProgram with the process's PATH.
[[nodiscard]] std::optional<std::string> findProgramOnPath(const std::string& name);

} // namespace travonix
