#pragma once

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace travonix {

// One command for the process runner, in the form each platform runs it.
struct ShellCommand {
    // Windows: the complete command line ("cmd.exe /C ..."), handed to the
    // program starter unchanged.
    std::string commandLine;
    // Elsewhere no shell is involved: the program (found on PATH) and its
    // arguments, each passed as it is.
    std::vector<std::string> arguments;
    // Elsewhere: the file that receives standard output. It is created or
    // emptied before the program starts, as a shell's ">" would do. Empty:
    // standard output is discarded.
    std::string standardOutputFile;
};

// An error that ShellSync raises itself.
class ShellError : public std::runtime_error {
  public:
    ShellError(std::int32_t number, const std::string& description);

    [[nodiscard]] std::int32_t number() const { return number_; }
    [[nodiscard]] std::string description() const { return what(); }
    [[nodiscard]] std::string source() const { return "ShellSync"; }

  private:
    std::int32_t number_;
};

namespace modShellAndWait {

// Application-defined error numbers: 0x80040000 + 0xAA00..0xAA02.
inline constexpr std::int32_t kErrExitCodeUnavailable = static_cast<std::int32_t>(0x8004AA00U);
inline constexpr std::int32_t kErrOpenProcess = static_cast<std::int32_t>(0x8004AA01U);
inline constexpr std::int32_t kErrShellFailed = static_cast<std::int32_t>(0x8004AA02U);

// The exit code reported for a process still running when the wait ends.
inline constexpr std::int32_t kStillActive = 259;
inline constexpr std::chrono::milliseconds kWaitBound{300000};
// Minimized without taking the focus (the Shell window styles 0..4 and 6).
inline constexpr std::int32_t kMinimizedNoFocus = 6;

// Exit codes of a command that never ran, as a shell reports them: the
// program was not found, or was found but could not be run.
inline constexpr std::int32_t kProgramNotFound = 127;
inline constexpr std::int32_t kProgramNotRunnable = 126;

// Runs one command, blocks until it ends or the wait bound passes, and gives
// back its exit code. The product waits 300,000 ms; tests inject less.
class ProcessRunner {
  public:
    explicit ProcessRunner(std::chrono::milliseconds waitBound = kWaitBound)
        : waitBound_(waitBound) {}
    virtual ~ProcessRunner() = default;

    // The exit code; kStillActive when the process is still running after
    // the wait, which is then ended. Raises ShellError.
    virtual std::int32_t ShellSync(const ShellCommand& command, std::int32_t windowStyle);

    // The first line the last command wrote on standard error, or why it
    // could not run; "" when there is none.
    [[nodiscard]] const std::string& lastErrorLine() const { return lastErrorLine_; }
    [[nodiscard]] std::chrono::milliseconds waitBound() const { return waitBound_; }

  protected:
    std::string lastErrorLine_;

  private:
    std::chrono::milliseconds waitBound_;
};

// ShellSync with the product's wait bound.
std::int32_t ShellSync(const ShellCommand& command, std::int32_t windowStyle);

namespace detail {
// The platform's start-wait-exit-code sequence (one definition per platform).
std::int32_t runAndWait(const ShellCommand& command, std::int32_t windowStyle,
                        std::chrono::milliseconds waitBound, std::string& errorLine);
} // namespace detail

} // namespace modShellAndWait
} // namespace travonix
