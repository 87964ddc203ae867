#ifndef _WIN32

// The runner on systems without cmd.exe. No shell is started: the program is
// found on PATH and gets its arguments as they are, so nothing in a file name
// ("$(...)", backquotes, quotes) is ever interpreted. Standard output goes to
// the named file, which is created or emptied first, either directly or,
// when the caller reads it as it comes, through a pipe that this side copies
// into the file; standard error goes to an anonymous temporary file whose
// first line is kept for the report.

#include "platform/ProcessRunner.h"
#include "platform/ProgramSearch.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <poll.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace travonix::detail {

bool pipesOutput(const ProcessCommand& /*every command*/) {
    return true;
}

namespace {

using Clock = std::chrono::steady_clock;

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    [[nodiscard]] int get() const { return fd_; }
    [[nodiscard]] bool valid() const { return fd_ >= 0; }
    void close() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

int openStandardOutput(const std::string& path) {
    if (path.empty())
        return ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    // Never through a link: the output goes to the file of that name or nowhere.
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
}

int openErrorCapture() {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec)
        folder = "/tmp";
    std::string name = (folder / "travonix-stderr-XXXXXX").string();
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0)
        ::unlink(name.c_str());
    return fd;
}

std::string firstLineOf(int fd) {
    char buffer[1024];
    const ssize_t got = ::pread(fd, buffer, sizeof buffer, 0);
    if (got <= 0)
        return {};
    std::string text(buffer, static_cast<std::size_t>(got));
    return text.substr(0, text.find_first_of("\r\n"));
}

// The current environment with LC_ALL=C, so the listing never depends on the
// user's language.
std::vector<std::string> childEnvironment() {
    std::vector<std::string> entries;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "LC_ALL=", 7) != 0)
            entries.emplace_back(*entry);
    entries.emplace_back("LC_ALL=C");
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

// posix_spawn's result: 0, or the errno of a failed start.
int spawn(pid_t& pid, const std::string& program, std::vector<std::string> arguments, int outFd,
          int errFd) {
    std::vector<std::string> environment = childEnvironment();
    std::vector<char*> argv = pointersTo(arguments);
    std::vector<char*> envp = pointersTo(environment);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_adddup2(&actions, errFd, 2);
    // A group of its own, so a time-out ends whatever the program started too.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const int result =
        ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    return result;
}

bool isProgramFault(int error) {
    return error == ENOENT || error == EACCES || error == ENOEXEC || error == ENOTDIR ||
           error == ELOOP || error == ENAMETOOLONG || error == ETXTBSY || error == EISDIR;
}

std::int32_t exitCodeOf(int status) {
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return 0;
}

// A program still running when the wait ends is ended with everything it
// started, so it cannot go on writing the listing after the tool moved on.
void endProcessGroup(pid_t pid) {
    ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) == -1 && errno == EINTR) {
    }
}

// Waits for the child at most `bound`. A child still running then, or when
// the caller cancels, is ended and reported as timed out or cancelled.
ProcessResult waitForExit(pid_t pid, std::chrono::milliseconds bound,
                          const std::atomic<bool>& cancel) {
    const Clock::time_point deadline = Clock::now() + bound;
    std::chrono::milliseconds pause{1};
    for (;;) {
        // Looked at without reaping it: while the ended program is not yet
        // reaped, its group's number cannot go to another process, so what it
        // started and left running (a child still writing the listing) is
        // ended first, and only then is the program reaped.
        siginfo_t info{};
        const int result =
            ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT);
        if (result == 0 && info.si_pid == pid) {
            ::kill(-pid, SIGKILL);
            int status = 0;
            while (::waitpid(pid, &status, 0) == -1 && errno == EINTR) {
            }
            return {ProcessResult::Status::Exited, exitCodeOf(status), {}};
        }
        if (result == -1 && errno != EINTR)
            return {
                ProcessResult::Status::CouldNotStart, 0,
                startFailureText(kErrExitCodeUnavailable,
                                 "Failed to retrieve exit code, error " + std::to_string(errno))};
        if (cancel.load()) {
            endProcessGroup(pid);
            return {ProcessResult::Status::Cancelled, kStillActive, {}};
        }
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            endProcessGroup(pid);
            return {ProcessResult::Status::TimedOut, kStillActive, {}};
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
        pause = std::min(pause * 2, std::chrono::milliseconds{50});
    }
}

// How the pipe's reading ended, when it did not end with the output.
using Stopped = std::optional<ProcessResult>;

bool writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t put = ::write(fd, data, size);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        data += put;
        size -= static_cast<std::size_t>(put);
    }
    return true;
}

bool hasExited(pid_t pid) {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid;
}

