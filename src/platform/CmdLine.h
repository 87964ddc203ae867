#pragma once

#include <string>
#include <string_view>

namespace travonix {

// A path as cmd.exe and the started program's argument parser both take it
// literally, whatever it holds (Windows file names cannot hold a double
// quote): in double quotes, with every "%" between two quoted stretches and
// no backslash before a closing quote. An ordinary path is just put in
// quotes: C:\my work\demo.elf gives "C:\my work\demo.elf".
[[nodiscard]] std::string cmdQuotedPath(std::string_view path);

// Whether cmd.exe may expand "!NAME!" on the line. Delayed expansion can be
// switched on in the registry, and then reads "!" even inside quotes.
enum class DelayedExpansion { AsConfigured, Off };

// The line that has cmd.exe run `command` followed by `tail`, as written:
// "cmd.exe /C " and the two texts, with "/V:OFF" before "/C" when asked for.
// cmd /C drops the first and the last double quote of a line that starts
// with one (blanks before it aside). When `command` starts with one and the
// line would then read differently, the line goes into one more pair of
// double quotes, which cmd.exe drops instead. So "C:\Tools\help.pdf" stays
// as it is, while "C:\Program Files\help.pdf" gets the pair.
[[nodiscard]] std::string cmdLine(std::string_view command, std::string_view tail,
                                  DelayedExpansion expansion);

// The line that has cmd.exe open the file at `path` as a double click would:
// a document with the program associated with its kind, a program or batch
// file by running it. The path is taken literally (cmdQuotedPath), with
// delayed expansion off when it holds "!".
[[nodiscard]] std::string cmdOpenLine(std::string_view path);

} // namespace travonix
