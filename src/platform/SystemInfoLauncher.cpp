#include "platform/SystemInfoLauncher.h"

#ifdef _WIN32

#include "platform/DetachedStart.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <string>
#include <sys/stat.h>

namespace travonix {

namespace {

// A value under HKEY_LOCAL_MACHINE as text: a string as it is, a DWORD in
// decimal; std::string() with false when the key or value cannot be read or
// has another type.
bool readMachineValue(const char* keyName, const char* valueName, std::string& value) {
    value.clear();
    HKEY key = nullptr;
    // Asked first with the access the tool always asked for; an ordinary
    // user gets read access only under HKEY_LOCAL_MACHINE, so then that.
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, 0x2003F, &key) != ERROR_SUCCESS &&
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    const LONG read =
        RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS)
        return false;
    if (size > sizeof buffer)
        size = sizeof buffer;
    if (type == REG_SZ) {
        std::string text(buffer, size);
        if (!text.empty() && text.back() == '\0')
            text.pop_back();
        value = text.substr(0, text.find('\0'));
    } else if (type == REG_DWORD && size >= 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<unsigned char>(buffer[i]);
        value = std::to_string(number);
    }
    return true;
}

bool fileExists(const std::string& path) {
    struct _stat info {};
    return _stat(path.c_str(), &info) == 0 && (info.st_mode & _S_IFREG) != 0;
}

} // namespace

// The tool's own path, else its folder with MSINFO32.EXE in it. Started
// directly, without cmd.exe: the quotes keep a path with blanks one name.
bool startSystemInformation() {
    std::string program;
    if (!readMachineValue("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH", program)) {
        std::string folder;
        if (!readMachineValue("SOFTWARE\\Microsoft\\Shared Tools Location", "MSINFO", folder))
            return false;
        program = folder + "\\MSINFO32.EXE";
        if (!fileExists(program))
            return false;
    }
    return !program.empty() && startDetached('"' + program + '"', StartedWindow::Normal);
}

} // namespace travonix

#else

namespace travonix {

bool startSystemInformation() {
    return false;
}

} // namespace travonix

#endif
