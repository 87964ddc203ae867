#ifdef _WIN32

// The runner on Windows: the command line goes to the program starter as it
// is ("cmd.exe /C ..." does its own search and redirection), then the
// process is waited for and its exit code read. A caller that reads the
// output as it comes gets the line without the redirection run with its
// standard output into a pipe, which this side copies into the file. The process runs in a job
// object, and whatever is still running in the job when the runner is done
// with it (the disassembler cmd.exe started, or anything that one started) is
// ended before the runner returns: nothing it started writes on afterwards.

#include "platform/ProcessRunner.h"

#include <string>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace travonix::detail {

namespace {

// Closes a handle when it goes; null and INVALID_HANDLE_VALUE hold none.
class OwnedHandle {
  public:
    explicit OwnedHandle(HANDLE handle = nullptr) : handle_(handle) {}
    ~OwnedHandle() { reset(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    [[nodiscard]] HANDLE get() const { return handle_; }
    [[nodiscard]] bool valid() const {
        return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE;
    }
    void reset(HANDLE handle = nullptr) {
        if (valid())
            CloseHandle(handle_);
        handle_ = handle;
    }

  private:
    HANDLE handle_;
};

// The handles a piped run starts with: the pipe's two ends, the output file
// and NUL for the program's input and errors.
struct PipedOutput {
    OwnedHandle readEnd;
    OwnedHandle writeEnd; // the program's standard output; closed here once it started
    OwnedHandle nul;
    OwnedHandle file;
};

// Why the handles could not be made; "" when they were.
std::string openPipedOutput(const std::string& file, PipedOutput& piped) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherited, 1U << 20))
        return "cannot make a pipe, error " + std::to_string(GetLastError());
    piped.readEnd.reset(readEnd);
    piped.writeEnd.reset(writeEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    piped.nul.reset(CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0,
                                nullptr));
    // Created or emptied before the program starts, as the redirection does.
    piped.file.reset(CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!piped.file.valid())
        return "cannot write " + file + ", error " + std::to_string(GetLastError());
    return {};
}

bool writeAll(HANDLE file, const char* data, DWORD size) {
    while (size > 0) {
        DWORD put = 0;
        if (!WriteFile(file, data, size, &put, nullptr) || put == 0)
            return false;
        data += put;
        size -= put;
    }
    return true;
}

// How copying the output ended.
enum class Pumped { OutputEnded, Stopped, WriteFailed };

// Copies the program's output from the pipe into the file and hands each
// piece to the caller, until every writer has closed the pipe (or the
// program has ended and what it wrote is drained: something it started may
// hold the pipe open). A cancel or the bound stop it; the caller ends the
// program then.
Pumped pumpOutput(HANDLE pipe, HANDLE file, HANDLE process, const ProcessCommand& command,
                  ULONGLONG deadline, const std::atomic<bool>& cancel) {
    std::vector<char> piece(std::size_t{1} << 18);
    bool exited = false;
    for (;;) {
        DWORD available = 0;
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr))
            return Pumped::OutputEnded; // every writer closed its end
        if (available > 0) {
            DWORD got = 0;
            const DWORD want =
                available < piece.size() ? available : static_cast<DWORD>(piece.size());
            if (!ReadFile(pipe, piece.data(), want, &got, nullptr) || got == 0)
                return Pumped::OutputEnded;
            if (!writeAll(file, piece.data(), got))
                return Pumped::WriteFailed;
            command.onOutput(std::string_view(piece.data(), got));
            continue;
        }
        if (exited)
            return Pumped::OutputEnded;
        if (cancel.load() || GetTickCount64() >= deadline)
            return Pumped::Stopped;
        exited = WaitForSingleObject(process, 10) == WAIT_OBJECT_0;
    }
}

// The Shell window styles (0 hidden, 1 normal, 2 minimized, 3 maximized,
// 4 normal without focus, 6 minimized without focus) as show-window modes.
WORD showWindowMode(std::int32_t windowStyle) {
    switch (windowStyle) {
    case 0:
        return SW_HIDE;
    case 2:
        return SW_SHOWMINIMIZED;
    case 3:
        return SW_SHOWMAXIMIZED;
    case 4:
        return SW_SHOWNOACTIVATE;
    case 6:
        return SW_SHOWMINNOACTIVE;
    default:
        return SW_SHOWNORMAL;
    }
}

// True when the process ended within the bound; false at the bound or on a
// cancel.
bool waitForProcess(HANDLE handle, std::chrono::milliseconds bound,
                    const std::atomic<bool>& cancel) {
    constexpr DWORD kSlice = 50;
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(bound.count());
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (cancel.load() || now >= deadline)
            return false;
        const ULONGLONG left = deadline - now;
        const DWORD slice = left < kSlice ? static_cast<DWORD>(left) : kSlice;
        const DWORD waited = WaitForSingleObject(handle, slice);
        if (waited == WAIT_OBJECT_0)
            return true;
        if (waited != WAIT_TIMEOUT)
            return false;
    }
}

// A job whose processes all end when it is closed, even when the tool itself
// ends without closing it; nullptr when the system refuses one (a job that
// the tool runs in may forbid jobs of its own on older systems).
HANDLE createKillOnCloseJob() {
    HANDLE job = CreateJobObjectA(nullptr, nullptr);
    if (job == nullptr)
        return nullptr;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        CloseHandle(job);
        return nullptr;
    }
    return job;
}

