#include "platform/DisassemblyCommand.h"

namespace travonix {

namespace {

// objdump reads a leading "-" as an option and "@" as a response file.
std::string elfArgument(const std::string& path, const char* currentFolder) {
    if (path.starts_with('-') || path.starts_with('@'))
        return currentFolder + path;
    return path;
}

// One stretch of a path in double quotes. The program's argument parser reads
// backslashes before a double quote as escapes ("C:\dir\" would swallow the
// closing quote), so backslashes at the end go after the closing quote, where
// cmd.exe and the parser both keep them as they are. A stretch of backslashes
// only still gets its (empty) quotes: see quotedPath.
void appendQuoted(std::string& line, std::string_view stretch) {
    if (stretch.empty())
        return;
    const std::size_t end = stretch.find_last_not_of('\\');
    const std::size_t body = end == std::string_view::npos ? 0 : end + 1;
    line += '"';
    line += stretch.substr(0, body);
    line += '"';
    line += stretch.substr(body);
}

// A path as cmd.exe and the program's argument parser both take literally.
// Inside double quotes cmd.exe keeps "&", "|", "(", ")", "^", "<" and ">"
// as text, but it still expands "%NAME%", and no escape of "%" works inside
// quotes. So every "%" goes between two quoted stretches: "C:\a%OS%b" becomes
// "C:\a"%"OS"%"b". Whatever cmd.exe could then take for a variable's name,
// the text between two "%", is empty or starts with a double quote; no such
// variable exists, and cmd.exe leaves the text as it is. The argument parser
// joins the stretches again, and cmd.exe drops the quotes of a redirection's
// file name. Handing the paths over in environment variables of the child
// would rely on cmd.exe expanding each value only once, which wine's cmd.exe
// does not.
std::string quotedPath(std::string_view path) {
    if (path.empty())
        return "\"\"";
    std::string line;
    std::size_t start = 0;
    for (std::size_t percent = path.find('%'); percent != std::string_view::npos;
         percent = path.find('%', start)) {
        appendQuoted(line, path.substr(start, percent - start));
        line += '%';
        start = percent + 1;
    }
    appendQuoted(line, path.substr(start));
    return line;
}

bool startsWithQuote(std::string_view command) {
    const std::size_t first = command.find_first_not_of(' ');
    return first != std::string_view::npos && command[first] == '"';
}

} // namespace

std::string disassemblyCommandLine(const Options& options, const std::string& listingPath) {
    const std::string elf = elfArgument(options.elfPath, ".\\");
    std::string line =
        options.disassemblerCommand + " " + quotedPath(elf) + " >" + quotedPath(listingPath);
    // cmd /C drops the first and the last double quote of a line that starts
    // with one; the extra pair keeps the command's own quotes.
    if (startsWithQuote(options.disassemblerCommand))
        line = "\"" + line + "\"";
    // Delayed expansion would read "!NAME!" in a path even inside quotes.
    const bool exclamation =
        elf.find('!') != std::string::npos || listingPath.find('!') != std::string::npos;
    return (exclamation ? "cmd.exe /V:OFF /C " : "cmd.exe /C ") + line;
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
    command.arguments = splitCommandWords(options.disassemblerCommand);
    // Without a program there is nothing to run; the ELF path must never
    // become the program itself.
    if (!command.arguments.empty())
        command.arguments.push_back(elfArgument(options.elfPath, "./"));
    command.standardOutputFile = listingPath;
    return command;
}

} // namespace travonix
