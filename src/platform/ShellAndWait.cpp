#include "platform/ShellAndWait.h"

namespace travonix {

ShellError::ShellError(std::int32_t number, const std::string& description)
    : std::runtime_error(description), number_(number) {}

namespace modShellAndWait {

std::int32_t ProcessRunner::ShellSync(const ShellCommand& command, std::int32_t windowStyle) {
    lastErrorLine_.clear();
    return detail::runAndWait(command, windowStyle, waitBound_, lastErrorLine_);
}

std::int32_t ShellSync(const ShellCommand& command, std::int32_t windowStyle) {
    ProcessRunner runner;
    return runner.ShellSync(command, windowStyle);
}

} // namespace modShellAndWait
} // namespace travonix
