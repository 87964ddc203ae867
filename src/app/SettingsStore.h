#pragma once

#include "app/SettingsBackend.h"

#include <memory>
#include <optional>
#include <string>

namespace travonix {

// Where one option lives in the store, and the text it has when absent.
struct SettingKey {
    const char* section;
    const char* key;
    const char* absentText;
};

// Every persisted key, under the application name "Travonix".
namespace keys {
inline constexpr SettingKey kElfFileName{"Paths", "ELFFileName", ""};
inline constexpr SettingKey kDisFileName{"Paths", "DISFileName", ""};
inline constexpr SettingKey kOutputFolder{"Paths", "PluginFolderName", ""};
inline constexpr SettingKey kMergedName{"Paths", "MergeCFunctionName", ""};
inline constexpr SettingKey kDisassemblerCommand{"Internals", "DisAsmCmd",
                                                 "pic32-objdump.exe -D -z"};
inline constexpr SettingKey kMPLab{"Settings", "MPLab", "False"};
inline constexpr SettingKey kMPLabX{"Settings", "MPLabX", "False"};
inline constexpr SettingKey kAutoLoadElf{"Settings", "AutoLoadELF", "False"};
inline constexpr SettingKey kShowAllFunctions{"Settings", "chkShowAllFuncs", "0"};
inline constexpr SettingKey kSelectAll{"Settings", "SelectAllFuncs", "False"};
inline constexpr SettingKey kMerge{"Settings", "MergePlugins", "False"};
inline constexpr SettingKey kSingleFile{"Settings", "SinglePluginFile", "False"};
inline constexpr SettingKey kIndividualFiles{"Settings", "IndividualPluginFiles", "True"};
inline constexpr SettingKey kAutoGenerate{"Settings", "AutoGeneratePlugin", "False"};
inline constexpr SettingKey kIncludeMain{"Settings", "ShowMain", "False"};
inline constexpr SettingKey kKeepListingCopy{"Settings", "SaveDisAsm", "False"};
inline constexpr SettingKey kAutoCheck{"Settings", "AutoCheck", "False"};
// Travonix's own: re-lay a merged block so that it runs where it is loaded.
inline constexpr SettingKey kPositionIndependent{"Settings", "PositionIndependent", "False"};
// The window's own: where it stood and how it looked (Base64 of Qt's saved
// geometry and splitter states; empty keeps the window as built).
inline constexpr SettingKey kWindowGeometry{"Window", "Geometry", ""};
inline constexpr SettingKey kListsSplitter{"Window", "ListsSplitter", ""};
inline constexpr SettingKey kFindingsSplitter{"Window", "FindingsSplitter", ""};
inline constexpr SettingKey kDesktopColours{"Window", "UseDesktopColours", "False"};
} // namespace keys

// The per-user settings store. Every read and every write is a step of its
// own: one that fails gives std::nullopt / false and the caller goes on.
class SettingsStore {
  public:
    explicit SettingsStore(std::unique_ptr<SettingsBackend> backend);
    // The current user's store (registry on Windows, an INI file elsewhere).
    [[nodiscard]] static SettingsStore forCurrentUser();
    // An INI file at the given path; tests use one in a temporary folder.
    [[nodiscard]] static SettingsStore atFile(const std::string& iniFilePath);

    // The stored text, the key's absent text when it is absent (a key stored
    // with empty text gives ""), std::nullopt when the store cannot be read.
    [[nodiscard]] std::optional<std::string> readText(const SettingKey& key);
    // The stored boolean; std::nullopt when unreadable or not convertible.
    [[nodiscard]] std::optional<bool> readBool(const SettingKey& key);
    // The stored check state 0, 1 or 2; std::nullopt when unreadable or not
    // such a number.
    [[nodiscard]] std::optional<int> readCheckState(const SettingKey& key);

    // Stores the text; false when it could not be stored (callers ignore it).
    bool writeText(const SettingKey& key, const std::string& text);
    bool writeBool(const SettingKey& key, bool value);

  private:
    std::unique_ptr<SettingsBackend> backend_;
};

} // namespace travonix
