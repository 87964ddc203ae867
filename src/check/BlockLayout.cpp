#include "check/BlockLayout.h"

#include <algorithm>

namespace travonix::check {

void BlockLayout::place(std::uint32_t address) {
    if (inOrder_ && (runs_.empty() || address > lastAddress_)) {
        if (!runs_.empty() && address - lastAddress_ == 4)
            ++runs_.back().count;
        else
            runs_.push_back({address, placed_, 1});
        lastAddress_ = address;
        ++placed_;
        return;
    }
    if (inOrder_)
        listEveryWord();
    addresses_.push_back(address);
    ++placed_;
}

void BlockLayout::seal() {
    if (inOrder_)
        return;
    positions_.reserve(addresses_.size());
    for (std::size_t i = 0; i < addresses_.size(); ++i)
        positions_.push_back({addresses_[i], static_cast<std::uint32_t>(i)});
    addresses_ = {};
    std::stable_sort(positions_.begin(), positions_.end(),
                     [](const Position& a, const Position& b) { return a.address < b.address; });
}

std::optional<std::uint32_t> BlockLayout::positionOf(std::uint32_t address) const {
    if (inOrder_) {
        auto after =
            std::upper_bound(runs_.begin(), runs_.end(), address,
                             [](std::uint32_t value, const Run& run) { return value < run.first; });
        if (after == runs_.begin())
            return std::nullopt;
        const Run& run = *(after - 1);
        const std::uint32_t offset = address - run.first;
        if (offset % 4 != 0 || offset / 4 >= run.count)
            return std::nullopt;
        return run.position + offset / 4;
    }
    auto it =
        std::lower_bound(positions_.begin(), positions_.end(), address,
                         [](const Position& p, std::uint32_t value) { return p.address < value; });
    if (it == positions_.end() || it->address != address)
        return std::nullopt;
    return it->position;
}

bool BlockLayout::appendInOrder(const BlockLayout& next) {
    if (!inOrder_ || !next.inOrder_)
        return false;
    if (next.runs_.empty())
        return true;
    if (!runs_.empty() && next.runs_.front().first <= lastAddress_)
        return false;
    for (const Run& run : next.runs_) {
        if (!runs_.empty() && run.first - lastAddress_ == 4)
            runs_.back().count += run.count;
        else
            runs_.push_back({run.first, placed_, run.count});
        placed_ += run.count;
        lastAddress_ = run.first + 4 * (run.count - 1);
    }
    return true;
}

void BlockLayout::listEveryWord() {
    inOrder_ = false;
    addresses_.reserve(placed_ + 1);
    for (const Run& run : runs_)
        for (std::uint32_t k = 0; k < run.count; ++k)
            addresses_.push_back(run.first + 4 * k);
    runs_ = {};
}

} // namespace travonix::check
