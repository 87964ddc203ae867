#pragma once

#include "support/Fixtures.h"

#include <optional>
#include <string>

namespace travonix::test {

// Sets (or, with std::nullopt, removes) an environment variable of the test
// process and puts the old value back on destruction.
class ScopedEnv {
  public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

  private:
    std::string name_;
    std::optional<std::string> old_;
};

// A temporary folder of small programs put first on PATH for the length of a
// test: wrappers around the real mipsel objdump under the toolchains' names,
// plus misbehaving ones. Each wrapper logs its arguments (one per line) and
// its LC_ALL to "<name>.args" and "<name>.env" in the log folder.
class ToolFolder {
  public:
    ToolFolder();
    // A wrapper named `name` that logs, then runs `body` (shell text).
    void addWrapper(const std::string& name, const std::string& body);
    // A wrapper that runs the real mipsel objdump with its arguments.
    void addObjdump(const std::string& name);
    // A file named `name` in the tool folder with the given mode.
    void addFile(const std::string& name, const std::string& content, unsigned mode);

    [[nodiscard]] const std::string& bin() const { return bin_; }
    [[nodiscard]] std::string argsLog(const std::string& name) const;
    [[nodiscard]] std::string envLog(const std::string& name) const;
    [[nodiscard]] bool ran(const std::string& name) const;

  private:
    TempDir dir_;
    std::string bin_;
    std::string logs_;
    ScopedEnv path_;
};

// Writes bytes to a file, creating it; fails the test when it cannot.
void writeFile(const std::string& path, const std::string& bytes);
[[nodiscard]] bool exists(const std::string& path);

} // namespace travonix::test
