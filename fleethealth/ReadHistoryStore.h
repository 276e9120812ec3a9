#pragma once
#include <ctime>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "fleethealth/LocationHealth.h"
#include "fleethealth/ReadRecord.h"

namespace quirn {

// Reads kept this long; older ones are pruned a slice at a time.
inline constexpr int kHistoryRetentionDays = 400;
// The history file's schema version (SQLite's user_version).
inline constexpr int kHistorySchemaVersion = 1;
// The history's file name in the working folder.
inline constexpr const char* kHistoryFileName = "ReadHistory.db";

// How opening the history went.
struct HistoryOpenResult {
    enum class Outcome {
        Opened,    // an existing history
        Created,   // there was none
        Replaced,  // the file was damaged: set aside and a fresh one started
        Failed,    // no history can be kept (not even a fresh file)
    };
    Outcome outcome = Outcome::Failed;
    std::string problem;       // why a file was set aside or could not be opened
    std::string setAsidePath;  // where the damaged file went ("" when none moved)
    bool ok() const { return outcome != Outcome::Failed; }
};

// One connection to a history file (SQLite, WAL). Not thread-safe: each thread opens its own;
// WAL lets readers run while the writer commits. No call throws; a failing call returns false,
// -1 or an empty result and leaves lastError() set.
class ReadHistoryStore {
  public:
    ReadHistoryStore();
    ~ReadHistoryStore();
    ReadHistoryStore(ReadHistoryStore&&) noexcept;
    ReadHistoryStore& operator=(ReadHistoryStore&&) noexcept;

    // Opens or creates the file for writing, bringing an older schema up to date. A file that
    // is not a history this program can use (not a database, failing its integrity check, a
    // schema from a newer program, a folder) is renamed "<path>.damaged-YYYYMMDD-HHMMSS" (local
    // `now`) and a fresh one started.
    HistoryOpenResult open(const std::string& path, std::time_t now);
    // Opens an existing history read-only (queries only); false when there is none usable.
    bool openForReading(const std::string& path);
    void close();
    bool isOpen() const;

    // Adds the reads in one transaction and updates each location's summary. Records must
    // come in time order per location for the drift sums to hold.
    bool insert(std::span<const ReadRecord> reads);
    // Deletes the reads older than `cutoff` of the next `locations` locations, in key order,
    // starting after where the last call stopped and wrapping round: a slice of the fleet at a
    // time, so no call holds the file long. The count deleted, -1 on failure.
    int pruneSlice(std::time_t cutoff, int locations);

    // Every location's summary in one pass, ordered by master group, group, location.
    std::vector<LocationHealth> latestOfEveryLocation() const;
    // The same, row by row without building the vector; false on failure.
    bool forEachLocation(const std::function<void(const LocationHealth&)>& each) const;
    // One location's summary; false when it was never read.
    bool locationHealth(const LocationKey& location, LocationHealth& out) const;
    // One location's reads from `since` on, oldest first.
    std::vector<ReadRecord> locationHistory(const LocationKey& location,
                                            std::time_t since = 0) const;
    // Reads kept in all (for tests and the benchmark).
    long long readCount() const;

    const std::string& lastError() const;
    // The last failure says the file itself is damaged (not a lock or a full disk).
    bool lastErrorIsDamage() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace quirn
