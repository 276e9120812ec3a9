#include "schoolyear/ImageCapacity.h"

#include <limits>
#include <map>

#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"
#include "protocol/AnnualCalendar.h"
#include "protocol/ProgramImageLayout.h"

namespace quirn {

namespace {

// Calendar values with no day plan slot of their own (holiday, vacation) go into the image as
// plan 0, as the download writes them.
constexpr int kHighestSlotPlan = 10;

bool hasImageModel(const Group& group) {
    for (const auto& location : group.locations())
        if (isImageModel(location->model)) return true;
    return false;
}

void applyTo(Group& group, const CalendarChange& change) {
    const int mg = group.masterGroup();
    const int g = group.number();
    if (change.kind == CalendarChangeKind::Vacation) {
        group.addVacationPlan(VacationPlan::over(mg, g, change.first.year, change.first.month,
                                                 change.first.day, change.last.year,
                                                 change.last.month, change.last.day));
    } else {
        group.addAnnualPlan(AnnualPlan::on(mg, g, change.plan, change.first.year,
                                           change.first.month, change.first.day));
    }
}

}  // namespace

std::vector<ImageCapacityNote> imageCapacityNotes(const PlanDatabase& database,
                                                  const std::vector<CalendarChange>& changes,
                                                  std::time_t now) {
    std::map<GroupRef, std::vector<const CalendarChange*>> byGroup;
    for (const CalendarChange& change : changes) byGroup[change.group].push_back(&change);

    std::vector<ImageCapacityNote> notes;
    const std::size_t capacity = program_image::kAnnualEntries;
    for (const auto& [ref, groupChanges] : byGroup) {
        const Group* real = database.findGroup(ref.masterGroup, ref.group);
        if (real == nullptr || !hasImageModel(*real)) continue;
        // A scratch copy of the group's programming takes the changes; the real one waits for
        // the technician's Apply.
        Group scratch(ref.masterGroup, ref.group);
        scratch.setProgramming(real->programming());
        for (const CalendarChange* change : groupChanges) applyTo(scratch, *change);
        scratch.sortAnnualPlans();
        const std::vector<DatedRun> runs =
            differingRuns(scratch, now, std::numeric_limits<std::size_t>::max(),
                          [](int value) { return value > kHighestSlotPlan ? 0 : value; });
        if (runs.size() <= capacity) continue;
        const LocalDateTime first = toLocal(runs[capacity].start);
        notes.push_back(
            {ref, runs.size(), capacity, CalendarDate{first.year, first.month, first.day}});
    }
    return notes;
}

std::string imageCapacityText(const PlanDatabase& database, const ImageCapacityNote& note) {
    std::string name;
    if (const Group* group = database.findGroup(note.group.masterGroup, note.group.group))
        name = " " + group->name();
    return std::to_string(note.group.masterGroup) + ":" + std::to_string(note.group.group) + name +
           ": its MX40/LR40 switches carry " + std::to_string(note.capacity) +
           " dated entries and the coming days need " + std::to_string(note.entries) +
           ": written now, they run their week plan from " + note.firstLeftOut.iso() +
           " on; write the group again before then.";
}

}  // namespace quirn
