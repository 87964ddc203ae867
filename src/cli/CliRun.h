#pragma once

#include "cli/CliRequest.h"
#include "listing/Environment.h"

#include <ostream>

namespace travonix::cli {

// Exit codes of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // unreadable input, unwritable file, bad name...
inline constexpr int kExitUsage = 2;
inline constexpr int kExitAbandoned = 3; // "jalr" warning without --yes

// Runs one request on the same handlers the window uses. Results go to `out`,
// messages and errors to `err`.
int runCli(const CliRequest& request, Environment& env, std::ostream& out, std::ostream& err);

} // namespace travonix::cli
