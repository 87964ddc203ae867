#pragma once

#include <atomic>

namespace travonix {

// A request to stop long work, made on one thread and looked at on another
// between the steps that may still be left undone.
class CancelFlag {
  public:
    void request() { requested_.store(true, std::memory_order_relaxed); }
    [[nodiscard]] bool requested() const { return requested_.load(std::memory_order_relaxed); }

  private:
    std::atomic<bool> requested_{false};
};

} // namespace travonix
