#ifdef _WIN32

// The runner on Windows: the command line goes to the program starter as it
// is ("cmd.exe /C ..." does its own search and redirection), then the
// process is waited for and its exit code read. The process runs in a job
// object, and whatever is still running in the job when the runner is done
// with it (the disassembler cmd.exe started, or anything that one started) is
// ended before the runner returns: nothing it started writes on afterwards.

#include "platform/ProcessRunner.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace travonix::detail {

// Standard output goes to the file through cmd.exe's redirection.
const bool kOutputThroughPipe = false;

namespace {

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

ProcessResult runAndWait(const ProcessCommand& command, std::int32_t windowStyle,
                         std::chrono::milliseconds waitBound, const std::atomic<bool>& cancel) {
    using Status = ProcessResult::Status;
    const std::string shellFailed =
        startFailureText(kErrShellFailed, "Failed to Shell child process");
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = showWindowMode(windowStyle);
    PROCESS_INFORMATION process{};
    std::string line = command.commandLine; // CreateProcessA may write into it
    // Started suspended and put into the job first, so that nothing it starts
    // can run outside the job.
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        nullptr, &startup, &process))
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
