#pragma once

#include "core/Environment.h"

#include <map>
#include <set>
#include <string>
#include <vector>

namespace travonix::test {

// An in-memory file system with a fixed clock and user, for tests that need
// no real files. Paths are plain keys.
class FakeEnvironment : public Environment {
  public:
    std::map<std::string, std::string> files;
    std::map<std::string, std::string> modified; // path -> modification text
    std::set<std::string> unwritable;            // paths whose write fails
    LocalDateTime clock{2026, 12, 10, 9, 5, 7};
    std::string user = "tester";
    std::string separator = "\\";
    std::vector<std::string> writes; // paths written, in order

    bool fileExists(const std::string& path) override { return files.count(path) != 0; }
    std::optional<std::string> readFile(const std::string& path) override;
    Outcome writeWhole(const std::string& path, std::string_view bytes) override;
    using Environment::writeWhole;
    std::optional<std::string> fileModifiedText(const std::string& path) override;
    Outcome replaceFile(const std::string& from, const std::string& to) override;
    void removeFile(const std::string& path) override { files.erase(path); }
    // An empty file named as the real one names it, beside `path`.
    Result<std::unique_ptr<HeldFile>> createFileBeside(const std::string& path) override;
    Outcome notReplaceable(const std::string& /*path*/) override { return std::nullopt; }
    std::vector<std::string> createdBeside; // paths made by createFileBeside, in order
    LocalDateTime now() override { return clock; }
    std::string userName() override { return user; }
    std::string pathSeparator() override { return separator; }
};

} // namespace travonix::test
