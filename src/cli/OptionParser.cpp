#include "cli/OptionParser.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace travonix::cli {

namespace {

class ArgumentReader {
  public:
    ArgumentReader(const std::vector<OptionSpec>& options,
                   const std::vector<std::string>& arguments)
        : options_(options), arguments_(arguments) {
        found_.given.assign(options.size(), false);
        found_.values.resize(options.size());
    }

    ParsedOptions read() {
        bool positionalOnly = false;
        for (next_ = 1; next_ < arguments_.size(); ++next_) {
            const std::string& argument = arguments_[next_];
            if (positionalOnly || argument.size() < 2 || argument[0] != '-')
                found_.positional.push_back(argument);
            else if (argument == "--")
                positionalOnly = true;
            else if (argument[1] == '-')
                readLong(argument);
            else
                readLetters(argument);
        }
        return std::move(found_);
    }

  private:
    std::optional<std::size_t> optionNamed(const std::string& name) {
        for (std::size_t k = 0; k < options_.size(); ++k)
            if (std::find(options_[k].names.begin(), options_[k].names.end(), name) !=
                options_[k].names.end()) {
                found_.given[k] = true;
                return k;
            }
        found_.unknown.push_back(name);
        return std::nullopt;
    }

    // "--name", "--name=value", "--name value".
    void readLong(const std::string& argument) {
        const std::size_t assign = argument.find('=');
        const auto option = optionNamed(
            argument.substr(2, assign == std::string::npos ? std::string::npos : assign - 2));
        if (option)
            takeValue(*option, argument);
    }

    // "-abc": options of one letter each, until one that takes a value.
    void readLetters(const std::string& argument) {
        std::optional<std::size_t> last;
        for (std::size_t at = 1; at < argument.size(); ++at) {
            last = optionNamed(argument.substr(at, 1));
            if (!last)
                continue;
            const bool more = at + 1 < argument.size();
            if (!options_[*last].valueName.empty()) {
                if (!more)
                    break;
                const std::size_t from = argument[at + 1] == '=' ? at + 2 : at + 1;
                found_.values[*last].push_back(argument.substr(from));
                return;
            }
            if (more && argument[at + 1] == '=')
                break;
        }
        if (last)
            takeValue(*last, argument);
    }

    // The value of an option whose argument did not hold it: after its '=',
    // or the next argument. An option without a value takes none.
    void takeValue(std::size_t option, const std::string& argument) {
        const std::size_t assign = argument.find('=');
        if (options_[option].valueName.empty()) {
            if (assign != std::string::npos)
                found_.error = "unexpected value after '" + argument.substr(0, assign) + "'";
            return;
        }
        if (assign != std::string::npos) {
            found_.values[option].push_back(argument.substr(assign + 1));
            return;
        }
        if (next_ + 1 >= arguments_.size()) {
            found_.error = "missing value after '" + argument + "'";
            return;
        }
        found_.values[option].push_back(arguments_[++next_]);
    }

    const std::vector<OptionSpec>& options_;
    const std::vector<std::string>& arguments_;
    std::size_t next_ = 1;
    ParsedOptions found_;
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// The names column, `width` wide, and the description wrapped beside it:
// broken at the last blank that fits, or mid-word when none does.
std::string wrapped(const std::string& names, std::size_t width, const std::string& description) {
    constexpr std::size_t kColumns = 79;
    const std::string indent = "  ";
    const std::size_t most = kColumns - (indent.size() + width + 1);
    std::size_t nameAt = 0;
    const auto nameSection = [&] {
        std::string section = names.substr(std::min(nameAt, names.size()), width);
        nameAt += section.size();
        return section;
    };
    std::string text;
    std::size_t lineStart = 0;
    constexpr std::size_t kNone = std::string::npos;
    std::size_t lastBlank = kNone;
    std::size_t x = 0;
    const std::size_t length = description.size();
    for (std::size_t i = 0; i < length; ++i) {
        ++x;
        const char c = description[i];
        if (isBlank(c))
            lastBlank = i;
        std::size_t breakAt = kNone;
        std::size_t nextStart = 0;
        if (x > most && lastBlank != kNone) {
            breakAt = lastBlank;
            nextStart = lastBlank + 1;
        } else if ((x > most - 1 && lastBlank == kNone) || i == length - 1) {
            breakAt = i + 1;
            nextStart = i + 1;
        } else if (c == '\n') {
            breakAt = i;
            nextStart = i + 1;
        }
        if (breakAt == kNone)
            continue;
        std::string section = nameSection();
        section.resize(std::max(section.size(), width), ' ');
        text += indent + section + ' ' + description.substr(lineStart, breakAt - lineStart) + '\n';
        x = 0;
        lastBlank = kNone;
        lineStart = nextStart;
        if (lineStart < length && isBlank(description[lineStart]))
            ++lineStart; // no line starts with a blank
        i = lineStart;
    }
    while (nameAt < names.size())
        text += indent + nameSection() + '\n';
    return text;
}

std::string namesOf(const OptionSpec& option) {
    std::string text;
    for (const std::string& name : option.names)
        text += (text.empty() ? "" : ", ") + std::string(name.size() == 1 ? "-" : "--") + name;
    if (!option.valueName.empty())
        text += " <" + option.valueName + ">";
    return text;
}

} // namespace

ParsedOptions parseOptions(const std::vector<OptionSpec>& options,
                           const std::vector<std::string>& arguments) {
    return ArgumentReader(options, arguments).read();
}

std::string optionsHelp(const std::string& program, const std::string& description,
                        const std::vector<OptionSpec>& options, const std::string& argumentName,
                        const std::string& argumentDescription) {
    std::string text = "Usage: " + program + " [options] " + argumentName + "\n";
    text += description + "\n\nOptions:\n";
    std::vector<std::string> names;
    std::size_t width = 0;
    for (const OptionSpec& option : options) {
        names.push_back(namesOf(option));
        width = std::max(width, names.back().size());
    }
    width = std::min<std::size_t>(50, width + 1);
    for (std::size_t k = 0; k < options.size(); ++k)
        text += wrapped(names[k], width, options[k].description);
    text += "\nArguments:\n" + wrapped(argumentName, width, argumentDescription);
    return text;
}

} // namespace travonix::cli
