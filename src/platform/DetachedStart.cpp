#ifdef _WIN32

#include "platform/DetachedStart.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace travonix {

// The handles of the new process are of no use to a caller that does not
// wait: they are closed at once, and the process runs on by itself.
bool startDetached(std::string commandLine, StartedWindow window) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = window == StartedWindow::Minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    // CreateProcessA may write into the line: it is this function's own copy.
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

} // namespace travonix

#endif
