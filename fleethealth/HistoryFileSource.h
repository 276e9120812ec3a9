#pragma once
#include <memory>
#include <string>
#include <thread>

#include "fleethealth/OffsetHistory.h"

namespace quirn {

class ReadHistoryStore;

// A history file read on whatever thread asks. The thread that made the source (the window's)
// keeps one read connection open for all its queries; any other thread (the
// daily mail's worker) opens its own for each query. WAL lets them read while the station
// writes. A file that is missing or cannot be read answers with nothing.
class HistoryFileSource final : public FleetHistorySource {
  public:
    explicit HistoryFileSource(std::string path);
    ~HistoryFileSource() override;
    std::vector<LocationHealth> latestOfEveryLocation() const override;
    std::vector<ReadRecord> locationHistory(const LocationKey& location,
                                            std::time_t since) const override;
    const std::string& path() const { return path_; }

  private:
    // The connection of this thread (null when the file cannot be read); `fresh` holds one
    // opened for another thread.
    const ReadHistoryStore* reader(std::unique_ptr<ReadHistoryStore>& fresh) const;

    std::string path_;
    std::thread::id owner_;
    mutable std::unique_ptr<ReadHistoryStore> ownReader_;
};

}  // namespace quirn