// Ends every process still in the job and waits (within a bound) until the
// system counts none running, so that none writes after the runner returned.
void endJob(HANDLE job) {
    TerminateJobObject(job, static_cast<UINT>(kStillActive));
    constexpr ULONGLONG kEndBound = 10000;
    const ULONGLONG deadline = GetTickCount64() + kEndBound;
    for (;;) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
        if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting,
                                       sizeof accounting, nullptr) ||
            accounting.ActiveProcesses == 0 || GetTickCount64() >= deadline)
            return;
        Sleep(10);
    }
}

} // namespace

bool pipesOutput(const ProcessCommand& command) {
    return !command.pipedCommandLine.empty();
}

ProcessResult runAndWait(const ProcessCommand& command, std::int32_t windowStyle,
                         std::chrono::milliseconds waitBound, const std::atomic<bool>& cancel) {
    using Status = ProcessResult::Status;
    const std::string shellFailed =
        startFailureText(kErrShellFailed, "Failed to Shell child process");
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitBound.count());
    const bool piped = command.onOutput && !command.pipedCommandLine.empty();
    PipedOutput output;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindowMode(windowStyle);
    if (piped) {
        const std::string failure = openPipedOutput(command.standardOutputFile, output);
        if (!failure.empty())
            return {Status::Exited, 1, failure};
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = output.nul.get();
        startup.hStdOutput = output.writeEnd.get();
        startup.hStdError = output.nul.get();
    }
    PROCESS_INFORMATION process{};
    // CreateProcessA may write into the line.
    std::string line = piped ? command.pipedCommandLine : command.commandLine;
    // Started suspended and put into the job first, so that nothing it starts
    // can run outside the job.
    const bool started =
        CreateProcessA(nullptr, line.data(), nullptr, nullptr, piped ? TRUE : FALSE,
                       CREATE_SUSPENDED, nullptr, nullptr, &startup, &process);
    output.writeEnd.reset(); // the output ends when the program's copies are closed
    output.nul.reset();
    if (!started)
        return {Status::CouldNotStart, 0, shellFailed};
    HANDLE job = createKillOnCloseJob();
    if (job != nullptr && !AssignProcessToJobObject(job, process.hProcess)) {
        CloseHandle(job);
        job = nullptr;
    }
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    // The handle from the start is kept rather than the process reopened by
    // its id: a quick process could end, and its id be gone, before a reopen.
    HANDLE handle = process.hProcess;
    // Whatever is left in the job goes: a disassembler that exited but left a
    // child running, or one still running at the bound or on a cancel.
    auto closeJob = [&job] {
        if (job == nullptr)
            return;
        endJob(job);
        CloseHandle(job);
    };
    if (process.dwProcessId == 0) {
        if (handle != nullptr)
            CloseHandle(handle);
        closeJob();
        return {Status::CouldNotStart, 0, shellFailed};
    }
    if (handle == nullptr) {
        closeJob();
        return {Status::CouldNotStart, 0,
                startFailureText(kErrOpenProcess, "Failed to open child process")};
    }
    if (piped) {
        const Pumped pumped =
            pumpOutput(output.readEnd.get(), output.file.get(), handle, command, deadline, cancel);
        if (pumped == Pumped::WriteFailed) {
            const DWORD error = GetLastError();
            if (job == nullptr)
                TerminateProcess(handle, static_cast<UINT>(kStillActive));
            CloseHandle(handle);
            closeJob();
            return {Status::Exited, 1,
                    "cannot write " + command.standardOutputFile + ", error " +
                        std::to_string(error)};
        }
        const ULONGLONG now = GetTickCount64();
        waitBound = std::chrono::milliseconds(now < deadline ? deadline - now : 0);
    }
    // A time-out is treated like the end of the process: the exit code then
    // reads STILL_ACTIVE (259). The process is ended, with what it started,
    // so it cannot go on writing the listing after the tool moved on; so is
    // what a process that exited on its own left running. The wait goes in
    // short slices so that a cancel from the window is seen.
    const bool ended = waitForProcess(handle, waitBound, cancel);
    DWORD exitCode = 0;
    if (GetExitCodeProcess(handle, &exitCode)) {
        if (!ended && job == nullptr)
            TerminateProcess(handle, static_cast<UINT>(kStillActive));
        CloseHandle(handle);
        closeJob();
        // cmd.exe says 9009 when it cannot find the program.
        if (exitCode == 9009)
            return {Status::NotFound, static_cast<std::int32_t>(exitCode), "program not found"};
        if (!ended && cancel.load())
            return {Status::Cancelled, static_cast<std::int32_t>(exitCode), {}};
        return {ended ? Status::Exited : Status::TimedOut, static_cast<std::int32_t>(exitCode), {}};
    }
    CloseHandle(handle);
    closeJob();
    const DWORD lastError = GetLastError();
    return {Status::CouldNotStart, 0,
            startFailureText(kErrExitCodeUnavailable,
                             "Failed to retrieve exit code, error " + std::to_string(lastError))};
}

} // namespace travonix::detail

#endif
