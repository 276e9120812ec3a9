#pragma once
#include <cstdint>
#include <string>

namespace quirn {

// Makes sure one copy of the program runs per working folder. The first copy holds a lock
// (released by the system when the process ends, however it ends) and listens for hand-over
// requests; a second copy finds the lock taken, asks the first to come to the front and leaves
// without creating anything.
class SingleInstance {
  public:
    // `name` names the lock ("SingleTest_Vorn"); one lock per working folder `folder`.
    SingleInstance(std::string name, std::string folder);
    ~SingleInstance();
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    // True when this is the first instance (the lock is now held until destruction).
    bool acquire();
    // Tries acquire() again and again for up to `waitMs`: for a second copy that found the
    // first closing. True once the lock is held.
    bool acquireWithin(int waitMs);
    // From a second instance: asks the first to come to the front. False when no first
    // instance answered.
    bool askFirstToComeForward() const;
    // From the first instance, polled from a timer: true once per request received.
    bool takeComeForwardRequest();
    // From the first instance, once its main window exists: names that window by the system's
    // handle of it, so that a second copy brings it to the front itself. Windows lets only the
    // program the user just started take the foreground, so there the second copy does it;
    // elsewhere the first copy comes forward on the request alone and this keeps nothing.
    void publishWindow(std::intptr_t nativeWindow);
    // From the first instance as it begins to close: it takes no more hand-overs, so that a
    // copy started now knows it must wait instead of handing over to a window that is going.
    // The lock stays held until destruction.
    void endHandOver();

    const std::string& lockPath() const { return lockPath_; }
    const std::string& socketPath() const { return socketPath_; }

  private:
    std::string lockPath_;
    std::string socketPath_;
    // The held lock and the hand-over endpoint: descriptors on POSIX, handles (a named mutex
    // and a named event) on Windows; -1 when not held.
    std::intptr_t lockFd_ = -1;
    std::intptr_t listenFd_ = -1;
    // Windows: the named record of the first copy's window that a second copy reads; -1 when
    // none was published.
    std::intptr_t windowRecord_ = -1;
};

}  // namespace quirn
