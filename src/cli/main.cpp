#include "cli/CliRequest.h"
#include "cli/CliRun.h"
#include "platform/QtEnvironment.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("travonix-cli");
    // The bytes as given: a function name or path that is not UTF-8 must not
    // be changed on its way in.
    std::vector<std::string> arguments(argv, argv + argc);

    travonix::cli::ParseOutcome parsed = travonix::cli::parseCommandLine(arguments);
    if (!parsed.request) {
        (parsed.toStderr ? std::cerr : std::cout) << parsed.text;
        return parsed.exitCode;
    }
    travonix::QtEnvironment environment;
    return travonix::cli::runCli(*parsed.request, environment, std::cout, std::cerr);
}
