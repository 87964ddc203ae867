#pragma once

#include "cfunction/GenerationRun.h"
#include "listing/Form.h"

#include <cstddef>

namespace travonix {

enum class BlockOutcome {
    Done,
    Abandoned, // the user declined to go on after the "jalr" warning: end the run
};

// Builds the block text of row k of the run from the listing in
// form.state.showFile, appends its view lines to form.state.pluginSrc and its
// listing lines to the run's listing copy (with SaveDisAsm), and moves the
// word counter, the display line and, in merge mode, the entry offset and head
// length on. Rows must be filled first and built in order, k = 0, 1, ...
// A function without a header line in the listing produces nothing.
BlockOutcome BuildCFunctionBlock(GenerationRun& run, std::size_t k, Form& form);

} // namespace travonix
