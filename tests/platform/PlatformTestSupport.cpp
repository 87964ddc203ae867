#include "PlatformTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace travonix::test {

namespace {

std::optional<std::string> currentValue(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    return value != nullptr ? std::optional<std::string>(value) : std::nullopt;
}

void setValue(const std::string& name, const std::optional<std::string>& value) {
    if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
    else
        ::unsetenv(name.c_str());
}

std::string searchPathWith(const std::string& folder) {
    const char* path = std::getenv("PATH");
    return folder + ":" + (path != nullptr ? path : "/usr/bin:/bin");
}

} // namespace

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : name_(std::move(name)), old_(currentValue(name_)) {
    setValue(name_, value);
}

ScopedEnv::~ScopedEnv() {
    setValue(name_, old_);
}

ToolFolder::ToolFolder()
    : bin_(dir_.file("bin")), logs_(dir_.file("logs")),
      path_("PATH", searchPathWith(dir_.file("bin"))) {
    std::filesystem::create_directory(bin_);
    std::filesystem::create_directory(logs_);
}

void ToolFolder::addWrapper(const std::string& name, const std::string& body) {
    const std::string script = "#!/bin/sh\n"
                               "printf '%s\\n' \"$@\" > '" +
                               argsLog(name) +
                               "'\n"
                               "printf '%s\\n' \"${LC_ALL-unset}\" > '" +
                               envLog(name) + "'\n" + body + "\n";
    addFile(name, script, 0755);
}

void ToolFolder::addObjdump(const std::string& name) {
    addWrapper(name, "exec mipsel-linux-gnu-objdump \"$@\"");
}

void ToolFolder::addFile(const std::string& name, const std::string& content, unsigned mode) {
    const std::string path = bin_ + "/" + name;
    writeFile(path, content);
    std::filesystem::permissions(path, static_cast<std::filesystem::perms>(mode));
}

std::string ToolFolder::argsLog(const std::string& name) const {
    return logs_ + "/" + name + ".args";
}

std::string ToolFolder::envLog(const std::string& name) const {
    return logs_ + "/" + name + ".env";
}

bool ToolFolder::ran(const std::string& name) const {
    return exists(argsLog(name));
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

} // namespace travonix::test
