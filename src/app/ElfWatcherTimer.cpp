#include "app/ElfWatcherTimer.h"

namespace travonix {

ElfWatcherTimer::ElfWatcherTimer(QObject& owner, std::function<void()> tick) : timer_(&owner) {
    timer_.setObjectName(QStringLiteral("elfWatcher"));
    timer_.setInterval(kIntervalMs);
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, &owner, std::move(tick));
}

void ElfWatcherTimer::follow(bool running) {
    if (running && !timer_.isActive())
        timer_.start(kIntervalMs);
    else if (!running)
        timer_.stop();
}

} // namespace travonix
