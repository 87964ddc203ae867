#pragma once

#include "app/SettingsBackend.h"

#include <memory>
#include <string>

class QSettings;

namespace travonix {

// The settings store on QSettings: sections are groups, values are text. On
// Windows the current user's registry area (HKEY_CURRENT_USER\Software\Travonix),
// elsewhere Travonix/Travonix.ini under the user's configuration folder.
class QSettingsBackend : public SettingsBackend {
  public:
    // The current user's store.
    QSettingsBackend();
    // An INI file at the given path (tests point this at a temporary folder).
    explicit QSettingsBackend(const std::string& iniFilePath);
    ~QSettingsBackend() override;
    QSettingsBackend(const QSettingsBackend&) = delete;
    QSettingsBackend& operator=(const QSettingsBackend&) = delete;

    std::optional<std::string> read(const std::string& section, const std::string& key) override;
    void write(const std::string& section, const std::string& key,
               const std::string& text) override;

    // Where the values live: the INI file's path or the registry key.
    [[nodiscard]] std::string location() const;

  private:
    std::unique_ptr<QSettings> settings_;
};

} // namespace travonix
