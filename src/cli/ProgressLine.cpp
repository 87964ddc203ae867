#include "cli/ProgressLine.h"

namespace travonix::cli {

namespace {

constexpr std::chrono::seconds kQuiet{1};
constexpr std::chrono::milliseconds kInterval{100};

} // namespace

ProgressLine::ProgressLine(std::ostream& terminal, Clock now)
    : terminal_(terminal), now_(std::move(now)), started_(now_()) {}

bool ProgressLine::due() const {
    const auto now = now_();
    return now - started_ >= kQuiet && now - shownAt_ >= kInterval;
}

void ProgressLine::show(const std::string& text) {
    shownAt_ = now_();
    // Written over the last text, with blanks over what is left of it.
    std::string line = "\r" + text;
    if (text.size() < shownWidth_)
        line.append(shownWidth_ - text.size(), ' ');
    terminal_ << line << std::flush;
    shownWidth_ = text.size();
}

void ProgressLine::clear() {
    if (shownWidth_ == 0)
        return;
    terminal_ << '\r' << std::string(shownWidth_, ' ') << '\r' << std::flush;
    shownWidth_ = 0;
}

} // namespace travonix::cli
