#include "listing/ListCommands.h"

#include "listing/ShowDis.h"

namespace travonix {

void chkSelectAllFuncs_Click(Form& form) {
    form.options.SelectAllFuncs = form.state.chkSelectAllFuncs != kUnchecked;
    for (FunctionEntry& entry : form.state.funcs)
        entry.selected = form.options.SelectAllFuncs;
    form.state.funcsCurrent = form.state.funcs.empty() ? -1 : 0;
}

void chkShowMain_Click(Form& form) {
    form.options.ShowMain = form.state.chkShowMain != kUnchecked;
    cmdShowDIS_Click(form);
}

void chkShowAllFuncs_Click(Form& form) {
    cmdShowDIS_Click(form);
}

namespace {
void setCheckBox(Form& form, int WindowState::*box, int state, void (*onClick)(Form&)) {
    if (form.state.*box == state)
        return;
    form.state.*box = state;
    onClick(form);
}
} // namespace

void setChkSelectAllFuncs(Form& form, int state) {
    setCheckBox(form, &WindowState::chkSelectAllFuncs, state, chkSelectAllFuncs_Click);
}

void setChkShowMain(Form& form, int state) {
    setCheckBox(form, &WindowState::chkShowMain, state, chkShowMain_Click);
}

void setChkShowAllFuncs(Form& form, int state) {
    setCheckBox(form, &WindowState::chkShowAllFuncs, state, chkShowAllFuncs_Click);
}

} // namespace travonix
