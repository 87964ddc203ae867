// Stands in for the help document in the help tests, as a program of that
// name: started, it writes its own path into "ran.txt" beside itself, so a
// test sees that cmd.exe opened the file it was given and no other.

#include <cstdio>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

int main() {
    char own[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(nullptr, own, sizeof own);
    if (length == 0 || length > MAX_PATH)
        return 2;
    const std::string path(own, length);
    const std::string note = path.substr(0, path.find_last_of('\\') + 1) + "ran.txt";
    std::FILE* out = std::fopen(note.c_str(), "wb");
    if (out == nullptr)
        return 2;
    const bool written = std::fputs(path.c_str(), out) >= 0;
    return std::fclose(out) == 0 && written ? 0 : 2;
}
