#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace travonix {

struct LocalDateTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// "YYYY-MM-DD" and "HH:MM:SS", as the stamps and reports write them.
[[nodiscard]] std::string formatDate(const LocalDateTime& t);
[[nodiscard]] std::string formatTime(const LocalDateTime& t);

// The files, clock and user that the handlers see. The platform layer
// implements it; tests use the real implementation on a temporary folder or a
// fake.
class Environment {
  public:
    virtual ~Environment() = default;

    // Whether an ordinary file of that name exists.
    virtual bool fileExists(const std::string& path) = 0;
    // The whole file as bytes, or std::nullopt when it cannot be read.
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    // Replaces the file whole (temporary file in the same folder, then rename).
    // Returns an empty string on success, else a one-line reason without the
    // path (the caller's report names it).
    virtual std::string writeFileWhole(const std::string& path, std::string_view bytes) = 0;
    // The file's modification time as text, stable while the time is
    // unchanged; std::nullopt when the file is missing or unreadable.
    virtual std::optional<std::string> fileModifiedText(const std::string& path) = 0;

    virtual LocalDateTime now() = 0;
    // The user name for the comment stamp.
    virtual std::string userName() = 0;
    // "\\" on Windows, "/" elsewhere: joins the output folder and a file name.
    virtual std::string pathSeparator() = 0;
};

} // namespace travonix
