#pragma once

#include <string>

namespace travonix {

// How the blocks are written: one file per function, one file holding every
// block, or all functions merged into one block whose entry word points at
// main.
enum class OutputMode { IndividualFiles, SingleFile, Merged };

// Which vendor toolchain's objdump runs; None until the user chose one.
enum class Toolchain { None, MPLabX, MPLab };

// What a read and a conversion work from: one field per fact.
struct ConversionSettings {
    OutputMode mode = OutputMode::IndividualFiles;
    std::string mergedName;   // the merged CFunction's name, trimmed of blanks
    std::string outputFolder; // used exactly as given
    bool includeMain = false;
    bool fullReading = false;     // every line and every function ("Show ALL funcs")
    bool selectAll = false;       // the selected state of functions a read finds
    bool keepListingCopy = false; // also write "DisAsm.txt"
    // Merge mode: re-lay the merged block so that it finds its own address
    // at run time (see core/relay/Relayer.h).
    bool positionIndependent = false;
};

// Every option of the tool, as plain data. The settings store fills it at
// start and saves it at exit; the steps read it.
struct Options {
    std::string elfPath;
    std::string listingPath;
    std::string disassemblerCommand; // the program and its options, without file names
    Toolchain toolchain = Toolchain::None;
    bool autoLoadElf = false;
    bool autoGenerate = false;
    bool autoCheck = false;
    ConversionSettings conversion;
};

// The disassembler command of a first run.
inline constexpr const char* kDefaultDisassemblerCommand = "pic32-objdump.exe -D -z";
// The commands that choosing a toolchain sets.
inline constexpr const char* kMPLabXCommand = "xc32-objdump.exe -D";
inline constexpr const char* kMPLabCommand = "pic32-objdump.exe -D";

// The options of a first run.
[[nodiscard]] Options defaultOptions();

// objdump must print zero words (-z) or the listing skips them; a stored
// command without "-z" (exact, case-sensitive) gets " -z " appended.
[[nodiscard]] std::string withZeroWords(std::string command);

} // namespace travonix
