#include "app/SettingsStore.h"

#include "app/QSettingsBackend.h"
#include "app/SettingTexts.h"

#include <exception>
#include <utility>

namespace travonix {

SettingsStore::SettingsStore(std::unique_ptr<SettingsBackend> backend)
    : backend_(std::move(backend)) {}

SettingsStore SettingsStore::forCurrentUser() {
    return SettingsStore(std::make_unique<QSettingsBackend>());
}

SettingsStore SettingsStore::atFile(const std::string& iniFilePath) {
    return SettingsStore(std::make_unique<QSettingsBackend>(iniFilePath));
}

std::optional<std::string> SettingsStore::readText(const SettingKey& key) {
    try {
        return backend_->read(key.section, key.key).value_or(key.absentText);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<bool> SettingsStore::readBool(const SettingKey& key) {
    const auto text = readText(key);
    return text ? textToBool(*text) : std::nullopt;
}

std::optional<int> SettingsStore::readCheckState(const SettingKey& key) {
    const auto text = readText(key);
    return text ? textToCheckState(*text) : std::nullopt;
}

bool SettingsStore::writeText(const SettingKey& key, const std::string& text) {
    try {
        backend_->write(key.section, key.key, text);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool SettingsStore::writeBool(const SettingKey& key, bool value) {
    return writeText(key, boolToText(value));
}

} // namespace travonix
