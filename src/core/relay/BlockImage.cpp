#include "core/relay/BlockImage.h"

namespace travonix::relay {

namespace {

// The routine holding `index`: the last one that starts at or before it.
std::size_t routineAt(const BlockImage& image, std::size_t index) {
    std::size_t at = 0;
    for (std::size_t r = 0; r < image.routines.size() && image.routines[r].first <= index; ++r)
        at = r;
    return at;
}

} // namespace

bool BlockImage::isCode(std::size_t index) const {
    return !routines.empty() && routines[routineAt(*this, index)].code;
}

std::size_t BlockImage::routineEnd(std::size_t index) const {
    const std::size_t r = routineAt(*this, index);
    return r + 1 < routines.size() ? routines[r + 1].first : words.size();
}

} // namespace travonix::relay
