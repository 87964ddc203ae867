#include "platform/ProgramSearch.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include "core/Text.h"

#include <cstdlib>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace travonix {

const std::vector<std::string>& disassemblerCandidates() {
    static const std::vector<std::string> candidates = {
        "xc32-objdump", "pic32-objdump", "mipsel-linux-gnu-objdump", "mips-linux-gnu-objdump"};
    return candidates;
}

std::optional<std::string> firstProgramOnPath(const std::vector<std::string>& names) {
    for (const std::string& name : names)
        if (findProgramOnPath(name))
            return name;
    return std::nullopt;
}

#ifdef _WIN32

std::optional<std::string> findProgramOnPath(const std::string& name) {
    if (name.empty())
        return std::nullopt;
    char found[MAX_PATH];
    const DWORD length = SearchPathA(nullptr, name.c_str(), ".exe", MAX_PATH, found, nullptr);
    if (length == 0 || length >= MAX_PATH)
        return std::nullopt;
    return std::string(found, length);
}

#else

namespace {

bool isRunnableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> findExactly(const std::string& name, const std::string& searchPath) {
    if (name.empty())
        return std::nullopt;
    if (name.find('/') != std::string::npos)
        return isRunnableFile(name) ? std::optional<std::string>(name) : std::nullopt;
    std::string_view rest = searchPath;
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view folder = rest.substr(0, colon);
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
        if (folder.empty())
            continue;
        std::string candidate = std::string(folder) + "/" + name;
        if (isRunnableFile(candidate))
            return candidate;
    }
    return std::nullopt;
}

bool endsWithExe(const std::string& name) {
    return name.size() > 4 && equalsNoCase(std::string_view(name).substr(name.size() - 4), ".exe");
}

} // namespace

std::optional<std::string> findProgram(const std::string& name, const std::string& searchPath) {
    if (auto found = findExactly(name, searchPath))
        return found;
    if (endsWithExe(name))
        return findExactly(name.substr(0, name.size() - 4), searchPath);
    return std::nullopt;
}

std::optional<std::string> findProgramOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    return findProgram(name, path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin");
}

#endif

} // namespace travonix
