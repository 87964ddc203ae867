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
// A path that is not the output folder, one separator and a plain file name
// is never written.
bool writeOutputFile(Form& form, const std::string& path, std::string_view bytes);

// True when `name` + `extension` can be a file of the output folder; else the
// reason is reported by name (see fileNameProblem) and false is returned.
bool checkOutputFileName(Form& form, std::string_view name, std::string_view extension);

} // namespace travonix
