#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace travonix {

// The longest file name, ".bas" included, that the platforms take: 255 bytes
// on Linux file systems, 255 UTF-16 units on Windows (never more than bytes).
inline constexpr std::size_t kMaxFileNameLength = 255;

// Why a function or merged name cannot become a file name in the output
// folder, or std::nullopt when it can. Names come from the ELF's symbols, so
// they are untrusted: a name must not reach another folder ("/", "\", ".."),
// cut a path short or hide in a terminal (NUL and other control bytes), be
// refused or silently changed by Windows (<>:"|?*, a trailing dot or blank, a
// device name such as CON or COM1.x), or exceed the platform's length. Other
// bytes, valid UTF-8 or not, are kept as they are.
[[nodiscard]] std::optional<std::string> fileNameProblem(std::string_view name,
                                                         std::string_view extension);

// A name as a report can show it: control bytes and bytes that are not UTF-8
// are written as \xNN, so a hostile name cannot rewrite the status line or
// the terminal.
[[nodiscard]] std::string printableName(std::string_view name);

} // namespace travonix
