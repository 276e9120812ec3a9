#include "fleethealth/FleetRowsSlicer.h"

#include <algorithm>
#include <utility>

#include "fleethealth/FleetRows.h"
#include "plans/PlanDatabase.h"

namespace quirn {

void FleetRowsSlicer::begin(const PlanDatabase& db) {
    rows_.clear();
    rows_.reserve(db.locationCount());
    nextGroup_ = 0;
    building_ = true;
}

bool FleetRowsSlicer::step(const PlanDatabase& db, std::size_t locations) {
    if (!building_) return false;
    const std::vector<Group*> groups = db.allGroups();
    const auto isLast = [&](const Group* g) {
        return g->masterGroup() == lastMasterGroup_ && g->number() == lastGroup_;
    };
    if (nextGroup_ > 0 && (nextGroup_ > groups.size() || !isLast(groups[nextGroup_ - 1]))) {
        auto at = std::find_if(groups.begin(), groups.end(), isLast);
        if (at == groups.end())
            begin(db);
        else
            nextGroup_ = static_cast<std::size_t>(at - groups.begin()) + 1;
    }
    std::size_t copied = 0;
    while (nextGroup_ < groups.size() && copied < locations) {
        const Group* g = groups[nextGroup_++];
        for (const auto& l : g->locations()) rows_.push_back(baseFleetRow(*g, *l));
        copied += g->locations().size();
        lastMasterGroup_ = g->masterGroup();
        lastGroup_ = g->number();
    }
    return nextGroup_ >= groups.size();
}

std::vector<FleetRow> FleetRowsSlicer::take() {
    building_ = false;
    return std::exchange(rows_, {});
}

}  // namespace quirn
