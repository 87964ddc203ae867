#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace travonix {

// One line of the listing view (lstShowFile): its text and whether it is
// highlighted (the jump rewriting selects the lines it changed).
struct ListingItem {
    std::string text;
    bool selected = false;
};

// One entry of the function list (lstFuncs).
struct FunctionEntry {
    std::string name;          // exactly as between " <" and ">:" in its header line
    std::int32_t dataMark = 0; // 0 code section, 1 read-only data section
    bool selected = false;
};

// Check-box states as the window stores them.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kGrayed = 2;

// The window's controls as plain data. The handlers read and write this; the
// window (and the command-line tool) only show it. Initial values are the
// states the window has when it is created.
struct WindowState {
    // lstShowFile: the DisassemblyListing.
    std::vector<ListingItem> showFile;
    int showFileCurrent = -1;
    std::string showFileToolTip = "Disassembled .ELF file";

    // lstFuncs: the FunctionList.
    std::vector<FunctionEntry> funcs;
    int funcsCurrent = -1;

    // lstPluginSrc: the GeneratedSource view.
    std::vector<std::string> pluginSrc;
    int pluginSrcTop = 0; // first line scrolled into view
    bool pluginSrcHasSelection = false;

    // Text fields.
    std::string txtCFunctionName;
    bool txtCFunctionNameVisible = false;
    std::string txtPluginSize;
    std::string txtPluginMakeTime;
    std::string txtELFFileName;
    std::string txtWorkingDir;
    std::string txtDisFileName;
    std::string txtPluginFolderName;

    // Check boxes.
    int chkShowAllFuncs = kUnchecked;
    int chkSelectAllFuncs = kChecked;
    int chkShowMain = kUnchecked;
    int chkSaveDisasm = kUnchecked;
    int chkAutoLoadELF = kUnchecked;
    int chkAutoCheck = kUnchecked;
    int chkAutoGeneratePlugin = kUnchecked;
    bool chkAutoGeneratePluginVisible = true;

    // Option groups: the selected index of optOutputFileType (-1 none), and the
    // two toolchain buttons.
    int optOutputFileType = 1;
    bool optMPLab = false;
    bool optMPLabX = true;

    // One-line report of the last failure that has no message box of its own
    // (a file that could not be written, a disassembler that failed).
    std::string statusLine;
};

} // namespace travonix
