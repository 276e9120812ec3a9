#include "app/qt/StopRequestWatcher.h"

#include <QSocketNotifier>
#include <QTimer>
#include <utility>

#include "platform/StopSignal.h"

namespace quirn {

namespace {
// Where the request comes with no descriptor to watch (Windows' console events), it is looked
// for this often.
constexpr int kPollMs = 200;
}  // namespace

StopRequestWatcher::StopRequestWatcher(std::function<void()> onStop) : onStop_(std::move(onStop)) {
#ifndef _WIN32
    if (StopSignal::waitHandle() >= 0) {
        auto* notifier = new QSocketNotifier(StopSignal::waitHandle(), QSocketNotifier::Read);
        // The byte is left in the pipe: the request stays noted for whoever looks later.
        QObject::connect(notifier, &QSocketNotifier::activated, [this, notifier] {
            notifier->setEnabled(false);
            fire();
        });
        notifier_ = notifier;
        return;
    }
#endif
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [this] {
        if (StopSignal::requested()) fire();
    });
    timer->start(kPollMs);
    notifier_ = timer;
}

StopRequestWatcher::~StopRequestWatcher() {
    delete notifier_;
}

void StopRequestWatcher::fire() {
    if (fired_) return;
    fired_ = true;
    if (onStop_) onStop_();
}

}  // namespace quirn
