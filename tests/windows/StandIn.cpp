// Stands in for the disassembler in the Windows runner tests. Its arguments,
// taken in order:
//   --text T   writes T to standard output
//   --sleep MS waits MS milliseconds
//   --exit N   ends with exit code N once all arguments are done (default 0)
//   PATH       writes the bytes of the file PATH to standard output, as
//              objdump writes the listing of the ELF file it is given
// A file that cannot be read is reported on standard error, exit code 2.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>

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
        } else if (!copyToOutput(argv[i])) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 2;
        }
    }
    std::fflush(stdout);
    return exitCode;
}
