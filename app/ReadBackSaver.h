#pragma once
#include <atomic>
#include <string>
#include <thread>

namespace quirn {

// Writes "Quirn Locations.bin" on a worker thread. The caller builds the file's bytes on the
// user-interface thread (a consistent copy of every location at that moment), so the records
// may change while the worker writes. One write at a time.
class ReadBackSaver {
  public:
    ReadBackSaver() = default;
    ~ReadBackSaver();  // waits for a running write
    ReadBackSaver(const ReadBackSaver&) = delete;
    ReadBackSaver& operator=(const ReadBackSaver&) = delete;

    // Starts writing `bytes` to `path` (atomic replace); false when a write is still running.
    bool start(std::string path, std::string bytes);
    bool busy() const { return running_.load(); }
    // Waits for the running write, if any.
    void wait();
    // Number of writes finished and whether the last one succeeded.
    int finished() const { return finished_.load(); }
    bool lastSucceeded() const { return lastOk_.load(); }

  private:
    std::thread worker_;
    std::atomic<bool> running_{false};
    std::atomic<int> finished_{0};
    std::atomic<bool> lastOk_{false};
};

}  // namespace quirn
