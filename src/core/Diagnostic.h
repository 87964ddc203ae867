#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace travonix {

// What a step tells the user besides its result. The text is exactly what
// the user sees; the window shows a Message in a box and the rest on its
// status line, the command line prints all of them on stderr.
struct Diagnostic {
    enum class Kind {
        Message, // a box with an OK button, titled "Travonix"
        Warning, // the run goes on and succeeds
        Error,   // part of the work was not done; the run fails
    };
    Kind kind = Kind::Error;
    std::string text;
    std::string function;                 // the function it concerns, if any
    std::optional<std::uint32_t> address; // the listing line it concerns, if any
    std::string file;                     // the file it concerns, if any
};

using Diagnostics = std::vector<Diagnostic>;

[[nodiscard]] inline Diagnostic message(std::string text) {
    return {Diagnostic::Kind::Message, std::move(text), {}, {}, {}};
}
[[nodiscard]] inline Diagnostic warning(std::string text) {
    return {Diagnostic::Kind::Warning, std::move(text), {}, {}, {}};
}
[[nodiscard]] inline Diagnostic error(std::string text) {
    return {Diagnostic::Kind::Error, std::move(text), {}, {}, {}};
}

[[nodiscard]] inline bool hasError(const Diagnostics& diagnostics) {
    for (const Diagnostic& d : diagnostics)
        if (d.kind == Diagnostic::Kind::Error)
            return true;
    return false;
}

} // namespace travonix
