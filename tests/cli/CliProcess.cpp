#include "CliProcess.h"

#include <sstream>

#include <gtest/gtest.h>

#include <csignal>
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
CliChild::CliChild(const std::vector<std::string>& arguments, const std::string& workingDir,
                   const std::map<std::string, std::string>& environment,
                   const std::vector<std::string>& launcher) {
    std::vector<std::string> argvTexts = launcher;
    argvTexts.push_back(TRAVONIX_CLI_PATH);
    argvTexts.insert(argvTexts.end(), arguments.begin(), arguments.end());
    std::vector<std::string> envTexts = childEnvironment(environment);
    std::vector<char*> argv = pointersTo(argvTexts);
    std::vector<char*> envp = pointersTo(envTexts);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, capture_.file("stdout").c_str(),
                                     O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, capture_.file("stderr").c_str(),
                                     O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addchdir_np(&actions, workingDir.c_str());
    // A launcher is looked up on PATH; the tool's own path is absolute.
    const int started = ::posix_spawnp(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) {
        pid_ = -1;
        ADD_FAILURE() << argvTexts[0] << " did not start: " << std::strerror(started);
    }
}

CliChild::~CliChild() {
    if (pid_ > 0) {
        kill();
        (void)wait();
    }
}

void CliChild::kill() {
    if (pid_ > 0)
        ::kill(pid_, SIGKILL); // a child that has ended but is not reaped is still ours
}

CliResult CliChild::wait() {
    CliResult result;
    if (pid_ <= 0)
        return result;
    int status = 0;
    while (::waitpid(pid_, &status, 0) == -1 && errno == EINTR) {
    }
    pid_ = -1;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = readWholeFile(capture_.file("stdout"));
    result.err = readWholeFile(capture_.file("stderr"));
    return result;
}

CliResult runTravonixCli(const std::vector<std::string>& arguments, const std::string& workingDir,
                         const std::map<std::string, std::string>& environment,
                         const std::vector<std::string>& launcher) {
    return CliChild(arguments, workingDir, environment, launcher).wait();
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace travonix::test