// A pipe of a megabyte lets the program run well ahead of a slower reader.
void widenPipe([[maybe_unused]] int fd) {
#ifdef F_SETPIPE_SZ
    ::fcntl(fd, F_SETPIPE_SZ, 1 << 20);
#endif
}

// Copies the program's output from the pipe into the file and hands each
// piece to the caller, until the output ends (or the program has exited and
// what it wrote is drained: something it started may hold the pipe open).
// A cancel, the bound or a failed write ends the program.
Stopped passOutput(pid_t pid, int pipe, int file, const ProcessCommand& command,
                   Clock::time_point deadline, const std::atomic<bool>& cancel) {
    std::vector<char> piece(std::size_t{1} << 18);
    bool exited = false;
    for (;;) {
        if (cancel.load()) {
            endProcessGroup(pid);
            return ProcessResult{ProcessResult::Status::Cancelled, kStillActive, {}};
        }
        const Clock::time_point now = Clock::now();
        if (now >= deadline) {
            endProcessGroup(pid);
            return ProcessResult{ProcessResult::Status::TimedOut, kStillActive, {}};
        }
        pollfd ready{pipe, POLLIN, 0};
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::min<Clock::duration>(std::chrono::milliseconds{50}, deadline - now));
        if (!exited && ::poll(&ready, 1, static_cast<int>(wait.count()) + 1) == 0) {
            exited = hasExited(pid);
            continue;
        }
        const ssize_t got = ::read(pipe, piece.data(), piece.size());
        if (got == 0 || (got < 0 && errno == EAGAIN && exited))
            return std::nullopt;
        if (got < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (got < 0 || !writeAll(file, piece.data(), static_cast<std::size_t>(got))) {
            const std::string reason = std::strerror(errno);
            endProcessGroup(pid);
            return ProcessResult{ProcessResult::Status::Exited, 1,
                                 "cannot write " + command.standardOutputFile + ": " + reason};
        }
        command.onOutput(std::string_view(piece.data(), static_cast<std::size_t>(got)));
    }
}

} // namespace

ProcessResult runAndWait(const ProcessCommand& command, std::int32_t /*windowStyle: no windows*/,
                         std::chrono::milliseconds waitBound, const std::atomic<bool>& cancel) {
    using Status = ProcessResult::Status;
    // The output file is created or emptied before anything else, as the
    // shell's redirection does even for a program that turns out missing.
    FileDescriptor out(openStandardOutput(command.standardOutputFile));
    if (!out.valid())
        return {Status::Exited, 1,
                "cannot write " + command.standardOutputFile + ": " + std::strerror(errno)};
    const std::string name = command.arguments.empty() ? std::string() : command.arguments[0];
    const std::optional<std::string> program = findProgramOnPath(name);
    if (!program)
        return {Status::NotFound, kProgramNotFound,
                name.empty() ? "no program given" : name + ": program not found"};
    const std::string shellFailed =
        startFailureText(kErrShellFailed, "Failed to Shell child process");
    FileDescriptor err(openErrorCapture());
    if (!err.valid())
        return {Status::CouldNotStart, 0, shellFailed};
    int ends[2] = {-1, -1};
    if (command.onOutput && ::pipe2(ends, O_CLOEXEC) != 0)
        return {Status::CouldNotStart, 0, shellFailed};
    FileDescriptor pipeRead(ends[0]);
    FileDescriptor pipeWrite(ends[1]);
    const Clock::time_point deadline = Clock::now() + waitBound;
    pid_t pid = 0;
    const int started = spawn(pid, *program, command.arguments,
                              pipeWrite.valid() ? pipeWrite.get() : out.get(), err.get());
    pipeWrite.close(); // the output ends when the program's copies are closed
    if (started != 0 && isProgramFault(started))
        return {Status::CouldNotStart, kProgramNotRunnable,
                *program + ": " + std::strerror(started)};
    if (started != 0 || pid == 0)
        return {Status::CouldNotStart, 0, shellFailed};
    Stopped stopped;
    if (pipeRead.valid()) {
        widenPipe(pipeRead.get());
        ::fcntl(pipeRead.get(), F_SETFL, O_NONBLOCK);
        stopped = passOutput(pid, pipeRead.get(), out.get(), command, deadline, cancel);
    }
    ProcessResult result =
        stopped ? std::move(*stopped)
                : waitForExit(
                      pid,
                      std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::max<Clock::duration>(deadline - Clock::now(), Clock::duration{})),
                      cancel);
    if (result.errorLine.empty())
        result.errorLine = firstLineOf(err.get());
    return result;
}

} // namespace travonix::detail

#endif
