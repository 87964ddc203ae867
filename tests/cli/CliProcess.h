#pragma once

#include <map>
#include <string>
#include <vector>

namespace travonix::test {

struct CliResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the built travonix-cli with the arguments, in `workingDir`, with extra
// environment variables (SOURCE_DATE_EPOCH and USERNAME are fixed unless given).
CliResult runTravonixCli(const std::vector<std::string>& arguments, const std::string& workingDir,
                         const std::map<std::string, std::string>& environment = {});

} // namespace travonix::test
