#include "support/Fixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace travonix::test {

std::string fixturePath(const std::string& name) {
    return std::string(TRAVONIX_FIXTURES_DIR) + "/" + name;
}

std::string examplePath(const std::string& name) {
    return std::string(TRAVONIX_EXAMPLES_DIR) + "/" + name;
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

TempDir::TempDir() {
    namespace fs = std::filesystem;
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = fs::temp_directory_path() / ("travonix-test-" + std::to_string(rd()));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path_ = candidate.string();
            return;
        }
    }
    ADD_FAILURE() << "cannot create a temporary folder";
}

TempDir::~TempDir() {
    std::error_code ec;
    if (!path_.empty())
        std::filesystem::remove_all(path_, ec);
}

std::string patternedBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7919 + i / 251) & 0xff);
    return bytes;
}

} // namespace travonix::test
