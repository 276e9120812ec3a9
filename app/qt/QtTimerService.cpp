#include "app/qt/QtTimerService.h"

#include <QTimer>

namespace quirn {

QtTimerService::QtTimerService() = default;

QtTimerService::~QtTimerService() {
    for (auto& [id, timer] : timers_) delete timer;
}

TimerService::TimerId QtTimerService::start(int periodMs, Callback callback) {
    auto* timer = new QTimer;
    timer->setInterval(periodMs < 1 ? 1 : periodMs);
    QObject::connect(timer, &QTimer::timeout, [cb = std::move(callback)] { cb(); });
    TimerId id = next_++;
    timers_[id] = timer;
    timer->start();
    return id;
}

void QtTimerService::stop(TimerId id) {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->stop();
    // A timer may stop itself from inside its own callback: delete it once the event loop is
    // back in control.
    it->second->deleteLater();
    timers_.erase(it);
}

}  // namespace quirn
