#pragma once

#include <string>
#include <string_view>

namespace travonix {

// Where written files go. The platform writes them whole; tests keep them in
// memory.
class FileWriter {
  public:
    virtual ~FileWriter() = default;
    // "" when written; else the system's reason, without the path.
    virtual std::string writeWhole(const std::string& path, std::string_view bytes) = 0;
};

} // namespace travonix
