#include "platform/DisassemblyCommand.h"

#include "platform/CmdLine.h"

namespace travonix {

namespace {

// objdump reads a leading "-" as an option and "@" as a response file.
std::string elfArgument(const std::string& path, const char* currentFolder) {
    if (path.starts_with('-') || path.starts_with('@'))
        return currentFolder + path;
    return path;
}

// The line with the redirection to `listingPath`, or, without one, the line
// whose standard output the runner takes through a pipe.
std::string commandLineTo(const Options& options, const std::string* listingPath) {
    const std::string elf = elfArgument(options.elfPath, ".\\");
    std::string paths = " " + cmdQuotedPath(elf);
    if (listingPath)
        paths += " >" + cmdQuotedPath(*listingPath);
    const bool exclamation = elf.find('!') != std::string::npos ||
                             (listingPath && listingPath->find('!') != std::string::npos);
    return cmdLine(options.disassemblerCommand, paths,
                   exclamation ? DelayedExpansion::Off : DelayedExpansion::AsConfigured);
}

} // namespace

std::string disassemblyCommandLine(const Options& options, const std::string& listingPath) {
    return commandLineTo(options, &listingPath);
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

ProcessCommand disassemblyCommand(const Options& options, const std::string& listingPath) {
    ProcessCommand command;
    command.commandLine = disassemblyCommandLine(options, listingPath);
    command.pipedCommandLine = commandLineTo(options, nullptr);
    command.arguments = splitCommandWords(options.disassemblerCommand);
    // Without a program there is nothing to run; the ELF path must never
    // become the program itself.
    if (!command.arguments.empty())
        command.arguments.push_back(elfArgument(options.elfPath, "./"));
    command.standardOutputFile = listingPath;
    return command;
}

} // namespace travonix
