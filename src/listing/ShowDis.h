#pragma once

#include "listing/Form.h"

namespace travonix {

// The listing read (also the hidden "Show .DIS" button): reads DISFileName,
// replaces the listing and the function list, keeps the selection by name,
// rewrites the jumps and, with "Auto Generate" ticked, generates at once.
void cmdShowDIS_Click(Form& form);

} // namespace travonix
