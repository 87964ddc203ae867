#include "support/FakeEnvironment.h"

namespace travonix::test {

std::optional<std::string> FakeEnvironment::readFile(const std::string& path) {
    auto it = files.find(path);
    if (it == files.end())
        return std::nullopt;
    return it->second;
}

std::string FakeEnvironment::writeWhole(const std::string& path, std::string_view bytes) {
    if (unwritable.count(path) != 0)
        return "No space left on device";
    files[path] = std::string(bytes);
    writes.push_back(path);
    return {};
}

std::optional<std::string> FakeEnvironment::fileModifiedText(const std::string& path) {
    if (files.count(path) == 0)
        return std::nullopt;
    auto it = modified.find(path);
    return it == modified.end() ? std::string("2026-12-10 09:00:00") : it->second;
}

std::string FakeEnvironment::replaceFile(const std::string& from, const std::string& to) {
    auto it = files.find(from);
    if (it == files.end())
        return "No such file or directory";
    files[to] = it->second;
    files.erase(it);
    return {};
}

} // namespace travonix::test
