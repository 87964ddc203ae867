#pragma once

#include <string>

namespace travonix::test {

// A fresh folder under the user's temporary folder, named with "\" as
// Windows names it, removed with everything in it on destruction.
class WindowsTempDir {
  public:
    explicit WindowsTempDir(const std::string& prefix = "travonix-win-");
    ~WindowsTempDir();
    WindowsTempDir(const WindowsTempDir&) = delete;
    WindowsTempDir& operator=(const WindowsTempDir&) = delete;
    [[nodiscard]] const std::string& path() const { return path_; }
    [[nodiscard]] std::string file(const std::string& name) const { return path_ + "\\" + name; }

  private:
    std::string path_;
};

// A program built beside the test program, by its file name.
[[nodiscard]] std::string besideTestProgram(const std::string& name);
// The stand-in disassembler built beside the test program.
[[nodiscard]] std::string standInPath();

// Writes bytes to a file, creating it; fails the test when it cannot.
void writeBytes(const std::string& path, const std::string& bytes);
// The names in a folder, sorted.
[[nodiscard]] std::string namesIn(const std::string& folder);

} // namespace travonix::test
