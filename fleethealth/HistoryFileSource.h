#pragma once
#include <string>

#include "fleethealth/OffsetHistory.h"

namespace quirn {

// A history file read on whatever thread asks: each query opens its own read connection (WAL
// lets it read while the station writes), so a worker thread may ask as well as the window.
// A file that is missing or cannot be read answers with nothing.
class HistoryFileSource final : public FleetHistorySource {
  public:
    explicit HistoryFileSource(std::string path) : path_(std::move(path)) {}
    std::vector<LocationHealth> latestOfEveryLocation() const override;
    std::vector<ReadRecord> locationHistory(const LocationKey& location,
                                            std::time_t since) const override;
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace quirn
