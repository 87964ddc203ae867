#include "platform/ProcessRunner.h"

#include <fstream>
#include <vector>

namespace travonix {

namespace {

// What a platform without the pipe hands over: the output file, read back
// in pieces once the program has succeeded.
void handOverFile(const ProcessCommand& command) {
    std::ifstream in(command.standardOutputFile, std::ios::binary);
    std::vector<char> piece(std::size_t{1} << 20);
    while (in) {
        in.read(piece.data(), static_cast<std::streamsize>(piece.size()));
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got == 0)
            break;
        command.onOutput(std::string_view(piece.data(), got));
    }
}

} // namespace

ProcessResult ProcessRunner::run(const ProcessCommand& command, std::int32_t windowStyle) {
    ProcessResult result = detail::runAndWait(command, windowStyle, waitBound_, cancelRequested_);
    const bool succeeded = result.status == ProcessResult::Status::Exited && result.exitCode == 0;
    if (command.onOutput && !detail::pipesOutput(command) && succeeded)
        handOverFile(command);
    return result;
}

std::string startFailureText(std::int32_t number, const std::string& description) {
    return description + " (ShellSync error " + std::to_string(number) + ")";
}

} // namespace travonix
