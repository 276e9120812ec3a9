#pragma once
#include <functional>

class QObject;

namespace quirn {

// Runs `onStop` on the event loop, once, when a request to end arrives from outside the
// program (StopSignal): a request that came before the watcher was made is acted on as soon as
// the event loop runs. The signal handler itself does nothing but note the request.
class StopRequestWatcher {
  public:
    explicit StopRequestWatcher(std::function<void()> onStop);
    ~StopRequestWatcher();
    StopRequestWatcher(const StopRequestWatcher&) = delete;
    StopRequestWatcher& operator=(const StopRequestWatcher&) = delete;

  private:
    void fire();
    std::function<void()> onStop_;
    bool fired_ = false;
    QObject* notifier_;  // a socket notifier on the request's descriptor, or a polling timer
};

}  // namespace quirn
