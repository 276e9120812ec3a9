#pragma once
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "fleethealth/ReadHistoryStore.h"
#include "fleethealth/ReadRecorder.h"
#include "ops/LogWriter.h"

namespace quirn {

class Clock;

// The station's read history: the read paths hand records over (record() only queues), a
// worker thread writes them in batches, one transaction each, and prunes reads older than the
// retention a slice at a time. The worker touches no station object; its problems come back
// through poll() on the station's thread to the System log. Queries open their own read
// connection on the caller's thread.
class ReadHistory final : public ReadRecorder {
  public:
    // Reads pruned per slice, and the most records written in one transaction.
    static constexpr int kPruneSlice = 2000;
    static constexpr size_t kBatchLimit = 5000;

    ReadHistory(const Clock& clock, LogWriter log);
    ~ReadHistory() override;
    ReadHistory(const ReadHistory&) = delete;
    ReadHistory& operator=(const ReadHistory&) = delete;

    // Opens the file (a damaged one is set aside and logged) and starts the worker. When not
    // even a fresh file opens, logs it and keeps no history (record() drops); returns false.
    bool start(const std::string& path);
    // Writes what is queued and stops the worker.
    void stop();
    bool running() const;

    void record(const ReadRecord& read) override;
    // Waits at most `wait` until everything queued so far is written; true when it was.
    bool flush(std::chrono::milliseconds wait);
    // Logs what went wrong on the worker since the last call (System log). Call from the tick.
    void poll();

    // Queries over a read connection of the caller's thread (what is committed so far).
    std::vector<LocationHealth> latestOfEveryLocation() const;
    std::vector<ReadRecord> locationHistory(const LocationKey& location,
                                            std::time_t since = 0) const;
    const std::string& path() const { return path_; }
    // How the last start() found the file.
    const HistoryOpenResult& openResult() const { return openResult_; }

  private:
    void run();
    void logOpen();

    const Clock& clock_;
    LogWriter log_;
    std::string path_;
    HistoryOpenResult openResult_;
    ReadHistoryStore writer_;  // used by the worker only once started

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable written_;
    std::deque<ReadRecord> queue_;
    std::vector<std::string> problems_;
    unsigned long long queued_ = 0;
    unsigned long long done_ = 0;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace quirn
