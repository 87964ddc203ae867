#pragma once

#include <QtCore/QTimer>

#include <functional>

namespace travonix {

// The 5-second check for a rebuilt ELF file. Each tick is due 5000 ms after
// the previous one ended (a slow tick, or a question left open, never makes
// ticks pile up); the window says after every step whether it should run.
class ElfWatcherTimer {
  public:
    static constexpr int kIntervalMs = 5000;

    ElfWatcherTimer(QObject& owner, std::function<void()> tick);

    // Starts it when it should run and does not, stops it when it should not.
    void follow(bool running);
    [[nodiscard]] bool running() const { return timer_.isActive(); }
    [[nodiscard]] int intervalMs() const { return timer_.interval(); }

  private:
    QTimer timer_;
};

} // namespace travonix
