#include "core/relay/BlockImage.h"

#include <algorithm>

namespace travonix::relay {

std::size_t BlockImage::routineAt(std::size_t index) const {
    // The last routine that starts at or before `index`.
    const auto after =
        std::upper_bound(routines.begin(), routines.end(), index,
                         [](std::size_t i, const Routine& routine) { return i < routine.first; });
    return after == routines.begin() ? 0 : static_cast<std::size_t>(after - routines.begin() - 1);
}

bool BlockImage::isCode(std::size_t index) const {
    return !routines.empty() && routines[routineAt(index)].code;
}

std::size_t BlockImage::routineEnd(std::size_t index) const {
    const std::size_t r = routineAt(index);
    return r + 1 < routines.size() ? routines[r + 1].first : words.size();
}

std::uint32_t BlockImage::addressOf(std::size_t index) const {
    if (routines.empty())
        return 0;
    const Routine& routine = routines[routineAt(index)];
    return routine.link + 4 * static_cast<std::uint32_t>(index - routine.first);
}

bool BlockImage::index() {
    ranges_.clear();
    for (std::size_t r = 0; r < routines.size(); ++r) {
        const std::size_t end = r + 1 < routines.size() ? routines[r + 1].first : words.size();
        if (end > routines[r].first)
            ranges_.push_back({routines[r].link,
                               routines[r].link + 4 * std::uint64_t{end - routines[r].first}, r});
    }
    std::sort(ranges_.begin(), ranges_.end(),
              [](const Range& a, const Range& b) { return a.start < b.start; });
    for (std::size_t k = 1; k < ranges_.size(); ++k)
        if (ranges_[k - 1].end > ranges_[k].start)
            return false;
    return true;
}

std::optional<std::size_t> BlockImage::locate(std::uint32_t address) const {
    const auto after =
        std::upper_bound(ranges_.begin(), ranges_.end(), std::uint64_t{address},
                         [](std::uint64_t a, const Range& range) { return a < range.start; });
    if (after == ranges_.begin())
        return std::nullopt;
    const Range& range = *(after - 1);
    if (address >= range.end)
        return std::nullopt;
    return routines[range.routine].first + static_cast<std::size_t>((address - range.start) / 4);
}

std::optional<std::size_t> BlockImage::endingAt(std::uint32_t address) const {
    // Ranges do not overlap, so their ends are sorted as their starts are.
    const auto it =
        std::lower_bound(ranges_.begin(), ranges_.end(), std::uint64_t{address},
                         [](const Range& range, std::uint64_t a) { return range.end < a; });
    if (it == ranges_.end() || it->end != address)
        return std::nullopt;
    return routines[it->routine].first + static_cast<std::size_t>((it->end - it->start) / 4) - 1;
}

} // namespace travonix::relay
