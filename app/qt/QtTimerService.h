#pragma once
#include <QObject>
#include <map>
#include <memory>

#include "platform/TimerService.h"

class QTimer;

namespace quirn {

// Window-less periodic timers on the Qt event loop of the user-interface thread.
class QtTimerService final : public TimerService {
  public:
    QtTimerService();
    ~QtTimerService() override;
    TimerId start(int periodMs, Callback callback) override;
    void stop(TimerId id) override;

  private:
    TimerId next_ = 1;
    std::map<TimerId, QTimer*> timers_;
};

}  // namespace quirn
