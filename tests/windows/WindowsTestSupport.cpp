#include "WindowsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>
#include <vector>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace travonix::test {

WindowsTempDir::WindowsTempDir(const std::string& prefix) {
    char folder[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH) {
        ADD_FAILURE() << "no temporary folder";
        return;
    }
    std::string base(folder, length);
    if (base.back() != '\\')
        base += '\\';
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = base + prefix + std::to_string(rd());
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
    ADD_FAILURE() << "cannot create a temporary folder in " << base;
}

WindowsTempDir::~WindowsTempDir() {
    std::error_code ec;
    if (!path_.empty())
        std::filesystem::remove_all(path_, ec);
}

std::string besideTestProgram(const std::string& name) {
    char own[MAX_PATH + 1];
    const DWORD length = GetModuleFileNameA(nullptr, own, sizeof own);
    std::string path(own, length);
    return path.substr(0, path.find_last_of('\\') + 1) + name;
}

std::string standInPath() {
    return besideTestProgram(TRAVONIX_STANDIN_NAME);
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

std::string namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : " ") + name;
    return text;
}

std::uintmax_t sizeOf(const std::string& path) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    return ec ? 0 : size;
}

std::uintmax_t waitUntilWritten(const std::string& path, std::chrono::milliseconds bound) {
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (sizeOf(path) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds{20});
    return sizeOf(path);
}

void expectNoMoreWrites(const std::string& path) {
    // Under wine a process is ended by a signal to its Unix process, which a
    // loaded machine may deliver a little later than the runner returned.
    std::this_thread::sleep_for(std::chrono::seconds{1});
    const std::uintmax_t before = sizeOf(path);
    std::this_thread::sleep_for(std::chrono::seconds{2});
    EXPECT_EQ(sizeOf(path), before) << path << " is still being written";
}

} // namespace travonix::test
