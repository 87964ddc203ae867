#pragma once

#include "support/Fixtures.h"

#include <map>
#include <string>
#include <sys/types.h>
#include <vector>

namespace travonix::test {

struct CliResult {
    int exitCode = -1; // -1 when a signal ended the run
    std::string out;
    std::string err;
};

// A travonix-cli started and not yet waited for, so that a test can end it at
// a moment of its choosing. The arguments reach the tool byte for byte; the
// environment is the test's with SOURCE_DATE_EPOCH and USERNAME fixed unless
// given. `launcher`, when not empty, is a program and its arguments that run
// the tool (e.g. as another user).
class CliChild {
  public:
    CliChild(const std::vector<std::string>& arguments, const std::string& workingDir,
             const std::map<std::string, std::string>& environment = {},
             const std::vector<std::string>& launcher = {});
    // A child not waited for is killed, so no test leaves one running.
    ~CliChild();
    CliChild(const CliChild&) = delete;
    CliChild& operator=(const CliChild&) = delete;

    // SIGKILL: the tool gets no chance to tidy up.
    void kill();
    CliResult wait();

  private:
    TempDir capture_;
    pid_t pid_ = -1;
};

// Runs the built travonix-cli to its end (see CliChild).
CliResult runTravonixCli(const std::vector<std::string>& arguments, const std::string& workingDir,
                         const std::map<std::string, std::string>& environment = {},
                         const std::vector<std::string>& launcher = {});

// A process's output split into its lines, without their line ends.
std::vector<std::string> linesOf(const std::string& text);

} // namespace travonix::test
