#ifdef _WIN32

// Whole-file replacement on Windows, in the Win32 API alone so that it builds
// without Qt. The path is text in the ANSI code page, as the window's paths
// and the "A" functions of the runner take it. The renamed file has the
// access rights that the folder gives a new file. A file that another program
// holds open is not replaced: the system refuses the rename, and says why.
//
// A writer keeps its temporary file open, shared with nobody, from its
// creation until it has the target's name: renamed through the open handle,
// it is never a closed file under the temporary name. Windows refuses to
// delete a file that is open without FILE_SHARE_DELETE, so the open handle
// is the lock that tells a live writer's file from a killed run's.

#include "platform/FileReplace.h"
#include "platform/TemporaryName.h"
#include "platform/WidePath.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <set>

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

// The target's folder as the path gives it: the text up to the last
// separator, the drive of a drive-relative path ("C:name"), or nothing for a
// name in the current folder. The temporary file goes there, so that the
// rename stays on one volume, and a relative path stays relative.
std::wstring folderPrefixOf(const std::wstring& path) {
    std::size_t cut = path.find_last_of(L"\\/");
    if (cut == std::wstring::npos && path.size() >= 2 && path[1] == L':')
        cut = 1;
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1);
}

std::wstring temporaryIn(const std::wstring& folderPrefix) {
    const std::string name = newTemporaryName();
    return folderPrefix + std::wstring(name.begin(), name.end());
}

// The folder's full path, so that one folder named in two ways is one.
std::wstring fullPathOf(const std::wstring& folderPrefix) {
    const std::wstring folder = folderPrefix.empty() ? std::wstring(L".") : folderPrefix;
    const DWORD size = GetFullPathNameW(folder.c_str(), 0, nullptr, nullptr);
    std::wstring full(size, L'\0');
    const DWORD length =
        size > 0 ? GetFullPathNameW(folder.c_str(), size, full.data(), nullptr) : 0;
    if (length == 0 || length >= size)
        return folder;
    full.resize(length);
    return full;
}

// Deletes the file at `path` unless a live writer holds it open, which makes
// the open here fail. What the handle reaches is checked before it goes: a
// folder or a link put under the name since the folder was listed stays.
void removeUnheld(const std::wstring& path) {
    Handle file(CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!file.valid() || !GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
        return;
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    (void)SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                     sizeof disposition);
}

