#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "plans/PlanDatabase.h"
#include "plans/PlanTypes.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "tests/schoolyear/endtoend/SchoolYearCalendar.h"
#include "tests/schoolyear/endtoend/SchoolYearImport.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {
namespace {

using namespace school_year;

// One school of each model the station programs, each a group of its own.
struct SchoolGroup {
    GroupKey key;
    const char* name;
    TimeSwitchModel model;
};
constexpr SchoolGroup kSchools[] = {
    {{1, 1}, "Alder Elementary", TimeSwitchModel::QN510},
    {{1, 2}, "Birch Middle", TimeSwitchModel::MX40},
    {{1, 3}, "Cedar High", TimeSwitchModel::LR40},
    {{1, 4}, "Dogwood Academy", TimeSwitchModel::Strider},
};

// The plan each checked day runs once the year is imported, and before (the week plan).
struct DayExpectation {
    CalendarDate date;
    int plan;
};
const DayExpectation kImportedDays[] = {
    {kFirstDay, kNormalPlan},
    {kFirstEarlyRelease, kEarlyReleasePlan},
    {kLaborDay, kPlanHoliday},
    {kEarlyRelease, kEarlyReleasePlan},
    {kExcludedWednesday, kNormalPlan},
    {kLastEarlyRelease, kEarlyReleasePlan},
    {kAfterUntil, kNormalPlan},
    {kThanksgivingFriday.plusDays(-1), kPlanHoliday},
    {kThanksgivingFriday, kPlanHoliday},
    {kWinterBreakFirst, kPlanVacation},
    {kWinterBreakWeekday, kPlanVacation},
    {kWinterBreakLast, kPlanVacation},
    {kBackFromWinter, kNormalPlan},
    {kMlkDay, kPlanHoliday},
    {kLastDay, kEarlyReleasePlan},
    {kDayAfterLastDay, kNormalPlan},
};

// A station's plan records in a temporary working folder, the Plans window's editor over them,
// the four schools made through the editor, and the district's calendar and the technician's
// mapping written as files. The clock stands at Monday 16 March 2026, 09:15.
class SchoolYearImportTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const SchoolGroup& s : kSchools) {
            const EditOutcome made = addSchoolGroup(station.editor, s.key, s.name, s.model);
            ASSERT_TRUE(made) << made.refusal;
            groups.push_back(s.key);
        }
        ASSERT_TRUE(writeFile(calendarPath, districtIcs()));
        ASSERT_TRUE(writeFile(mappingPath, mappingText()));
    }

    int planOn(GroupKey g, CalendarDate date) const {
        return db.planForDate(g.masterGroup, g.group, noonOf(date), clock.now());
    }

    TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    ManualClock clock{fromLocal(2026, 3, 16, 9, 15, 0)};
    PlanDatabase db;
    StationEditor station{db, clock, working};
    std::vector<GroupKey> groups;
    const std::string calendarPath = folder.file("district-2026-27.ics");
    const std::string mappingPath = folder.file("district.map");
};

TEST_F(SchoolYearImportTest, EveryGroupRunsTheImportedYearAndOneUndoTakesAllOfItBack) {
    const ImportRun run =
        importSchoolYear(station.editor, db, calendarPath, mappingPath, groups, clock.now());
    ASSERT_EQ(run.error, "");
    EXPECT_EQ(static_cast<int>(run.events.size()), kEventCount);
    EXPECT_TRUE(run.plan.unmapped.empty());
    EXPECT_TRUE(run.plan.refusals.empty());
    ASSERT_TRUE(run.applied) << run.applied.refusal;
    EXPECT_EQ(run.applied.number, static_cast<int>(run.plan.changes.size()));

    for (const SchoolGroup& s : kSchools) {
        SCOPED_TRACE(s.name);
        const Group* g = db.findGroup(s.key.masterGroup, s.key.group);
        ASSERT_NE(g, nullptr);
        EXPECT_EQ(static_cast<int>(g->annualPlans().size()), kAnnualPlanCount);
        EXPECT_EQ(static_cast<int>(g->vacationPlans().size()), kVacationCount);
        EXPECT_FALSE(g->isImageCurrent()) << "the switches would keep the old year";
        for (const DayExpectation& d : kImportedDays)
            EXPECT_EQ(planOn(s.key, d.date), d.plan) << d.date.iso();
    }

    // The whole import for every group is one step of the undo history.
    EXPECT_EQ(station.editor.undoText(), "Undo import school calendar");
    ASSERT_TRUE(station.editor.undo());
    EXPECT_NE(station.editor.undoText(), "Undo import school calendar");
    for (const SchoolGroup& s : kSchools) {
        SCOPED_TRACE(s.name);
        const Group* g = db.findGroup(s.key.masterGroup, s.key.group);
        ASSERT_NE(g, nullptr);
        EXPECT_TRUE(g->annualPlans().empty());
        EXPECT_TRUE(g->vacationPlans().empty());
        for (const DayExpectation& d : kImportedDays) {
            const int weekday = d.date.weekday();
            const bool schoolDay = weekday != kSunday && weekday != kSaturday;
            EXPECT_EQ(planOn(s.key, d.date), schoolDay ? kNormalPlan : kPlanNone) << d.date.iso();
        }
    }
}

// Without a rule for the early release the import lists it and applies nothing to any group.
TEST_F(SchoolYearImportTest, AnEventNoRuleMapsStopsTheWholeImport) {
    ASSERT_TRUE(writeFile(mappingPath,
                          "No School = Holiday\nWinter Break = Vacation\n"
                          "Spring Break = Vacation\nFirst Day of School = Ignore\n"
                          "Last Day of School = Day plan 2\n"));
    const ImportRun run =
        importSchoolYear(station.editor, db, calendarPath, mappingPath, groups, clock.now());
    ASSERT_EQ(run.error, "");
    ASSERT_EQ(run.plan.unmapped.size(), 1u);
    EXPECT_EQ(run.plan.unmapped.front().summary, "Early Release");
    EXPECT_FALSE(run.applied);
    for (const SchoolGroup& s : kSchools) {
        const Group* g = db.findGroup(s.key.masterGroup, s.key.group);
        ASSERT_NE(g, nullptr);
        EXPECT_TRUE(g->annualPlans().empty()) << s.name;
        EXPECT_TRUE(g->vacationPlans().empty()) << s.name;
    }
    EXPECT_NE(station.editor.undoText(), "Undo import school calendar");
}

}  // namespace
}  // namespace quirn::test
