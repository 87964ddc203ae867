#include "core/TextBehind.h"

#include <algorithm>

namespace travonix {

namespace {

// Each let-go is a system call: a few hundred kilobytes of lines at a time.
constexpr std::size_t kStepLines = 8192;

} // namespace

void TextBehind::passed(std::size_t reader, std::size_t line) {
    const std::lock_guard lock(mutex_);
    if (reader >= passed_.size())
        return;
    passed_[reader] = std::max(passed_[reader], line);
    const std::size_t slowest = *std::min_element(passed_.begin(), passed_.end());
    const bool atEnd = slowest >= listing_.size();
    if (slowest <= letGo_ || (!atEnd && slowest - letGo_ < kStepLines))
        return;
    listing_.doneWithLines(letGo_, slowest);
    letGo_ = slowest;
}

std::size_t TextBehind::letGo() const {
    const std::lock_guard lock(mutex_);
    return letGo_;
}

} // namespace travonix
