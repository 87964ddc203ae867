#include "cli/CliRequest.h"
#include "cli/CliRun.h"
#include "platform/LocalEnvironment.h"
#include "platform/ProcessRunner.h"
#include "platform/Terminal.h"

#include <iostream>
#include <optional>

int main(int argc, char* argv[]) {
    // The bytes as given: a function name or path that is not UTF-8 must not
    // be changed on its way in.
    std::vector<std::string> arguments(argv, argv + argc);

    travonix::cli::ParseOutcome parsed = travonix::cli::parseCommandLine(arguments);
    if (!parsed.request) {
        (parsed.toStderr ? std::cerr : std::cout) << parsed.text;
        return parsed.exitCode;
    }
    travonix::LocalEnvironment environment;
    travonix::ProcessRunner runner;
    std::optional<travonix::cli::ProgressLine> progress;
    if (travonix::stderrIsTerminal())
        progress.emplace(std::cerr);
    return travonix::cli::runCli(*parsed.request, environment, runner, std::cout, std::cerr,
                                 progress ? &*progress : nullptr);
}
