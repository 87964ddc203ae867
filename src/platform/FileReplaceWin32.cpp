#ifdef _WIN32

// Whole-file replacement on Windows, in the Win32 API alone so that it builds
// without Qt. The path is text in the ANSI code page, as the window's paths
// and the "A" functions of the runner take it. The renamed file has the
// access rights that the folder gives a new file. A file that another program
// holds open is not replaced: the system refuses the rename, and says why.

#include "platform/FileReplace.h"

#include <atomic>
#include <cstdio>
#include <random>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace travonix {

namespace {

class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() { close(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    [[nodiscard]] HANDLE get() const { return handle_; }
    [[nodiscard]] bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    // false when closing failed (the last error says why).
    bool close() {
        const bool closed = !valid() || CloseHandle(handle_) != 0;
        handle_ = INVALID_HANDLE_VALUE;
        return closed;
    }

  private:
    HANDLE handle_;
};

// The system's reason in the user's language, with the error's number, which
// stays searchable whatever the language.
std::string reasonFor(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string reason = length > 0 && text != nullptr ? std::string(text, length) : std::string();
    if (text != nullptr)
        LocalFree(text);
    while (!reason.empty() && (reason.back() == '\r' || reason.back() == '\n' ||
                               reason.back() == ' ' || reason.back() == '.'))
        reason.pop_back();
    if (reason.empty())
        reason = "Windows error";
    return reason + " (error " + std::to_string(error) + ")";
}

std::wstring widePath(const std::string& path) {
    if (path.empty())
        return {};
    const int size =
        MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    if (size > 0)
        MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(),
                            size);
    return wide;
}

// The temporary file goes into the target's folder, so that the rename stays
// on one volume. Its name keeps the path's text up to the last separator (or
// the drive, "C:name"), so a relative or drive-relative path stays so.
std::wstring temporaryBeside(const std::wstring& path) {
    static std::atomic<unsigned> counter{std::random_device{}()};
    std::size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos && path.size() >= 2 && path[1] == L':')
        cut = 1;
    const std::wstring folder =
        cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
    wchar_t name[40];
    std::swprintf(name, sizeof name / sizeof name[0], L".travonix-%08x.tmp",
                  counter.fetch_add(0x9e3779b9U));
    return folder + name;
}

bool writeAll(HANDLE file, const std::string& bytes) {
    const char* next = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const DWORD chunk = left > (1U << 30) ? (1U << 30) : static_cast<DWORD>(left);
        DWORD wrote = 0;
        if (!WriteFile(file, next, chunk, &wrote, nullptr))
            return false;
        if (wrote == 0) {
            SetLastError(ERROR_WRITE_FAULT);
            return false;
        }
        next += wrote;
        left -= wrote;
    }
    return true;
}

// A file that already holds exactly these bytes is only touched: its time
// becomes now, as if it had been written, without a new file and a rename
// for each of tens of thousands of unchanged blocks.
bool alreadyHolds(const std::wstring& path, const std::vector<std::string>& parts) {
    Handle file(CreateFileW(path.c_str(), GENERIC_READ | FILE_WRITE_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK)
        return false;
    std::size_t size = 0;
    for (const std::string& part : parts)
        size += part.size();
    LARGE_INTEGER existing{};
    if (!GetFileSizeEx(file.get(), &existing) || static_cast<ULONGLONG>(existing.QuadPart) != size)
        return false;
    std::string buffer;
    for (const std::string& part : parts) {
        buffer.resize(part.size());
        std::size_t got = 0;
        while (got < buffer.size()) {
            const std::size_t want = buffer.size() - got;
            DWORD read = 0;
            if (!ReadFile(file.get(), buffer.data() + got,
                          want > (1U << 30) ? (1U << 30) : static_cast<DWORD>(want), &read,
                          nullptr) ||
                read == 0)
                return false;
            got += read;
        }
        if (buffer != part)
            return false;
    }
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return SetFileTime(file.get(), nullptr, nullptr, &now) != 0;
}

std::string failure(DWORD error, const std::wstring& temporary) {
    DeleteFileW(temporary.c_str());
    return reasonFor(error);
}

} // namespace

std::string replaceFileWhole(const std::string& path, std::string_view bytes) {
    return replaceFileWhole(path, std::vector<std::string>{std::string(bytes)});
}

std::string replaceFileWhole(const std::string& path, const std::vector<std::string>& parts) {
    if (path.find('\0') != std::string::npos)
        return "the path holds a NUL byte";
    const std::wstring target = widePath(path);
    if (target.empty())
        return reasonFor(path.empty() ? ERROR_INVALID_NAME : GetLastError());
    if (alreadyHolds(target, parts))
        return {};
    std::wstring temporary;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 64 && created == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = temporaryBeside(target);
        created = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    Handle file(created);
    if (!file.valid())
        return reasonFor(GetLastError());
    for (const std::string& part : parts) {
        if (!writeAll(file.get(), part)) {
            const DWORD error = GetLastError();
            file.close();
            return failure(error, temporary);
        }
    }
    // No FlushFileBuffers: files are not forced to disk one by one. The
    // rename below still never shows a half-written file under the name.
    if (!file.close())
        return failure(GetLastError(), temporary);
    if (!MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING))
        return failure(GetLastError(), temporary);
    return {};
}

} // namespace travonix

#endif
