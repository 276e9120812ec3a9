#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quirn {

class PlanDatabase;

// The records of "Quirn Locations.bin" as copied from the locations, without the program
// bytes' zeros: most locations of a fleet hold no program, and their 968 zero bytes need not
// be copied on the thread that owns the records. fileBytes() lays out the file's bytes from it
// on any thread.
class SnapshotCopy {
  public:
    // Each group's records: a 32-byte head, then the 968 program bytes only when the head's
    // read state keeps a program.
    std::vector<std::string> groups;
    std::size_t records = 0;

    // The exact bytes of the file: the record count, then 1000 bytes per record.
    std::string fileBytes() const;
};

// Copies the records of "Quirn Locations.bin" a slice of groups at a time, so that no single
// tick of the window copies a whole fleet. Each group's locations are copied whole within one
// slice, as they stand then; a record that changes after its group was copied asks for the
// next snapshot by its own read-back. Groups added while the build runs behind where it stands
// are in the next snapshot. Between slices the build finds its place again by the numbers of
// the group it stopped after, so groups added anywhere meanwhile never make it copy a group
// twice or skip one it had not reached.
class SnapshotBuilder {
  public:
    // A copied record's head; a record that keeps a program adds its bytes to that.
    static constexpr std::size_t kRecordHeadSize = 32;

    bool building() const { return building_; }
    // Starts a build; one already running is dropped.
    void begin(const PlanDatabase& db);
    // Copies groups until at least `locations` locations or `bytes` bytes of records are
    // copied in this slice, or every group is; true when the copy is complete (take it).
    bool step(const PlanDatabase& db, std::size_t locations, std::size_t bytes = SIZE_MAX);
    // The copy; the builder is idle again.
    SnapshotCopy take();

  private:
    SnapshotCopy copy_;
    std::size_t nextGroup_ = 0;  // position in the database's group order
    int lastMasterGroup_ = 0;    // the group copied last, to find the place again
    int lastGroup_ = 0;
    bool building_ = false;
};

}  // namespace quirn
