#pragma once

#include "cli/CliRequest.h"
#include "cli/ProgressLine.h"
#include "core/Environment.h"
#include "platform/ProcessRunner.h"

#include <ostream>

namespace travonix::cli {

// Exit codes of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1; // unreadable input, unwritable file, bad name...
inline constexpr int kExitUsage = 2;
inline constexpr int kExitAbandoned = 3; // "jalr" warning without --yes
inline constexpr int kExitFindings = 4;  // the relocation check found something (--check, --strict)

// Runs one request on the conversion steps. Results go to `out`, messages,
// warnings and errors to `err`; a long disassembly's progress to `progress`
// when there is one (stderr is a terminal).
int runCli(const CliRequest& request, Environment& env, ProcessRunner& runner, std::ostream& out,
           std::ostream& err, ProgressLine* progress = nullptr);

// Text for a terminal: CR LF and lone CR become LF, and every other control
// character (ESC among them, and the C1 controls) is shown escaped as \xNN,
// so a symbol name cannot retitle, clear or rewrite the user's terminal.
[[nodiscard]] std::string terminalText(std::string_view text);

} // namespace travonix::cli
