#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace travonix {

// One command for the process runner, in the form each platform runs it.
struct ProcessCommand {
    // Windows: the complete command line ("cmd.exe /C ..."), handed to the
    // program starter unchanged.
    std::string commandLine;
    // Elsewhere no shell is involved: the program (found on PATH) and its
    // arguments, each passed as it is.
    std::vector<std::string> arguments;
    // The file that receives standard output: created or emptied before the
    // program starts (elsewhere, empty: the output is discarded); on Windows
    // the command line's redirection writes it, or, with a piped line, the
    // runner.
    std::string standardOutputFile;
    // When set, called with each piece of standard output, in order, on the
    // thread that runs the command, as the pieces come through a pipe while
    // the program runs; they go to the file as well. On Windows that takes
    // `pipedCommandLine`; without one, the file is handed over once the
    // program has succeeded.
    std::function<void(std::string_view)> onOutput;
    // Windows: the command line without its redirection, run with standard
    // output into the pipe when onOutput is set.
    std::string pipedCommandLine;
};

// How a run ended.
struct ProcessResult {
    enum class Status {
        Exited,        // exitCode holds the program's exit code
        NotFound,      // no such program (exit code 127, as a shell says)
        CouldNotStart, // found but not started (126), or the platform refused
        TimedOut,      // still running when the wait ended; it was ended (259)
        Cancelled,     // ended on the user's request while running (259)
    };
    Status status = Status::Exited;
    std::int32_t exitCode = 0;
    // The first line the program wrote on standard error, or why it could not
    // run; "" when there is none.
    std::string errorLine;
};

// The exit code reported for a process still running when the wait ends.
inline constexpr std::int32_t kStillActive = 259;
inline constexpr std::int32_t kProgramNotFound = 127;
inline constexpr std::int32_t kProgramNotRunnable = 126;
inline constexpr std::chrono::milliseconds kDisassemblerWaitBound{300000};
// Minimized without taking the focus (the window styles 0..4 and 6).
inline constexpr std::int32_t kMinimizedNoFocus = 6;

// The errors a start can end in that no program reported, with their numbers
// (the application-defined base 0x80040000 plus 0xAA00..0xAA02).
inline constexpr std::int32_t kErrExitCodeUnavailable = static_cast<std::int32_t>(0x8004AA00U);
inline constexpr std::int32_t kErrOpenProcess = static_cast<std::int32_t>(0x8004AA01U);
inline constexpr std::int32_t kErrShellFailed = static_cast<std::int32_t>(0x8004AA02U);

// Runs one command, blocks until it ends or the wait bound passes, and says
// how it ended. A program still running at the bound is ended, with whatever
// it started, so it cannot go on writing after the caller moved on.
class ProcessRunner {
  public:
    explicit ProcessRunner(std::chrono::milliseconds waitBound = kDisassemblerWaitBound)
        : waitBound_(waitBound) {}
    virtual ~ProcessRunner() = default;

    virtual ProcessResult run(const ProcessCommand& command, std::int32_t windowStyle);

    [[nodiscard]] std::chrono::milliseconds waitBound() const { return waitBound_; }

    // A run waits on another thread than the window's: the window asks from
    // its own thread for the running program to be ended, as the wait bound
    // would end it. The request holds until cleared, so one made just before
    // the run starts is not lost; the window clears it before each run.
    void requestCancel() { cancelRequested_.store(true); }
    void clearCancel() { cancelRequested_.store(false); }
    [[nodiscard]] bool cancelRequested() const { return cancelRequested_.load(); }

  private:
    std::chrono::milliseconds waitBound_;
    std::atomic<bool> cancelRequested_{false};
};

// A start that no program reported on: its number, description and source
// ("ShellSync"), as one line for a report.
[[nodiscard]] std::string startFailureText(std::int32_t number, const std::string& description);

namespace detail {
// Whether the platform's runAndWait hands the command's standard output to
// onOutput itself, through a pipe.
[[nodiscard]] bool pipesOutput(const ProcessCommand& command);
// The platform's start-wait-exit-code sequence (one definition per platform);
// `cancel` is looked at while waiting.
ProcessResult runAndWait(const ProcessCommand& command, std::int32_t windowStyle,
                         std::chrono::milliseconds waitBound, const std::atomic<bool>& cancel);
} // namespace detail

} // namespace travonix
