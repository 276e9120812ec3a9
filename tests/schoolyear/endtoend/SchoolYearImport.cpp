#include "tests/schoolyear/endtoend/SchoolYearImport.h"

#include "plans/Step.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "schoolyear/CalendarApply.h"
#include "schoolyear/CalendarMapping.h"
#include "schoolyear/CalendarReader.h"
#include "tests/schoolyear/endtoend/SchoolYearCalendar.h"

namespace quirn::test::school_year {

namespace {

constexpr int kMinutesPerHour = 60;
constexpr int kNoon = 12;
constexpr const char* kImportDescription = "import school calendar";

StepEntry at(int minuteOfDay, int command) {
    return {minuteOfDay / kMinutesPerHour, minuteOfDay % kMinutesPerHour, command};
}

}  // namespace

EditOutcome giveSchoolPlans(PlanEditor& editor, GroupKey group) {
    EditOutcome r = editor.setDayPlanSteps(
        group, kNormalPlan,
        {at(kMorningOn, kCommandOn), at(kMorningOff, kCommandOff),
         at(kNormalAfternoonOn, kCommandOn), at(kNormalAfternoonOff, kCommandOff)});
    if (!r) return r;
    r = editor.addDayPlan(group, kEarlyReleasePlan, kEarlyReleaseName);
    if (!r) return r;
    return editor.setDayPlanSteps(
        group, kEarlyReleasePlan,
        {at(kMorningOn, kCommandOn), at(kMorningOff, kCommandOff),
         at(kEarlyAfternoonOn, kCommandOn), at(kEarlyAfternoonOff, kCommandOff)});
}

EditOutcome addSchoolGroup(PlanEditor& editor, GroupKey group, const std::string& name,
                           TimeSwitchModel model) {
    EditOutcome r = editor.addGroup(group, name);
    if (!r) return r;
    LocationFields fields;
    fields.name = name + " Crossing";
    fields.model = static_cast<int>(model);
    r = editor.addLocation(group, 1, fields);
    if (!r) return r;
    return giveSchoolPlans(editor, group);
}

ImportRun importSchoolYear(PlanEditor& editor, const PlanDatabase& db,
                           const std::string& calendarPath, const std::string& mappingPath,
                           const std::vector<GroupKey>& groups, std::time_t now) {
    ImportRun run;
    const CalendarReadResult read = readCalendarFile(calendarPath, kWindow);
    if (!read.ok()) {
        run.error = read.error;
        return run;
    }
    run.events = read.events;
    const auto mappingFile = readWholeFile(mappingPath);
    if (!mappingFile) {
        run.error = mappingPath + ": cannot be read";
        return run;
    }
    const CalendarMappingParse mapping = parseCalendarMapping(*mappingFile, mappingPath);
    if (!mapping.ok()) {
        run.error = mapping.error;
        return run;
    }
    std::vector<GroupRef> refs;
    for (const GroupKey& g : groups) refs.push_back({g.masterGroup, g.group});
    run.plan = planCalendarChanges(db, refs, run.events, mapping.mapping, now);
    if (!run.plan.applicable() || run.plan.changes.empty()) {
        run.applied = EditOutcome::refused(calendarChangesText(db, run.plan));
        return run;
    }
    const std::vector<CalendarChange>& changes = run.plan.changes;
    run.applied = editor.change(kImportDescription, groups, [&changes](PlanDatabase& d) {
        const CalendarApplyResult result = applyCalendarChanges(d, changes);
        return result.ok() ? EditOutcome::accepted(result.applied)
                           : EditOutcome::refused(result.refusal);
    });
    return run;
}

CalendarDay dayOf(CalendarDate date) {
    return {date.year, date.month, date.day};
}

std::time_t noonOf(CalendarDate date) {
    return fromLocal(date.year, date.month, date.day, kNoon);
}

}  // namespace quirn::test::school_year
