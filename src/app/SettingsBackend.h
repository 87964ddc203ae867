#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace travonix {

// A per-user store of text values under (section, key) for one application.
// The options store works on this so that the order of its reads and writes
// can be observed; the real one is QSettingsBackend.
class SettingsBackend {
  public:
    virtual ~SettingsBackend() = default;

    // The stored text, or std::nullopt when the key is absent. Throws
    // SettingsError when the store cannot be read.
    virtual std::optional<std::string> read(const std::string& section, const std::string& key) = 0;
    // Stores the text. Throws SettingsError when it cannot be stored.
    virtual void write(const std::string& section, const std::string& key,
                       const std::string& text) = 0;
};

class SettingsError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace travonix
