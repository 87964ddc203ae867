#pragma once

#include <cstddef>
#include <string>

namespace travonix::test {

// Path of a committed fixture file (tests/fixtures/<name>).
std::string fixturePath(const std::string& name);
// Path of a file of the bundled example (examples/<name>).
std::string examplePath(const std::string& name);
// The whole file as bytes; fails the test when it cannot be read.
std::string readWholeFile(const std::string& path);
// `size` bytes of every value, in no repeating run a reader could get away
// with: what a file read whole or in parts must give back.
std::string patternedBytes(std::size_t size);

// A fresh temporary folder, removed with everything in it on destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

} // namespace travonix::test
