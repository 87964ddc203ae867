#pragma once

#include "cfunction/GenerationRun.h"
#include "listing/Form.h"

#include <string>

namespace travonix {

// Merge mode: puts the entry offset (eight upper-case hexadecimal digits) in
// place of the first block's "00000000" entry word.
void writeEntryOffset(GenerationRun& run);

// Writes the run's blocks as .bas files by output mode (merged, one file with
// every block, or one file per function) and returns the completion message.
// It names only the files that were written, and is empty when none was.
[[nodiscard]] std::string writeBasFilesByMode(Form& form, GenerationRun& run);

} // namespace travonix
