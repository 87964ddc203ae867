#pragma once

#include "listing/Form.h"

namespace travonix {

// "Select ALL funcs", "Include main()" and "Show ALL funcs".
void chkSelectAllFuncs_Click(Form& form);
void chkShowMain_Click(Form& form);
void chkShowAllFuncs_Click(Form& form);

// Setting a check box from code runs its click handler when (and only when)
// its state changes, exactly as a user's click does.
void setChkSelectAllFuncs(Form& form, int state);
void setChkShowMain(Form& form, int state);
void setChkShowAllFuncs(Form& form, int state);

} // namespace travonix
