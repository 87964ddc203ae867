#pragma once

#include <string>

namespace travonix::test {

// A tmpfs of a few kilobytes mounted on a fresh folder for the life of the
// object, so a test can fill a real disk. Mounting needs root (or the right
// capability); where it is not allowed, mounted() is false and why() says so.
class SmallDisk {
  public:
    explicit SmallDisk(const std::string& size = "64k");
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    [[nodiscard]] bool mounted() const { return mounted_; }
    [[nodiscard]] const std::string& why() const { return why_; }
    [[nodiscard]] const std::string& path() const { return path_; }
    [[nodiscard]] std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
    bool mounted_ = false;
    std::string why_;
};

} // namespace travonix::test
