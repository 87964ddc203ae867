#pragma once

#include <string>

namespace travonix {

// The user guide, kept beside the program.
inline constexpr const char* kHelpDocumentName = "help.pdf";

// The line that has cmd.exe on Windows open the help document with the
// program the desktop associates with PDF files, the folder given without a
// trailing "\": cmd.exe /C "C:\Tools\help.pdf". A folder that cmd.exe would
// otherwise misread is taken literally (see cmdOpenLine): a blank or "&()" in
// it gives one more pair of quotes around the line, a "%" is put outside the
// quotes, a "!" adds "/V:OFF".
[[nodiscard]] std::string helpCommandLine(const std::string& programFolder);

} // namespace travonix
