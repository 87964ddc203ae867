#pragma once

#include <optional>
#include <string>
#include <vector>

namespace travonix {

// Where the help document may lie, in the order they are tried: beside the
// program (a build folder, and the Windows layout), then the installed
// documentation folder (share/doc/travonix beside the program's bin folder,
// the desktop's convention on Linux). Paths in the platform's own form.
[[nodiscard]] std::vector<std::string> helpDocumentPlaces(const std::string& programFolder);

// The first of those places that holds the document as a regular file.
[[nodiscard]] std::optional<std::string> findHelpDocument(const std::string& programFolder);

} // namespace travonix
