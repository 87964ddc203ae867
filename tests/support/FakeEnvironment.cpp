#include "support/FakeEnvironment.h"

#include <cstdio>

namespace travonix::test {

std::optional<std::string> FakeEnvironment::readFile(const std::string& path) {
    auto it = files.find(path);
    if (it == files.end())
        return std::nullopt;
    return it->second;
}

Outcome FakeEnvironment::writeWhole(const std::string& path, std::string_view bytes) {
    if (unwritable.count(path) != 0)
        return Failure{"No space left on device"};
    files[path] = std::string(bytes);
    writes.push_back(path);
    return std::nullopt;
}

std::optional<std::string> FakeEnvironment::fileModifiedText(const std::string& path) {
    if (files.count(path) == 0)
        return std::nullopt;
    auto it = modified.find(path);
    return it == modified.end() ? std::string("2026-12-10 09:00:00") : it->second;
}

Outcome FakeEnvironment::replaceFile(const std::string& from, const std::string& to) {
    auto it = files.find(from);
    if (it == files.end())
        return Failure{"No such file or directory"};
    files[to] = it->second;
    files.erase(it);
    return std::nullopt;
}

namespace {

class FakeHeldFile : public Environment::HeldFile {
  public:
    explicit FakeHeldFile(std::string path) : path_(std::move(path)) {}
    [[nodiscard]] const std::string& path() const override { return path_; }

  private:
    std::string path_;
};

} // namespace

Result<std::unique_ptr<Environment::HeldFile>>
FakeEnvironment::createFileBeside(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    char name[32];
    std::snprintf(name, sizeof name, ".travonix-%08lx.tmp",
                  static_cast<unsigned long>(createdBeside.size() + 1));
    const std::string made =
        (cut == std::string::npos ? std::string() : path.substr(0, cut + 1)) + name;
    if (unwritable.count(made) != 0)
        return Failure{"Permission denied"};
    files[made] = {};
    createdBeside.push_back(made);
    return std::unique_ptr<HeldFile>(std::make_unique<FakeHeldFile>(made));
}

} // namespace travonix::test
