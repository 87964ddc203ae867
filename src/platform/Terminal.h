#pragma once

namespace travonix {

// Whether standard error is a terminal a person watches (not a file, a pipe
// or a CI log): only then is a progress line written there.
[[nodiscard]] bool stderrIsTerminal();

} // namespace travonix
