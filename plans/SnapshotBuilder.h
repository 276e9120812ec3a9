#pragma once
#include <cstddef>
#include <string>

namespace quirn {

class PlanDatabase;

// Lays out the bytes of "Quirn Locations.bin" a slice of groups at a time, so that no single
// tick of the window copies a whole fleet's hundred megabytes. Each group's locations are
// copied whole within one slice, as they stand then; a record that changes after its group was
// copied asks for the next snapshot by its own read-back. Groups added while the build runs
// behind where it stands are in the next snapshot. Between slices the build finds its place
// again by the numbers of the group it stopped after, so groups added anywhere meanwhile never
// make it copy a group twice or skip one it had not reached.
class SnapshotBuilder {
  public:
    bool building() const { return building_; }
    // Starts a build; one already running is dropped.
    void begin(const PlanDatabase& db);
    // Copies groups until at least `locations` locations are copied in this slice or every
    // group is; true when the bytes are complete (take them).
    bool step(const PlanDatabase& db, std::size_t locations);
    // The file's bytes, the record count in front; the builder is idle again.
    std::string take();

  private:
    std::string bytes_;
    std::size_t records_ = 0;
    std::size_t nextGroup_ = 0;  // position in the database's group order
    int lastMasterGroup_ = 0;    // the group copied last, to find the place again
    int lastGroup_ = 0;
    bool building_ = false;
};

}  // namespace quirn
