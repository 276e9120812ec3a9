#pragma once
#include <string>
#include <string_view>

namespace quirn::sim {

// Holds reply bytes back so that they leave one at a time, a fixed number of milliseconds
// apart (the slow-bytes fault). Without a pace everything is due at once.
class ReplyPacer {
  public:
    explicit ReplyPacer(int msPerByte) : msPerByte_(msPerByte < 0 ? 0 : msPerByte) {}

    void add(std::string_view bytes, long long nowMs);
    // The bytes whose time has come; the rest stay queued.
    std::string due(long long nowMs);
    // Puts bytes the line did not take back in front of the queue.
    void putBack(std::string_view bytes) { queue_.insert(0, bytes); }
    bool empty() const { return queue_.empty(); }

  private:
    std::string queue_;
    long long nextMs_ = 0;
    int msPerByte_;
};

}  // namespace quirn::sim
