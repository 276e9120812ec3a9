#pragma once
#include <atomic>

namespace quirn {

// A one-way signal from one thread to the waits of another: once raised, every bounded wait
// that watches it (the blocking TCP socket's) ends at once instead of running its time-out.
// Raising is safe from any thread; the signal stays raised until the object goes.
class CancelSignal {
  public:
    CancelSignal();
    ~CancelSignal();
    CancelSignal(const CancelSignal&) = delete;
    CancelSignal& operator=(const CancelSignal&) = delete;

    void raise();
    bool raised() const;
#ifndef _WIN32
    // A descriptor that becomes readable when the signal is raised (-1 when none could be
    // made: waits then run their time-outs).
    int waitHandle() const {
        return readEnd_;
    }
#endif

  private:
#ifdef _WIN32
    // Winsock waits cannot watch a pipe; they wait in short slices and look at this flag.
    std::atomic<bool> raised_{false};
#else
    int readEnd_ = -1;
    int writeEnd_ = -1;
#endif
};

}  // namespace quirn
