#pragma once

#include "app/AppOptions.h"
#include "app/SettingsBackend.h"

#include <memory>
#include <optional>
#include <string>

namespace travonix {

// A stored text member of AppOptions: where it lives and its absent-key value.
struct TextSetting {
    const char* section;
    const char* key;
    std::string AppOptions::*member;
    const char* absentText;
};

// A stored boolean member of AppOptions.
struct BoolSetting {
    const char* section;
    const char* key;
    bool AppOptions::*member;
    bool absentValue;
};

// Every persisted key. "chkShowAllFuncs" belongs to its check box, not to
// AppOptions, and has its own functions on the store.
namespace settings {
inline constexpr TextSetting kELFFileName{"Paths", "ELFFileName", &AppOptions::ELFFileName, ""};
inline constexpr TextSetting kDISFileName{"Paths", "DISFileName", &AppOptions::DISFileName, ""};
inline constexpr TextSetting kPluginFolderName{"Paths", "PluginFolderName",
                                               &AppOptions::PluginFolderName, ""};
inline constexpr TextSetting kMergeCFunctionName{"Paths", "MergeCFunctionName",
                                                 &AppOptions::MergeCFunctionName, ""};
inline constexpr TextSetting kDisAsmCmd{"Internals", "DisAsmCmd", &AppOptions::DisAsmCmd,
                                        defaults::kDisAsmCmd};
inline constexpr BoolSetting kMPLab{"Settings", "MPLab", &AppOptions::MPLab, false};
inline constexpr BoolSetting kMPLabX{"Settings", "MPLabX", &AppOptions::MPLabX, false};
inline constexpr BoolSetting kAutoLoadELF{"Settings", "AutoLoadELF", &AppOptions::AutoLoadELF,
                                          false};
inline constexpr BoolSetting kSelectAllFuncs{"Settings", "SelectAllFuncs",
                                             &AppOptions::SelectAllFuncs, false};
inline constexpr BoolSetting kMergePlugins{"Settings", "MergePlugins", &AppOptions::MergePlugins,
                                           false};
inline constexpr BoolSetting kSinglePluginFile{"Settings", "SinglePluginFile",
                                               &AppOptions::SinglePluginFile, false};
inline constexpr BoolSetting kIndividualPluginFiles{"Settings", "IndividualPluginFiles",
                                                    &AppOptions::IndividualPluginFiles,
                                                    defaults::kIndividualPluginFiles};
inline constexpr BoolSetting kAutoGeneratePlugin{"Settings", "AutoGeneratePlugin",
                                                 &AppOptions::AutoGeneratePlugin, false};
inline constexpr BoolSetting kShowMain{"Settings", "ShowMain", &AppOptions::ShowMain, false};
inline constexpr BoolSetting kSaveDisAsm{"Settings", "SaveDisAsm", &AppOptions::SaveDisAsm, false};
inline constexpr BoolSetting kAutoCheck{"Settings", "AutoCheck", &AppOptions::AutoCheck, false};
inline constexpr const char* kShowAllFuncsSection = "Settings";
inline constexpr const char* kShowAllFuncsKey = "chkShowAllFuncs";
} // namespace settings

// Reads AppOptions from the per-user settings store at start-up and writes
// them back at exit. Every read and every write is a step of its own: one
// that fails is skipped without a word and the next one runs; a member whose
// read or conversion failed keeps the value it had.
class OptionsStore {
  public:
    explicit OptionsStore(std::unique_ptr<SettingsBackend> backend);

    // The current user's store (registry on Windows, an INI file elsewhere).
    [[nodiscard]] static OptionsStore forCurrentUser();
    // An INI file at the given path; tests use one in a temporary folder.
    [[nodiscard]] static OptionsStore atFile(const std::string& iniFilePath);

    // The stored text; `absentText` when the key is absent (a key stored with
    // empty text gives ""); std::nullopt when the store cannot be read.
    [[nodiscard]] std::optional<std::string>
    readSetting(const std::string& section, const std::string& key, const std::string& absentText);
    // Stores the text; false when it could not be stored (callers ignore it).
    bool writeSetting(const std::string& section, const std::string& key, const std::string& text);

    // One start-up read each, so the window can apply each to its control
    // before the next read.
    void load(const TextSetting& setting, AppOptions& options);
    void load(const BoolSetting& setting, AppOptions& options);
    // Reads DisAsmCmd, then applies the "-z" rule once.
    void loadDisAsmCmd(AppOptions& options);
    // The stored text of a text key without touching AppOptions: the merged
    // name goes into its field, whose change handler sets the member.
    [[nodiscard]] std::optional<std::string> readText(const TextSetting& setting);
    // The stored "Show ALL funcs" check state, 0 when the key is absent;
    // std::nullopt when it cannot be read or is no integer from 0 to 2 (the
    // box then stays unchecked).
    [[nodiscard]] std::optional<int> readShowAllFuncs();

    // All reads in start-up order, for a caller without controls; the merged
    // name is trimmed of blanks as its field's change handler would. Returns
    // the "Show ALL funcs" check state, or std::nullopt.
    std::optional<int> loadAll(AppOptions& options);

    // Window unload: the "Show ALL funcs" check box's state.
    void saveShowAllFuncs(int checkState);
    // End of the window's life: the 16 member keys, from members only.
    void saveAtEnd(const AppOptions& options);

  private:
    void save(const TextSetting& setting, const AppOptions& options);
    void save(const BoolSetting& setting, const AppOptions& options);

    std::unique_ptr<SettingsBackend> backend_;
};

} // namespace travonix
