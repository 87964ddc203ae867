#pragma once

#include "listing/Form.h"

#include <string>
#include <string_view>

namespace travonix {

// A file of the output folder: the folder as stored, the platform's
// separator, the file name.
[[nodiscard]] std::string outputPath(Form& form, std::string_view fileName);

// Replaces the file whole. A file that cannot be written does not stop the
// run: the failure is reported on one line naming the path and the reason,
// and false is returned.
bool writeOutputFile(Form& form, const std::string& path, std::string_view bytes);

} // namespace travonix
