#pragma once

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

namespace travonix::cli {

// A line on the user's terminal that says how far a long run has come. It
// appears only once the run has taken a second, so quick runs print nothing
// more, and is rewritten in place at most ten times a second. Made only when
// stderr is a terminal: Makefiles and CI logs never see it.
class ProgressLine {
  public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit ProgressLine(std::ostream& terminal, Clock now = std::chrono::steady_clock::now);

    // Whether a new text would be shown now; the caller makes it only then.
    [[nodiscard]] bool due() const;
    void show(const std::string& text);
    // Blanks the line, so what is written next starts on a clean line.
    void clear();

  private:
    std::ostream& terminal_;
    Clock now_;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point shownAt_{};
    std::size_t shownWidth_ = 0;
};

} // namespace travonix::cli
