#pragma once

#include "listing/Environment.h"

#include <string>
#include <vector>

namespace travonix::cli {

// Passes everything to the real environment and notes each file read and
// written, so the tool can print the paths it wrote and tell whether the
// listing was read.
class RecordingEnvironment : public Environment {
  public:
    explicit RecordingEnvironment(Environment& inner) : inner_(inner) {}

    bool fileExists(const std::string& path) override { return inner_.fileExists(path); }
    std::optional<std::string> readFile(const std::string& path) override {
        read_.push_back(path);
        return inner_.readFile(path);
    }
    std::string writeFileWhole(const std::string& path, std::string_view bytes) override {
        std::string error = inner_.writeFileWhole(path, bytes);
        if (error.empty())
            written_.push_back(path);
        return error;
    }
    std::optional<std::string> fileModifiedText(const std::string& path) override {
        return inner_.fileModifiedText(path);
    }
    LocalDateTime now() override { return inner_.now(); }
    std::string userName() override { return inner_.userName(); }
    std::string pathSeparator() override { return inner_.pathSeparator(); }

    const std::vector<std::string>& written() const { return written_; }
    bool wasRead(const std::string& path) const {
        for (const std::string& p : read_)
            if (p == path)
                return true;
        return false;
    }

  private:
    Environment& inner_;
    std::vector<std::string> written_;
    std::vector<std::string> read_;
};

} // namespace travonix::cli
