#include "platform/DisassemblerCandidates.h"

#include "core/Text.h"
#include "platform/DisassemblyCommand.h"

#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace travonix {

namespace {

bool isRunnable(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return false;
#ifdef _WIN32
    return true;
#else
    return ::access(path.c_str(), X_OK) == 0;
#endif
}

bool hasFolder(const std::string& name) {
    return name.find('/') != std::string::npos || name.find('\\') != std::string::npos;
}

bool endsWithExe(std::string_view name) {
    return name.size() > 4 && equalsNoCase(name.substr(name.size() - 4), ".exe");
}

// The name as given, and with ".exe" added or taken off.
std::vector<std::string> spellingsOf(const std::string& name) {
    if (endsWithExe(name))
        return {name, name.substr(0, name.size() - 4)};
    return {name, name + ".exe"};
}

bool onSearchPath(const std::string& name, const std::string& searchPath) {
    if (name.empty())
        return false;
    if (hasFolder(name)) {
        for (const std::string& spelling : spellingsOf(name))
            if (isRunnable(spelling))
                return true;
        return false;
    }
    std::string_view rest = searchPath;
    const char separator = searchPathSeparator();
    while (!rest.empty()) {
        const std::size_t end = rest.find(separator);
        const std::string_view folder = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
        if (folder.empty())
            continue;
        for (const std::string& spelling : spellingsOf(name))
            if (isRunnable(std::filesystem::path(std::string(folder)) / spelling))
                return true;
    }
    return false;
}

} // namespace

char searchPathSeparator() {
#ifdef _WIN32
    return ';';
#else
    return ':';
#endif
}

bool commandProgramFound(const std::string& command, const std::string& searchPath) {
    const std::vector<std::string> words = splitCommandWords(command);
    return !words.empty() && onSearchPath(words.front(), searchPath);
}

std::vector<std::string> disassemblersFound(const std::string& searchPath) {
    std::vector<std::string> found;
    for (const std::string& candidate : disassemblerCandidates())
        if (onSearchPath(candidate, searchPath))
            found.push_back(candidate);
    return found;
}

std::optional<std::string> firstDisassemblerOnPath() {
    const std::vector<std::string> found = disassemblersFound(processSearchPath());
    if (found.empty())
        return std::nullopt;
    return found.front();
}

std::string disassemblerCommandFor(const std::string& program) {
    if (program.find(' ') != std::string::npos)
        return "\"" + program + "\" -D -z";
    return program + " -D -z";
}

std::string processSearchPath() {
    const char* path = std::getenv("PATH");
    return path != nullptr ? path : "";
}

} // namespace travonix
