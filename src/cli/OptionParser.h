#pragma once

#include <string>
#include <vector>

namespace travonix::cli {

// One option of the command line: "-m", "--mode" and so on.
struct OptionSpec {
    std::vector<std::string> names; // a one-letter name is given as -x, a longer one as --name
    std::string description;
    std::string valueName; // the value's name in the help; empty for an option without one
};

// What the arguments gave, option by option in the table's order.
struct ParsedOptions {
    std::vector<bool> given;                      // each option, whether it was given
    std::vector<std::vector<std::string>> values; // each option's values, in the order given
    std::vector<std::string> positional;          // the other arguments, in order
    std::vector<std::string> unknown;             // names given that no option has
    std::string error; // the last other complaint ("missing value after '--mode'"), or ""
};

// Reads the arguments after the program's name as the tool always has:
// "--name value", "--name=value", "-n value", "-nvalue" and "-n=value"; one
// dash before several letters gives several options ("-ab" is -a -b) until
// one that takes a value, which takes the rest; "--" makes every argument
// after it positional, and "-" alone is one. A name of one letter may also be
// given with two dashes ("--m").
[[nodiscard]] ParsedOptions parseOptions(const std::vector<OptionSpec>& options,
                                         const std::vector<std::string>& arguments);

// The help's usage line, description, options and arguments, each option's
// description wrapped beside its names, laid out as the tool's help always
// has been (lines of up to 80 columns).
[[nodiscard]] std::string optionsHelp(const std::string& program, const std::string& description,
                                      const std::vector<OptionSpec>& options,
                                      const std::string& argumentName,
                                      const std::string& argumentDescription);

} // namespace travonix::cli
