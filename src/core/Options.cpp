#include "core/Options.h"

namespace travonix {

Options defaultOptions() {
    Options options;
    options.disassemblerCommand = kDefaultDisassemblerCommand;
    return options;
}

std::string withZeroWords(std::string command) {
    if (command.find("-z") == std::string::npos)
        command += " -z ";
    return command;
}

} // namespace travonix
