#pragma once

#ifdef _WIN32

#include <string>

namespace travonix {

// A path as Windows' wide file functions take it. The tool carries paths as
// text in the ANSI code page, as the command line and the settings give them.
[[nodiscard]] std::wstring widePath(const std::string& path);

} // namespace travonix

#endif
