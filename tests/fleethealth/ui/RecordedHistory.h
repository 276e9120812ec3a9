#pragma once
#include <map>
#include <tuple>
#include <vector>

#include "fleethealth/OffsetHistory.h"

namespace quirn::test {

// Reads kept in memory, for the window's tests of drawing: the rows and the chart take them as
// they would take the read history's.
class RecordedHistory final : public FleetHistorySource {
  public:
    std::vector<LocationHealth> latestOfEveryLocation() override { return latest; }
    LocationOffsetHistory offsetHistory(int mg, int g, int l, std::time_t) override {
        auto found = offsets.find({mg, g, l});
        return found == offsets.end() ? LocationOffsetHistory{} : found->second;
    }

    std::vector<LocationHealth> latest;
    std::map<std::tuple<int, int, int>, LocationOffsetHistory> offsets;
};

}  // namespace quirn::test
