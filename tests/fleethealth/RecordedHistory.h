#pragma once
#include <map>
#include <vector>

#include "fleethealth/OffsetHistory.h"

namespace quirn::test {

// Reads kept in memory, for the window's tests of drawing: the rows and the chart take them as
// they would take the read history's.
class RecordedHistory final : public FleetHistorySource {
  public:
    std::vector<LocationHealth> latestOfEveryLocation() const override { return latest; }
    std::vector<ReadRecord> locationHistory(const LocationKey& key, std::time_t) const override {
        auto found = reads.find(key);
        return found == reads.end() ? std::vector<ReadRecord>{} : found->second;
    }

    std::vector<LocationHealth> latest;
    std::map<LocationKey, std::vector<ReadRecord>> reads;
};

}  // namespace quirn::test
