#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace travonix {

// The option flags, paths and names the whole tool works from. Plain data: the
// settings store (OptionsStore) fills and saves it, the core only reads it and
// the handlers named in the comments change it.
struct AppOptions {
    // "Paths"
    std::string ELFFileName;
    std::string DISFileName;
    std::string PluginFolderName;
    std::string MergeCFunctionName;
    // "Internals"
    std::string DisAsmCmd;
    // "Settings"
    bool MPLab = false;
    bool MPLabX = false;
    bool AutoLoadELF = false;
    bool SelectAllFuncs = false;
    bool MergePlugins = false;
    bool SinglePluginFile = false;
    bool IndividualPluginFiles = false;
    bool AutoGeneratePlugin = false;
    bool ShowMain = false;
    bool SaveDisAsm = false;
    bool AutoCheck = false;

    // Never stored.
    std::string LastELFDateTime;
    bool Loading = false;
    std::array<std::string, 11> SystemFunctionNames{};

    // Puts the two toolchain system functions into the table (start-up does this).
    void fillSystemFunctionNames();
    // True when `name` contains an entry of the table, letter case ignored. The
    // first empty entry ends the table; the empty name is never a system function.
    [[nodiscard]] bool isSystemFunction(std::string_view name) const;
};

// The values a key takes when it is absent from the store.
namespace defaults {
inline constexpr const char* kDisAsmCmd = "pic32-objdump.exe -D -z";
inline constexpr bool kIndividualPluginFiles = true;
} // namespace defaults

// An options record as a first run sees it: every absent-key value applied and
// the system-function table filled. The command-line tool starts from this.
[[nodiscard]] AppOptions defaultOptions();

// "True"/"False" in any letter case, or a number: decimal with optional sign,
// fraction and exponent ("-1", "1.5", "2e3"), or "&H"/"&O" hexadecimal/octal.
// Zero is false, any other number true. Surrounding blanks are ignored.
// Anything else, the empty text included, cannot be converted.
[[nodiscard]] std::optional<bool> textToBool(std::string_view text);
// An integer check state 0, 1 or 2; anything else cannot be converted.
[[nodiscard]] std::optional<int> textToCheckState(std::string_view text);
[[nodiscard]] std::string boolToText(bool value);

// objdump must print zero words (-z) or the listing skips them; a stored
// command without "-z" (exact, case-sensitive) gets " -z " appended.
[[nodiscard]] std::string applyDashZRule(std::string command);

} // namespace travonix
