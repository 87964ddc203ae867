#pragma once

#include "listing/Form.h"

#include <string>

namespace travonix {

// "&Make CFunction(s)": builds the selected functions' blocks and writes the
// .bas files by output mode, "DisAsm.txt" when asked, and the reports.
void cmdMakeBas_Click(Form& form);

// Writes one .bas file (folder, separator, name, ".bas") and puts its text on
// the clipboard. Returns false when the file could not be written; the failure
// has then been reported through the window services.
bool WriteBasFile(Form& form, const std::string& name, const std::string& text);

// The three output-type buttons (0 individual files, 1 single file, 2 merge).
void optOutputFileType_Click(Form& form, int index);
// Selecting an output type from code runs its click handler when it changes.
void selectOutputFileType(Form& form, int index);

// Keeps MergeCFunctionName equal to the trimmed name field.
void txtCFunctionName_Change(Form& form);
// Setting the name field from code runs its change handler when the text changes.
void setCFunctionNameText(Form& form, const std::string& text);

} // namespace travonix