// A run killed while writing leaves its temporary file in the folder, and
// nothing else would ever remove it. The first file this process writes into
// a folder clears such files out: plain files named as this writer names
// them, which no writer still at work holds open.
void removeLeftovers(const std::wstring& folderPrefix) {
    static std::mutex mutex;
    static std::set<std::wstring> tidied;
    {
        const std::lock_guard<std::mutex> guard(mutex);
        if (!tidied.insert(fullPathOf(folderPrefix)).second)
            return;
    }
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileExW((folderPrefix + L".travonix-*.tmp").c_str(), FindExInfoBasic,
                                     &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        constexpr DWORD kNotAFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
        if (isTemporaryName(found.cFileName) && (found.dwFileAttributes & kNotAFile) == 0)
            removeUnheld(folderPrefix + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
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
    // Compared a piece at a time: a merged block's file is megabytes, and a
    // copy of it beside the block's own text would add to the peak.
    char piece[1 << 16];
    for (const std::string& part : parts)
        for (std::size_t at = 0; at < part.size();) {
            const std::size_t want = std::min(sizeof piece, part.size() - at);
            DWORD read = 0;
            if (!ReadFile(file.get(), piece, static_cast<DWORD>(want), &read, nullptr) ||
                read == 0 || std::memcmp(piece, part.data() + at, read) != 0)
                return false;
            at += read;
        }
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return SetFileTime(file.get(), nullptr, nullptr, &now) != 0;
}

Failure failure(DWORD error, Handle& file, const std::wstring& temporary) {
    file.close();
    DeleteFileW(temporary.c_str());
    return {reasonFor(error)};
}

// Created for writing and for the rename through its handle (DELETE), and
// shared with nobody until it is closed.
HANDLE createTemporary(const std::wstring& folderPrefix, std::wstring& temporary) {
    for (int attempt = 0; attempt < 64; ++attempt) {
        temporary = temporaryIn(folderPrefix);
        const HANDLE created = CreateFileW(temporary.c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                           CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return created;
    }
    return INVALID_HANDLE_VALUE;
}

// Gives the open file the target's name, replacing the file there. The name
// is taken as MoveFileExW takes it: relative to the current folder unless
// it is a full path.
bool renameOver(HANDLE file, const std::wstring& target) {
    const std::size_t nameBytes = target.size() * sizeof(wchar_t);
    const std::size_t size = offsetof(FILE_RENAME_INFO, FileName) + nameBytes + sizeof(wchar_t);
    std::vector<FILE_RENAME_INFO> storage(size / sizeof(FILE_RENAME_INFO) + 1);
    FILE_RENAME_INFO* info = storage.data();
    info->ReplaceIfExists = TRUE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    std::memcpy(reinterpret_cast<unsigned char*>(info) + offsetof(FILE_RENAME_INFO, FileName),
                target.c_str(), nameBytes + sizeof(wchar_t));
    return SetFileInformationByHandle(file, FileRenameInfo, info, static_cast<DWORD>(size)) != 0;
}

} // namespace

// Windows has no FIFOs or device files under ordinary names, and the device
// names (CON, NUL, COM1...) are refused by name before anything is written.
Outcome notReplaceable(const std::string& /*path*/) {
    return std::nullopt;
}

// Held by a handle that asks for no reading or writing and shares all three,
// so the disassembler's redirection may write the file and the rename may
// move it, while a run tidying the folder, which opens with no sharing,
// cannot delete it.
HeldTemporaryFile::HeldTemporaryFile(const std::string& target) {
    const std::wstring wide = widePath(target);
    if (target.find('\0') != std::string::npos || wide.empty()) {
        failure_ = Failure{reasonFor(ERROR_INVALID_NAME)};
        return;
    }
    const std::wstring folderPrefix = folderPrefixOf(wide);
    for (int attempt = 0; attempt < 64; ++attempt) {
        const std::string name = newTemporaryName();
        const std::wstring temporary = folderPrefix + std::wstring(name.begin(), name.end());
        const HANDLE created = CreateFileW(temporary.c_str(), FILE_READ_ATTRIBUTES,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (created != INVALID_HANDLE_VALUE) {
            std::size_t cut = target.find_last_of("\\/");
            if (cut == std::string::npos && target.size() >= 2 && target[1] == ':')
                cut = 1; // "C:name": the drive's current folder
            path_ = (cut == std::string::npos ? std::string() : target.substr(0, cut + 1)) + name;
            handle_ = reinterpret_cast<std::intptr_t>(created);
            return;
        }
        if (GetLastError() != ERROR_FILE_EXISTS)
            break;
    }
    failure_ = Failure{reasonFor(GetLastError())};
}

HeldTemporaryFile::~HeldTemporaryFile() {
    if (handle_ != -1)
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

Outcome replaceFileWhole(const std::string& path, std::string_view bytes) {
    return replaceFileWhole(path, std::vector<std::string>{std::string(bytes)});
}

Outcome replaceFileWhole(const std::string& path, const std::vector<std::string>& parts) {
    if (path.find('\0') != std::string::npos)
        return Failure{"the path holds a NUL byte"};
    const std::wstring target = widePath(path);
    if (target.empty())
        return Failure{reasonFor(path.empty() ? ERROR_INVALID_NAME : GetLastError())};
    const std::wstring folderPrefix = folderPrefixOf(target);
    removeLeftovers(folderPrefix);
    if (alreadyHolds(target, parts))
        return std::nullopt;
    std::wstring temporary;
    Handle file(createTemporary(folderPrefix, temporary));
    if (!file.valid())
        return Failure{reasonFor(GetLastError())};
    for (const std::string& part : parts) {
        if (!writeAll(file.get(), part))
            return failure(GetLastError(), file, temporary);
    }
    // No FlushFileBuffers: files are not forced to disk one by one. The
    // rename still never shows a half-written file under the name. Windows
    // reports write errors at WriteFile, not at the close, so the file can
    // take its name while still open.
    if (!renameOver(file.get(), target))
        return failure(GetLastError(), file, temporary);
    file.close();
    return std::nullopt;
}

} // namespace travonix

#endif
