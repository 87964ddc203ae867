#pragma once

#include "core/Failure.h"

#include <string>
#include <string_view>
#include <vector>

namespace travonix {

// Where written files go. The platform writes them whole; tests keep them in
// memory.
class FileWriter {
  public:
    virtual ~FileWriter() = default;
    // Nothing when written; else the system's reason, without the path.
    virtual Outcome writeWhole(const std::string& path, std::string_view bytes) = 0;
    // The same for a file given in pieces, written one after the other.
    virtual Outcome writeWhole(const std::string& path, const std::vector<std::string>& parts) {
        std::string bytes;
        for (const std::string& part : parts)
            bytes += part;
        return writeWhole(path, std::string_view(bytes));
    }
};

} // namespace travonix
