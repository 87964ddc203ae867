#pragma once

#include "platform/HelpCommandLine.h"

#include <string>

namespace travonix {

// What became of a request to open the help document.
struct HelpOpening {
    bool opened = false;
    std::string path;   // the document opened, or where it was looked for
    std::string reason; // why it was not opened ("" when it was)
};

// Opens the help document with the desktop's viewer and does not wait. On
// Windows the command interpreter opens the one beside the program (see
// helpCommandLine); elsewhere the desktop's URL opener opens the first found
// of helpDocumentPlaces().
[[nodiscard]] HelpOpening openHelpDocument(const std::string& programFolder);

} // namespace travonix
