#include "platform/DisassemblyCommand.h"

namespace travonix {

std::string disassemblyCommandLine(const AppOptions& options) {
    return "cmd.exe /C " + options.DisAsmCmd + " \"" + options.ELFFileName + "\" >\"" +
           options.DISFileName + "\"";
}

std::vector<std::string> splitCommandWords(std::string_view command) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool quoted = false;
    for (char c : command) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true; // "" is an empty word of its own
        } else if (c == ' ' && !quoted) {
            if (inWord)
                words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

ShellCommand disassemblyCommand(const AppOptions& options) {
    ShellCommand command;
    command.commandLine = disassemblyCommandLine(options);
    command.arguments = splitCommandWords(options.DisAsmCmd);
    // Without a program there is nothing to run; the ELF path must never
    // become the program itself.
    if (!command.arguments.empty())
        command.arguments.push_back(options.ELFFileName);
    command.standardOutputFile = options.DISFileName;
    return command;
}

} // namespace travonix
