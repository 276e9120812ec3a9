#include <gtest/gtest.h>

#include "plans/PlanDatabase.h"
#include "plans/Step.h"
#include "platform/TextLines.h"
#include "schoolyear/CalendarExport.h"
#include "schoolyear/CalendarReader.h"

namespace quirn {
namespace {

constexpr int kEarlyRelease = 3;
constexpr int kLateStart = 4;
// Longer than an iCalendar line, with characters of two and three bytes where lines fold.
const std::string kLongName =
    "Late start for the Escuela Primaria Jos\xC3\xA9 Mart\xC3\xAD \xE2\x80\x94 "
    "buses and crossing guards one hour later";

struct ExportedGroup : ::testing::Test {
    void SetUp() override {
        db.group(1, 4).setName("Lincoln Elementary");
        db.addStep(Step::atTime(1, 4, kPlanNormal, 14, 45, kCommandOn));
        db.addStep(Step::atTime(1, 4, kPlanNormal, 7, 15, kCommandOn));
        db.addStep(Step::atTime(1, 4, kPlanNormal, 8, 0, kCommandOff));
        db.addStep(Step::atTime(1, 4, kPlanNormal, 15, 30, kCommandOff));
        db.addDayPlan(1, 4, kEarlyRelease, "Early Release, buses");
        db.addDayPlan(1, 4, kLateStart, kLongName);
        db.addStep(Step::atTime(1, 4, kEarlyRelease, 12, 30, kCommandOn));
        db.addStep(Step::atTime(1, 4, kEarlyRelease, 13, 15, kCommandOff));
        db.addAnnualPlan(AnnualPlan::on(1, 4, kPlanHoliday, 2027, 9, 6));
        db.addAnnualPlan(AnnualPlan::on(1, 4, kEarlyRelease, 2027, 9, 8));
        db.addVacationPlan(VacationPlan::over(1, 4, 2027, 9, 9, 2027, 9, 10));
        db.addStep(Step::atTime(1, 4, kLateStart, 9, 30, kCommandOn));
        db.addAnnualPlan(AnnualPlan::on(1, 4, kLateStart, 2027, 9, 13));
    }
    PlanDatabase db;
    const std::time_t now = CalendarDate{2027, 8, 15}.localMidnight() + 10 * 3600;
};

TEST_F(ExportedGroup, CsvGivesEachDayThePlanTheSwitchRunsAndItsTimes) {
    const auto days = groupSchedule(db, {1, 4}, {2027, 9, 5}, {2027, 9, 11}, now);
    ASSERT_EQ(days.size(), 7u);
    EXPECT_EQ(scheduleCsv(days),
              "Date,Weekday,Plan,Name,Times\r\n"
              "2027-09-05,Sunday,0,None,\r\n"
              "2027-09-06,Monday,100,Holiday,\r\n"
              "2027-09-07,Tuesday,1,Normal,ON 07:15 OFF 08:00 ON 14:45 OFF 15:30\r\n"
              "2027-09-08,Wednesday,3,Early Release  buses,ON 12:30 OFF 13:15\r\n"
              "2027-09-09,Thursday,101,Vacation Plan,\r\n"
              "2027-09-10,Friday,101,Vacation Plan,\r\n"
              "2027-09-11,Saturday,0,None,\r\n");
}

TEST_F(ExportedGroup, IcsReadsBackAsOneEventPerDayWithTheSameNames) {
    const auto days = groupSchedule(db, {1, 4}, {2027, 9, 1}, {2028, 6, 30}, now);
    const std::string ics = scheduleIcs(days, {1, 4}, "Lincoln Elementary", now);
    for (std::string_view line : splitLines(ics)) EXPECT_LE(line.size(), 75u) << line;
    EXPECT_NE(ics.find("DTSTAMP:20270815T140000Z\r\n"), std::string::npos);  // 10:00 EDT
    const auto back = readIcsText(ics, "export.ics", {{2027, 9, 1}, {2028, 6, 30}});
    ASSERT_TRUE(back.ok()) << back.error;
    ASSERT_EQ(back.events.size(), days.size());
    for (size_t i = 0; i < days.size(); ++i) {
        EXPECT_EQ(back.events[i].first, days[i].date);
        EXPECT_EQ(back.events[i].last, days[i].date);
        EXPECT_EQ(back.events[i].summary, days[i].planName);
    }
    EXPECT_EQ(back.events[7].summary, "Early Release, buses");  // the comma was escaped
    EXPECT_EQ(back.events[12].summary, kLongName);              // folded and unfolded whole
    EXPECT_NE(ics.find("\r\n "), std::string::npos);
    EXPECT_NE(ics.find("DESCRIPTION:Day plan 3: ON 12:30 OFF 13:15\r\n"), std::string::npos);
}

TEST_F(ExportedGroup, NoGroupOrBackwardsRangeGivesNoDays) {
    EXPECT_TRUE(groupSchedule(db, {1, 5}, {2027, 9, 1}, {2027, 9, 30}, now).empty());
    EXPECT_TRUE(groupSchedule(db, {1, 4}, {2027, 9, 30}, {2027, 9, 1}, now).empty());
}

}  // namespace
}  // namespace quirn
