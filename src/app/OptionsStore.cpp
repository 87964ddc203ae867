#include "app/OptionsStore.h"

#include "app/QSettingsBackend.h"
#include "listing/TextRules.h"

#include <exception>
#include <utility>

namespace travonix {

OptionsStore::OptionsStore(std::unique_ptr<SettingsBackend> backend)
    : backend_(std::move(backend)) {}

OptionsStore OptionsStore::forCurrentUser() {
    return OptionsStore(std::make_unique<QSettingsBackend>());
}

OptionsStore OptionsStore::atFile(const std::string& iniFilePath) {
    return OptionsStore(std::make_unique<QSettingsBackend>(iniFilePath));
}

std::optional<std::string> OptionsStore::readSetting(const std::string& section,
                                                     const std::string& key,
                                                     const std::string& absentText) {
    try {
        return backend_->read(section, key).value_or(absentText);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

bool OptionsStore::writeSetting(const std::string& section, const std::string& key,
                                const std::string& text) {
    try {
        backend_->write(section, key, text);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::optional<std::string> OptionsStore::readText(const TextSetting& setting) {
    return readSetting(setting.section, setting.key, setting.absentText);
}

void OptionsStore::load(const TextSetting& setting, AppOptions& options) {
    if (auto text = readText(setting))
        options.*setting.member = std::move(*text);
}

void OptionsStore::load(const BoolSetting& setting, AppOptions& options) {
    auto text = readSetting(setting.section, setting.key, boolToText(setting.absentValue));
    if (!text)
        return;
    if (auto value = textToBool(*text))
        options.*setting.member = *value;
}

void OptionsStore::loadDisAsmCmd(AppOptions& options) {
    load(settings::kDisAsmCmd, options);
    // A separate step: it runs on whatever the command is, even after a
    // failed read.
    options.DisAsmCmd = applyDashZRule(std::move(options.DisAsmCmd));
}

std::optional<int> OptionsStore::readShowAllFuncs() {
    auto text = readSetting(settings::kShowAllFuncsSection, settings::kShowAllFuncsKey, "0");
    if (!text)
        return std::nullopt;
    return textToCheckState(*text);
}

std::optional<int> OptionsStore::loadAll(AppOptions& options) {
    load(settings::kELFFileName, options);
    load(settings::kDISFileName, options);
    loadDisAsmCmd(options);
    load(settings::kPluginFolderName, options);
    if (auto name = readText(settings::kMergeCFunctionName))
        options.MergeCFunctionName = std::string(trimBlanks(*name));
    load(settings::kMPLab, options);
    load(settings::kMPLabX, options);
    load(settings::kAutoLoadELF, options);
    std::optional<int> showAllFuncs = readShowAllFuncs();
    load(settings::kSelectAllFuncs, options);
    load(settings::kMergePlugins, options);
    load(settings::kSinglePluginFile, options);
    load(settings::kIndividualPluginFiles, options);
    load(settings::kAutoGeneratePlugin, options);
    load(settings::kShowMain, options);
    load(settings::kSaveDisAsm, options);
    load(settings::kAutoCheck, options);
    return showAllFuncs;
}

void OptionsStore::saveShowAllFuncs(int checkState) {
    writeSetting(settings::kShowAllFuncsSection, settings::kShowAllFuncsKey,
                 std::to_string(checkState));
}

void OptionsStore::save(const TextSetting& setting, const AppOptions& options) {
    writeSetting(setting.section, setting.key, options.*setting.member);
}

void OptionsStore::save(const BoolSetting& setting, const AppOptions& options) {
    writeSetting(setting.section, setting.key, boolToText(options.*setting.member));
}

void OptionsStore::saveAtEnd(const AppOptions& options) {
    save(settings::kELFFileName, options);
    save(settings::kDISFileName, options);
    save(settings::kPluginFolderName, options);
    save(settings::kMergeCFunctionName, options);
    save(settings::kSelectAllFuncs, options);
    save(settings::kAutoLoadELF, options);
    save(settings::kAutoGeneratePlugin, options);
    save(settings::kIndividualPluginFiles, options);
    save(settings::kSinglePluginFile, options);
    save(settings::kMergePlugins, options);
    save(settings::kMPLab, options);
    save(settings::kMPLabX, options);
    save(settings::kDisAsmCmd, options);
    save(settings::kShowMain, options);
    save(settings::kSaveDisAsm, options);
    save(settings::kAutoCheck, options);
}

} // namespace travonix
