#pragma once

#ifdef _WIN32

#include <string>

namespace travonix {

// How the started program's first window shows, always with the focus.
enum class StartedWindow { Normal, Minimized };

// Starts a command line with the system's program starter and does not wait
// for it: the help viewer's command interpreter, the system-information
// tool. False when it could not be started.
bool startDetached(std::string commandLine, StartedWindow window);

} // namespace travonix

#endif
