#pragma once
#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "plans/DatabaseFiles.h"
#include "platform/WorkingFolder.h"

namespace quirn {

class PlanDatabase;

// The texts of the four database files in pieces, as a few groups at a time wrote them; the
// files are the pieces joined in order, which any thread may do.
struct DatabaseTextPieces {
    struct File {
        std::string path;
        std::vector<std::string> pieces;
    };
    std::vector<File> files;  // locations, dayplan, steps, groups: saveDatabase's order

    // The files' texts, the pieces given up as they are joined.
    std::vector<DatabaseFile> join();
};

// Writes the texts of the database files a slice of groups at a time, so that the end of the
// day's save of a large fleet never holds one tick for all of it. Each group's lines are
// written whole within one slice, from the records as they stand then; an edit made after its
// group was written is saved by the next save. Groups added while the build runs behind where
// it stands are saved by the next save too. Between slices the build finds its place again by
// the numbers of the group it stopped after; should that group be gone, it starts again. With
// no edit between the slices, the texts are byte for byte those of databaseFiles() at the same
// time.
class DatabaseTextBuilder {
  public:
    bool building() const { return building_; }
    // Starts a build dated `now` (the cut-off of dated plans); one already running is dropped.
    void begin(std::time_t now);
    // Writes groups until at least `locations` locations or `groups` groups were written in
    // this slice, or every group was; true when the texts are complete (take them).
    bool step(PlanDatabase& db, std::size_t locations, std::size_t groups);
    // The special week lines end dayplan.csv; the builder is idle again.
    DatabaseTextPieces take(PlanDatabase& db, const WorkingFolder& folder);

  private:
    // The parts of the files, in the order they are joined.
    enum Part {
        kLocations,
        kAnnualPlans,
        kVacationPlans,
        kDayPlanNames,
        kDayPlanDefaults,
        kSteps,
        kGroups,
        kPartCount
    };
    std::vector<std::string> parts_[kPartCount];
    std::time_t now_ = 0;
    std::size_t nextGroup_ = 0;  // position in the database's group order
    int lastMasterGroup_ = 0;    // the group written last, to find the place again
    int lastGroup_ = 0;
    bool building_ = false;
};

}  // namespace quirn
