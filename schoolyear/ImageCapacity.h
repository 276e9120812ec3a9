#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "schoolyear/CalendarChanges.h"

namespace quirn {

class PlanDatabase;

// The program image an MX40 or LR40 takes carries a fixed number of dated entries (a run of
// days on one plan other than the week's is one entry), filled from today on. A district
// calendar with a weekly early release needs more than that for a whole year: a switch
// written now runs its week plan on the dated days past the last entry, until the group is
// written again once those days come within reach. The import says so before it is applied.
struct ImageCapacityNote {
    GroupRef group;
    std::size_t entries = 0;    // dated entries the group's next days need after the changes
    std::size_t capacity = 0;   // what the image carries
    CalendarDate firstLeftOut;  // the first day of the first entry that does not fit
};

// One note for each group with an MX40 or LR40 location whose dated entries, with the changes
// applied, pass what the image carries. The database is not changed.
std::vector<ImageCapacityNote> imageCapacityNotes(const PlanDatabase& database,
                                                  const std::vector<CalendarChange>& changes,
                                                  std::time_t now);

// "1:4 Lincoln Elementary: its MX40/LR40 switches carry 36 dated entries and the coming days
// need 55: written now, they run their week plan from 2028-03-08 on; write the group again
// before then."
std::string imageCapacityText(const PlanDatabase& database, const ImageCapacityNote& note);

}  // namespace quirn
