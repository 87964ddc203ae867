// Stands in for the disassembler in the Windows runner tests. Its arguments,
// taken in order:
//   --text T   writes T to standard output
//   --sleep MS waits MS milliseconds
//   --exit N   ends with exit code N once all arguments are done (default 0)
//   --tick F MS  appends a byte to the file F every 20 ms, for MS milliseconds
//   --leave F  starts a copy of itself that ticks into F for a minute, waits
//              until the copy has written, and goes on without waiting for it
//              (a disassembler that leaves a child running)
//   PATH       writes the bytes of the file PATH to standard output, as
//              objdump writes the listing of the ELF file it is given
// A file that cannot be read is reported on standard error, exit code 2; a
// copy that could not be started or did not write, exit code 3.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <string>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

bool copyToOutput(const char* path) {
    std::FILE* in = std::fopen(path, "rb");
    if (in == nullptr)
        return false;
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        std::fwrite(buffer, 1, got, stdout);
    std::fclose(in);
    return true;
}

// Appends one byte every 20 ms for `milliseconds`; false when the file
// cannot be opened. Others may read or remove the file meanwhile.
bool tick(const char* path, unsigned long milliseconds) {
    HANDLE file =
        CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const ULONGLONG end = GetTickCount64() + milliseconds;
    while (GetTickCount64() < end) {
        DWORD written = 0;
        WriteFile(file, "x", 1, &written, nullptr);
        Sleep(20);
    }
    CloseHandle(file);
    return true;
}

std::size_t sizeOf(const char* path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return 0;
    return data.nFileSizeLow;
}

// Starts a copy of this program ticking into `path` for a minute and waits
// (up to a minute) until it has written; the copy is not waited for.
bool leaveTicker(const char* path) {
    char own[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(nullptr, own, sizeof own);
    if (length == 0 || length > MAX_PATH)
        return false;
    std::string line = "\"" + std::string(own, length) + "\" --tick \"" + path + "\" 60000";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (sizeOf(path) == 0 && GetTickCount64() < deadline)
        Sleep(20);
    return sizeOf(path) > 0;
}

} // namespace

int main(int argc, char** argv) {
    // The bytes go out as they are: no LF becomes CR LF on the way.
    _setmode(_fileno(stdout), _O_BINARY);
    int exitCode = 0;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--text") == 0 && hasValue) {
            std::fputs(argv[++i], stdout);
        } else if (std::strcmp(argv[i], "--sleep") == 0 && hasValue) {
            std::fflush(stdout);
            Sleep(static_cast<DWORD>(std::strtoul(argv[++i], nullptr, 10)));
        } else if (std::strcmp(argv[i], "--exit") == 0 && hasValue) {
            exitCode = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--tick") == 0 && i + 2 < argc) {
            const char* path = argv[++i];
            if (!tick(path, std::strtoul(argv[++i], nullptr, 10)))
                return 3;
        } else if (std::strcmp(argv[i], "--leave") == 0 && hasValue) {
            std::fflush(stdout);
            if (!leaveTicker(argv[++i]))
                return 3;
        } else if (!copyToOutput(argv[i])) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 2;
        }
    }
    std::fflush(stdout);
    return exitCode;
}
