#include "cfunction/MakeCommand.h"

#include "listing/ListCommands.h"

namespace travonix {

namespace {
constexpr int kIndividualFiles = 0;
constexpr int kSingleFile = 1;
constexpr int kMergeFunctions = 2;
} // namespace

void optOutputFileType_Click(Form& form, int index) {
    form.state.optOutputFileType = index;
    form.options.IndividualPluginFiles = false;
    form.options.SinglePluginFile = false;
    form.options.MergePlugins = false;
    form.state.txtCFunctionNameVisible = false;
    if (index == kIndividualFiles) {
        form.options.IndividualPluginFiles = true;
    } else if (index == kSingleFile) {
        form.options.SinglePluginFile = true;
        setChkShowMain(form, kUnchecked);
    } else if (index == kMergeFunctions) {
        form.options.MergePlugins = true;
        form.state.txtCFunctionNameVisible = true;
        setChkShowMain(form, kChecked); // the merged block's entry offset points at main
    }
    if (!form.options.Loading)
        cmdMakeBas_Click(form);
}

void selectOutputFileType(Form& form, int index) {
    if (form.state.optOutputFileType == index)
        return;
    form.state.optOutputFileType = index;
    optOutputFileType_Click(form, index);
}

} // namespace travonix
