#include "cfunction/MakeCommand.h"

#include "listing/TextRules.h"

namespace travonix {

void txtCFunctionName_Change(Form& form) {
    form.options.MergeCFunctionName = std::string(trimBlanks(form.state.txtCFunctionName));
}

void setCFunctionNameText(Form& form, const std::string& text) {
    if (form.state.txtCFunctionName == text)
        return;
    form.state.txtCFunctionName = text;
    txtCFunctionName_Change(form);
}

} // namespace travonix
