#pragma once
#include <cstddef>
#include <vector>

#include "fleethealth/FleetRow.h"

namespace quirn {

class PlanDatabase;

// Lays out the fleet's base rows (FleetRow as the database has it) a slice of groups at a
// time, so that no tick of the station's thread copies the largest fleet at once. Each group's
// locations are copied whole within one slice; between slices the place is found again by the
// numbers of the group copied last, so groups added meanwhile are never copied twice, and a
// group taken out meanwhile starts the layout afresh.
class FleetRowsSlicer {
  public:
    bool building() const { return building_; }
    // Starts a layout; one already running is dropped.
    void begin(const PlanDatabase& db);
    // Copies groups until at least `locations` locations are copied in this slice or every
    // group is; true when the rows are complete (take them).
    bool step(const PlanDatabase& db, std::size_t locations);
    // The rows in database order; the slicer is idle again.
    std::vector<FleetRow> take();

  private:
    std::vector<FleetRow> rows_;
    std::size_t nextGroup_ = 0;
    int lastMasterGroup_ = 0;
    int lastGroup_ = 0;
    bool building_ = false;
};

}  // namespace quirn
