#pragma once

namespace travonix {

// Starts the platform's system-information tool (Windows' MSINFO32, found
// through the registry) and does not wait. False when it is not available
// or could not be started; elsewhere there is none, and it is always false.
bool startSystemInformation();

} // namespace travonix
