#include "CliProcess.h"

#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace travonix::test {

namespace {

// The environment of the tests with the stamp's date and user fixed, then the
// caller's variables on top.
std::vector<std::string> childEnvironment(const std::map<std::string, std::string>& extra) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; entry != nullptr && *entry != nullptr; ++entry) {
        const std::string text(*entry);
        const std::size_t equals = text.find('=');
        if (equals != std::string::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    variables["SOURCE_DATE_EPOCH"] = "1796893507"; // 2026-12-10 09:05:07 UTC
    variables["USERNAME"] = "tester";
    for (const auto& [key, value] : extra)
        variables[key] = value;
    std::vector<std::string> entries;
    for (const auto& [key, value] : variables)
        entries.push_back(key + "=" + value);
    return entries;
}

std::vector<char*> pointersTo(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

// Arguments reach the tool byte for byte (no text conversion on the way), so
// tests can hand it names that are not UTF-8.
CliResult runTravonixCli(const std::vector<std::string>& arguments, const std::string& workingDir,
                         const std::map<std::string, std::string>& environment) {
    TempDir capture;
    const std::string outPath = capture.file("stdout");
    const std::string errPath = capture.file("stderr");
    std::vector<std::string> argvTexts{TRAVONIX_CLI_PATH};
    argvTexts.insert(argvTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envTexts = childEnvironment(environment);
    std::vector<char*> argv = pointersTo(argvTexts);
    std::vector<char*> envp = pointersTo(envTexts);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
    pid_t pid = 0;
    const int started =
        ::posix_spawn(&pid, TRAVONIX_CLI_PATH, &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    CliResult result;
    if (started != 0) {
        ADD_FAILURE() << "travonix-cli did not start: " << std::strerror(started);
        return result;
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) == -1 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readWholeFile(outPath);
    result.err = readWholeFile(errPath);
    return result;
}

} // namespace travonix::test
