#include "platform/CmdLine.h"

#include <algorithm>

namespace travonix {

namespace {

// One stretch of a path in double quotes. The program's argument parser reads
// backslashes before a double quote as escapes ("C:\dir\" would swallow the
// closing quote), so backslashes at the end go after the closing quote, where
// cmd.exe and the parser both keep them as they are. A stretch of backslashes
// only still gets its (empty) quotes: see cmdQuotedPath.
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

bool startsWithQuote(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first != std::string_view::npos && text[first] == '"';
}

// What cmd.exe reads the same with or without double quotes around it:
// letters, digits and the punctuation of ordinary paths. Blanks and ",;="
// separate words, "&|<>()" join, group or redirect commands, "^" escapes the
// next character, "@" hides the echo, and "+/[]" can end a command's name.
// Anything else, letters outside ASCII included, keeps its quotes: an extra
// pair where none was needed does no harm.
bool readsAlikeUnquoted(char c) {
    const bool letterOrDigit =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    return letterOrDigit || std::string_view("\\:._-~!#$'{}").find(c) != std::string_view::npos;
}

// A line that cmd /C reads the same after dropping its first and last double
// quote: one quoted word of such characters, as "C:\Tools\help.pdf".
bool survivesQuoteStripping(std::string_view line) {
    if (line.size() < 3 || line.front() != '"' || line.back() != '"')
        return false;
    const std::string_view inside = line.substr(1, line.size() - 2);
    return std::all_of(inside.begin(), inside.end(), readsAlikeUnquoted);
}

} // namespace

// Inside double quotes cmd.exe keeps "&", "|", "(", ")", "^", "<" and ">" as
// text, but it still expands "%NAME%", and no escape of "%" works inside
// quotes. So every "%" goes between two quoted stretches: "C:\a%OS%b" becomes
// "C:\a"%"OS"%"b". Whatever cmd.exe could then take for a variable's name,
// the text between two "%", is empty or starts with a double quote; no such
// variable exists, and cmd.exe leaves the text as it is. The argument parser
// joins the stretches again, and cmd.exe drops the quotes of a redirection's
// file name and of a program's. Handing the paths over in environment
// variables of the child would rely on cmd.exe expanding each value only
// once, which wine's cmd.exe does not.
std::string cmdQuotedPath(std::string_view path) {
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

std::string cmdLine(std::string_view command, std::string_view tail, DelayedExpansion expansion) {
    std::string line(command);
    line += tail;
    if (startsWithQuote(command) && !survivesQuoteStripping(line))
        line = '"' + line + '"';
    return (expansion == DelayedExpansion::Off ? "cmd.exe /V:OFF /C " : "cmd.exe /C ") + line;
}

std::string cmdOpenLine(std::string_view path) {
    const bool exclamation = path.find('!') != std::string_view::npos;
    return cmdLine(cmdQuotedPath(path), "",
                   exclamation ? DelayedExpansion::Off : DelayedExpansion::AsConfigured);
}

} // namespace travonix
