#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace travonix::test {

// The wait bound for one program run through cmd.exe where the test expects
// the run to end on its own: reached only by a run that hangs, also on a
// loaded two-core machine where a start under wine can take seconds.
inline constexpr std::chrono::seconds kRunBound{120};

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

// The size of a file; 0 when there is none.
[[nodiscard]] std::uintmax_t sizeOf(const std::string& path);
// Waits up to `bound` until the file has at least one byte; its size then.
std::uintmax_t waitUntilWritten(const std::string& path, std::chrono::milliseconds bound);
// Fails the test when the file still grows: a process that writes to it
// every 20 ms would add dozens of bytes while this looks (two seconds, after
// a second for the system to finish ending what was ended).
void expectNoMoreWrites(const std::string& path);

} // namespace travonix::test
