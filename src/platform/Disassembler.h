#pragma once

#include "listing/Form.h"
#include "platform/ShellAndWait.h"

#include <cstdint>

namespace travonix {

// The toolchain's bare objdump commands, without "-z".
inline constexpr const char* kMPLabXDisAsmCmd = "xc32-objdump.exe -D";
inline constexpr const char* kMPLabDisAsmCmd = "pic32-objdump.exe -D";

// Toolchain choice: 0 MPLabX (XC32), 1 MPLab (pic32 tools). Any other index
// clears both flags and keeps the command. Then disassembles.
void SelectToolchain(Form& form, std::int16_t index, modShellAndWait::ProcessRunner& runner);

// "&Refresh": checks the ELF and .DIS names, notes the ELF file's time, runs
// the disassembler through `runner` and, when it succeeded and the .DIS file
// is there, reads the fresh listing.
void cmdDisassemble_Click(Form& form, modShellAndWait::ProcessRunner& runner);

} // namespace travonix
