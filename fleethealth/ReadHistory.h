#pragma once
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "fleethealth/ReadHistoryStore.h"
#include "fleethealth/ReadRecorder.h"
#include "ops/LogWriter.h"

namespace quirn {

class Clock;

// The station's read history: the read paths hand records over (record() only queues), a
// worker thread opens the file (checking it whole, which can take seconds for a big file),
// writes the records in batches of one transaction each and prunes reads older than the
// retention a slice of the fleet at a time. The worker touches no station object; what it has
// to say comes back through poll() on the station's thread, to the System log. Queries open
// their own read connection on the caller's thread and see what is committed.
class ReadHistory final : public ReadRecorder {
  public:
    // The most records written in one transaction, and the most waiting: past it a record is
    // dropped (and counted in the log) rather than let a stuck disk eat the memory.
    static constexpr size_t kBatchLimit = 5000;
    static constexpr size_t kQueueLimit = 500000;
    // Locations whose old reads one prune slice deletes (after each batch).
    static constexpr int kPruneSliceLocations = 2000;

    ReadHistory(const Clock& clock, LogWriter log);
    ~ReadHistory() override;
    ReadHistory(const ReadHistory&) = delete;
    ReadHistory& operator=(const ReadHistory&) = delete;

    // Starts the worker on the file at `path` (see ReadHistoryStore::open for a damaged one).
    // False when already running. When not even a fresh file opens, the history is off until
    // the next start: records are dropped, and poll() logs why.
    bool start(const std::string& path);
    // Writes what is queued, then stops the worker. Safe to call twice.
    void stop();
    bool running() const;

    void record(const ReadRecord& read) override;
    // Waits at most `wait` until every record queued before the call is written (or dropped
    // because the history is off); true when none is left waiting.
    bool flush(std::chrono::milliseconds wait);
    // Waits at most `wait` for the worker to have opened the file; its result then.
    std::optional<HistoryOpenResult> waitOpened(std::chrono::milliseconds wait) const;
    // Logs what happened on the worker since the last call (System log). Call from the tick.
    void poll();

    // Queries over a read connection of the caller's thread: empty when there is no history.
    std::vector<LocationHealth> latestOfEveryLocation() const;
    bool locationHealth(const LocationKey& location, LocationHealth& out) const;
    std::vector<ReadRecord> locationHistory(const LocationKey& location,
                                            std::time_t since = 0) const;
    const std::string& path() const { return path_; }

  private:
    void run(std::time_t started);
    void openOnWorker(std::time_t started);
    void writeBatch(std::vector<ReadRecord>& batch);
    void note(std::string line);

    const Clock& clock_;
    LogWriter log_;
    std::string path_;
    ReadHistoryStore writer_;  // the worker's alone while it runs

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::condition_variable wake_;
    std::deque<ReadRecord> queue_;
    std::vector<std::string> notes_;
    std::optional<HistoryOpenResult> opened_;
    unsigned long long queued_ = 0;   // records accepted so far
    unsigned long long settled_ = 0;  // of them written or given up
    unsigned long long dropped_ = 0;  // refused since the last poll (queue full, history off)
    bool historyOff_ = false;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace quirn
