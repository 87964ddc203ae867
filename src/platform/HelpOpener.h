#pragma once

#include <string>

namespace travonix {

// The user guide, kept beside the program.
inline constexpr const char* kHelpDocumentName = "help.pdf";

// The help document's path in the program's folder (given in the platform's
// own form, without a trailing separator).
[[nodiscard]] std::string helpDocumentPath(const std::string& programFolder);
// On Windows the command interpreter opens the document with the program
// the desktop associates with PDF files: cmd.exe /C "C:\Tools\help.pdf".
[[nodiscard]] std::string helpCommandLine(const std::string& programFolder);

// Opens the help document with the desktop's viewer and does not wait.
// False when nothing could be started (the document or the viewer missing).
bool openHelpDocument(const std::string& programFolder);

} // namespace travonix
