#include "platform/ProcessRunner.h"

namespace travonix {

ProcessResult ProcessRunner::run(const ProcessCommand& command, std::int32_t windowStyle) {
    return detail::runAndWait(command, windowStyle, waitBound_, cancelRequested_);
}

std::string startFailureText(std::int32_t number, const std::string& description) {
    return description + " (ShellSync error " + std::to_string(number) + ")";
}

} // namespace travonix
