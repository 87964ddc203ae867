#pragma once

#include "platform/HelpCommandLine.h"

#include <string>

namespace travonix {

// The help document's path in the program's folder (given in the platform's
// own form, without a trailing separator).
[[nodiscard]] std::string helpDocumentPath(const std::string& programFolder);

// Opens the help document with the desktop's viewer and does not wait.
// False when nothing could be started (the document or the viewer missing).
// On Windows the command interpreter opens it (see helpCommandLine).
bool openHelpDocument(const std::string& programFolder);

} // namespace travonix
