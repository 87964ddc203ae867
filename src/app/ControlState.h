#pragma once

#include "core/Options.h"

#include <string>

namespace travonix {

// What the window's controls show that is not an option.
struct ControlState {
    bool watcherRunning = false; // the 5-second ELF check is on
    // "Auto Generate" acts on every load and Refresh, so it stays in view
    // whether or not "AutoCheck ELF" is ticked.
    bool autoGenerateShown = true;
    std::string listingToolTip = "Disassembled .ELF file";
};

// The window as it opens, before any stored option is applied: the window
// builds its controls so, and start-up's plan starts from what they show
// (a stored choice that is already shown is no click).
struct WindowOpening {
    ControlState controls;
    OutputMode outputMode = OutputMode::SingleFile;
    bool selectAllTicked = true;
    Toolchain toolchain = Toolchain::MPLabX;
};
inline const WindowOpening kWindowOpening{};

} // namespace travonix
