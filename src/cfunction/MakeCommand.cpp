#include "cfunction/MakeCommand.h"

// Placeholder so the core links while generation is being written.
namespace travonix {
void cmdMakeBas_Click(Form&) {}
bool WriteBasFile(Form&, const std::string&, const std::string&) { return false; }
void optOutputFileType_Click(Form&, int) {}
void selectOutputFileType(Form&, int) {}
void txtCFunctionName_Change(Form&) {}
void setCFunctionNameText(Form&, const std::string&) {}
} // namespace travonix
