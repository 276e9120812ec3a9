#include <gtest/gtest.h>

#include <algorithm>

#include "plans/PlanDatabase.h"
#include "plans/Step.h"
#include "platform/LocalTime.h"
#include "schoolyear/CalendarApply.h"
#include "schoolyear/CalendarChanges.h"
#include "schoolyear/CalendarReader.h"
#include "tests/support/DistrictCalendar.h"

namespace quirn {
namespace {

constexpr int kEarlyRelease = 3;
const CalendarWindow kSchoolYear{{2027, 8, 1}, {2028, 7, 31}};

void addSchoolGroup(PlanDatabase& db, int mg, int g, bool withEarlyRelease) {
    db.group(mg, g).setName("School " + std::to_string(g));
    db.addStep(Step::atTime(mg, g, kPlanNormal, 7, 15, kCommandOn));
    db.addStep(Step::atTime(mg, g, kPlanNormal, 8, 0, kCommandOff));
    if (withEarlyRelease) {
        db.addDayPlan(mg, g, kEarlyRelease, "Early Release");
        db.addStep(Step::atTime(mg, g, kEarlyRelease, 12, 30, kCommandOn));
        db.addStep(Step::atTime(mg, g, kEarlyRelease, 13, 15, kCommandOff));
    }
}

struct District : ::testing::Test {
    void SetUp() override {
        addSchoolGroup(db, 1, 4, true);
        addSchoolGroup(db, 1, 5, true);
        addSchoolGroup(db, 2, 1, false);
        // Last year's technician already marked Indigenous Peoples' Day as an early release.
        db.addAnnualPlan(AnnualPlan::on(1, 4, kEarlyRelease, 2027, 10, 11));
        db.addVacationPlan(VacationPlan::over(1, 4, 2027, 11, 22, 2027, 11, 24));
        db.group(1, 5).setDefaultDay(4, kEarlyRelease);  // 1:5 ran early release every Wednesday
        const auto read = readIcsText(test::districtCalendarIcs(), "district.ics", kSchoolYear);
        ASSERT_TRUE(read.ok()) << read.error;
        events = read.events;
        const auto parse = parseCalendarMapping(test::districtCalendarMapping(), "map.txt");
        ASSERT_TRUE(parse.ok()) << parse.error;
        mapping = parse.mapping;
    }
    std::vector<CalendarChange> changesOf(const CalendarChangePlan& plan, GroupRef g) {
        std::vector<CalendarChange> out;
        for (const auto& c : plan.changes) {
            if (c.group == g) out.push_back(c);
        }
        return out;
    }

    PlanDatabase db;
    std::vector<CalendarEvent> events;
    CalendarMapping mapping;
    const std::time_t now = CalendarDate{2027, 8, 15}.localMidnight() + 10 * 3600;
};

TEST_F(District, AYearForTwoGroupsBecomesOneChangePerDayAndOnePerBreak) {
    const auto plan = planCalendarChanges(db, {{1, 4}, {1, 5}}, events, mapping, now);
    ASSERT_TRUE(plan.applicable()) << calendarChangesText(db, plan);
    const auto g4 = changesOf(plan, {1, 4});
    EXPECT_EQ(g4.size(), static_cast<size_t>(test::kDistrictHolidays + test::kDistrictBreaks +
                                             test::kDistrictEarlyReleases));
    EXPECT_EQ(changesOf(plan, {1, 5}).size(), g4.size());
    // What was there before is what the database's plan-for-date gives, day by day.
    for (const auto& c : plan.changes) {
        EXPECT_EQ(c.previousPlan,
                  db.planForDate(c.group.masterGroup, c.group.group, c.first.localMidnight(), now))
            << c.first.iso();
    }

    const auto labor = std::find_if(g4.begin(), g4.end(), [](const auto& c) {
        return c.first == CalendarDate{2027, 9, 6};
    });
    ASSERT_NE(labor, g4.end());
    EXPECT_EQ(labor->kind, CalendarChangeKind::AnnualPlan);
    EXPECT_EQ(labor->plan, kPlanHoliday);
    EXPECT_EQ(labor->previousPlan, kPlanNormal);
    EXPECT_FALSE(labor->previousAnnualPlan.has_value());
    EXPECT_EQ(
        calendarChangeLine(db, *labor),
        "1:4 2027-09-06 Mon Holiday (was Normal) <- Labor Day (UID holiday-1@district.example)");

    const auto indigenous = std::find_if(g4.begin(), g4.end(), [](const auto& c) {
        return c.first == CalendarDate{2027, 10, 11};
    });
    ASSERT_NE(indigenous, g4.end());
    EXPECT_EQ(indigenous->previousAnnualPlan, kEarlyRelease);
    EXPECT_NE(calendarChangeLine(db, *indigenous).find("(replaces annual plan Early Release)"),
              std::string::npos);

    const auto winter = std::find_if(g4.begin(), g4.end(), [](const auto& c) {
        return c.kind == CalendarChangeKind::Vacation && c.first == CalendarDate{2027, 12, 20};
    });
    ASSERT_NE(winter, g4.end());
    EXPECT_EQ(winter->last, (CalendarDate{2027, 12, 31}));
    EXPECT_EQ(calendarChangeLine(db, *winter),
              "1:4 2027-12-20..2027-12-31 Vacation (new vacation) <- Winter Break "
              "(UID break-17@district.example)");
}

TEST_F(District, ApplyingGivesEachDayItsPlanAndLeavesOtherGroupsAlone) {
    const auto plan = planCalendarChanges(db, {{1, 4}, {1, 5}}, events, mapping, now);
    ASSERT_TRUE(plan.applicable());
    db.group(1, 4).setChanged(false);
    const auto result = applyCalendarChanges(db, plan.changes);
    ASSERT_TRUE(result.ok()) << result.refusal;
    EXPECT_EQ(result.applied, static_cast<int>(plan.changes.size()));
    EXPECT_TRUE(db.findGroup(1, 4)->changed());
    auto planOn = [&](int g, CalendarDate d) {
        return db.planForDate(1, g, d.localMidnight(), now);
    };
    for (int g : {4, 5}) {
        EXPECT_EQ(planOn(g, {2027, 9, 6}), kPlanHoliday);
        EXPECT_EQ(planOn(g, {2027, 9, 7}), kPlanNormal);
        EXPECT_EQ(planOn(g, {2027, 9, 8}), kEarlyRelease);
        EXPECT_EQ(planOn(g, {2027, 12, 22}), kPlanVacation);  // an excluded Wednesday in the break
        EXPECT_EQ(planOn(g, {2027, 12, 31}), kPlanVacation);
        EXPECT_EQ(planOn(g, {2028, 1, 3}), kPlanNormal);
        EXPECT_EQ(planOn(g, {2028, 6, 7}), kEarlyRelease);
        // After UNTIL each group's week decides again (1:5 ran early release on Wednesdays).
        EXPECT_EQ(planOn(g, {2028, 6, 14}), g == 5 ? kEarlyRelease : kPlanNormal);
        EXPECT_EQ(db.findGroup(1, g)->vacationPlans().size(), g == 4 ? 4u : 3u);
    }
    EXPECT_EQ(planOn(10, {2027, 9, 6}), kPlanNormal);
    EXPECT_TRUE(db.findGroup(2, 1)->annualPlans().empty());

    // Applying the same year again replaces, it does not pile up.
    const size_t annual = db.findGroup(1, 4)->annualPlans().size();
    const auto again = planCalendarChanges(db, {{1, 4}}, events, mapping, now);
    ASSERT_TRUE(applyCalendarChanges(db, again.changes).ok());
    EXPECT_EQ(db.findGroup(1, 4)->annualPlans().size(), annual);
    EXPECT_EQ(db.findGroup(1, 4)->vacationPlans().size(), 4u);
    EXPECT_TRUE(std::any_of(again.changes.begin(), again.changes.end(),
                            [](const auto& c) { return c.replacesVacation; }));
}

TEST_F(District, UnmappedEventsAreListedAndNothingIsGuessed) {
    CalendarMapping partial;
    partial.set("Holiday", {CalendarActionKind::Holiday, 0});
    const auto plan = planCalendarChanges(db, {{1, 4}}, events, partial, now);
    EXPECT_FALSE(plan.applicable());
    std::vector<std::string> summaries;
    for (const auto& e : plan.unmapped) summaries.push_back(e.summary);
    EXPECT_EQ(summaries,
              (std::vector<std::string>{"First Day of School", "Early Release",
                                        "Back to School Night", "Thanksgiving Break",
                                        "Winter Break", "Spring Break", "Last Day of School"}));
    const std::string text = calendarChangesText(db, plan);
    EXPECT_NE(text.find("unmapped: Winter Break (UID break-17@district.example) 2027-12-20 [Break] "
                        "suggested: Vacation"),
              std::string::npos)
        << text;
    // The mapped holidays are planned, but the plan as a whole cannot be applied.
    EXPECT_EQ(plan.changes.size(), static_cast<size_t>(test::kDistrictHolidays));
}

// Runs of days whose plan, as the image carries it (holiday and vacation as plan 0), differs
// from the weekday's default, counted day by day from the database's own plan-for-date.
size_t datedRunsAhead(const PlanDatabase& db, GroupRef g, std::time_t now, int days,
                      std::vector<CalendarDate>* starts) {
    size_t runs = 0;
    int previous = -1;
    const LocalDateTime today = toLocal(now);
    for (int i = 0; i < days; ++i) {
        const std::time_t noon = fromLocal(today.year, today.month, today.day + i, 12, 0, 0);
        const LocalDateTime day = toLocal(noon);
        int plan = db.planForDate(g.masterGroup, g.group, noon, now);
        if (plan > 10) plan = 0;
        const int usual = db.defaultDayPlan(g.masterGroup, g.group, day.weekday);
        const int run = plan == usual ? -1 : plan;
        if (run != -1 && run != previous) {
            ++runs;
            starts->push_back({day.year, day.month, day.day});
        }
        previous = run;
    }
    return runs;
}

TEST_F(District, AGroupOfImageSwitchesIsToldWhenTheYearNeedsMoreDatedEntriesThanTheyCarry) {
    Location mx40(1, 4, 1);
    mx40.model = static_cast<int32_t>(TimeSwitchModel::MX40);
    db.addLocation(mx40);
    db.addLocation(Location(1, 5, 1));  // a QN510 keeps weekly tables: no such limit
    const auto plan = planCalendarChanges(db, {{1, 4}, {1, 5}}, events, mapping, now);
    ASSERT_TRUE(plan.applicable()) << calendarChangesText(db, plan);
    ASSERT_EQ(plan.notes.size(), 1u) << calendarChangesText(db, plan);

    // The count and the first day left out are what the database gives once applied.
    ASSERT_TRUE(applyCalendarChanges(db, plan.changes).ok());
    std::vector<CalendarDate> starts;
    const size_t runs = datedRunsAhead(db, {1, 4}, now, 446, &starts);
    ASSERT_GT(runs, 36u);
    EXPECT_EQ(plan.notes.front(),
              "1:4 School 4: its MX40/LR40 switches carry 36 dated entries and the coming days "
              "need " +
                  std::to_string(runs) + ": written now, they run their week plan from " +
                  starts[36].iso() + " on; write the group again before then.");
    EXPECT_NE(calendarChangesText(db, plan).find("note: 1:4 School 4:"), std::string::npos);

    // Half a year of the same calendar fits: no note.
    std::vector<CalendarEvent> autumn;
    for (const CalendarEvent& e : events)
        if (e.first < CalendarDate{2027, 12, 1}) autumn.push_back(e);
    PlanDatabase fresh;
    addSchoolGroup(fresh, 1, 4, true);
    fresh.addLocation(mx40);
    EXPECT_TRUE(planCalendarChanges(fresh, {{1, 4}}, autumn, mapping, now).notes.empty());
}

TEST_F(District, PlanChecksRefuseWhatTheGroupCannotRun) {
    const auto plan = planCalendarChanges(db, {{1, 4}, {2, 1}, {3, 9}}, events, mapping, now);
    EXPECT_FALSE(plan.applicable());
    ASSERT_EQ(plan.refusals.size(), static_cast<size_t>(test::kDistrictEarlyReleases + 1));
    EXPECT_EQ(plan.refusals.front().rfind("group 2:1 has no day plan 3 for Early Release (UID "
                                          "early-release@district.example)",
                                          0),
              0u)
        << plan.refusals.front();
    EXPECT_EQ(plan.refusals.back(), "group 3:9 does not exist");

    // Checked again at apply time: a day plan deleted since the preview refuses the whole.
    const auto fine = planCalendarChanges(db, {{1, 5}}, events, mapping, now);
    ASSERT_TRUE(fine.applicable());
    db.deleteDayPlan(1, 5, kEarlyRelease);
    const auto refused = applyCalendarChanges(db, fine.changes);
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.applied, 0);
    EXPECT_EQ(refused.refusal.rfind("group 1:5 has no day plan 3 (for 2027-09-08)", 0), 0u)
        << refused.refusal;
    EXPECT_TRUE(db.findGroup(1, 5)->annualPlans().empty());
    EXPECT_TRUE(db.findGroup(1, 5)->vacationPlans().empty());
}

TEST(CalendarApply, OutOfRangeChangesAreRefused) {
    PlanDatabase db;
    addSchoolGroup(db, 1, 1, false);
    CalendarChange change;
    change.group = {1, 1};
    change.first = change.last = CalendarDate{2027, 9, 6};
    change.plan = 42;
    change.sourceEvent = "x (line 1)";
    EXPECT_EQ(calendarChangesRefusal(db, {change}),
              "group 1:1 day plan 42 on 2027-09-06 is neither a holiday nor a day plan 1..19 <- x "
              "(line 1)");
    change.plan = kPlanHoliday;
    change.first = change.last = CalendarDate{1999, 12, 31};
    EXPECT_NE(calendarChangesRefusal(db, {change}).find("outside the years 2000..2099"),
              std::string::npos);
    change.first = CalendarDate{2027, 9, 6};
    change.last = CalendarDate{2027, 9, 7};
    EXPECT_NE(calendarChangesRefusal(db, {change}).find("annual plan over more than one day"),
              std::string::npos);
    change.last = change.first;
    EXPECT_EQ(calendarChangesRefusal(db, {change}), "");
}

TEST(CalendarGroups, ListsOfMasterGroupAndGroup) {
    std::string error;
    const auto groups = parseGroupList(" 1:4, 1:5 ,10:99", &error);
    ASSERT_TRUE(groups) << error;
    EXPECT_EQ(*groups, (std::vector<GroupRef>{{1, 4}, {1, 5}, {10, 99}}));
    for (const char* bad : {"", "1:4,", "1-4", "0:4", "11:1", "1:100", "1:4,1:4", "a:b"}) {
        EXPECT_FALSE(parseGroupList(bad, &error)) << bad;
        EXPECT_FALSE(error.empty());
    }
}

TEST(CalendarDate, DayArithmeticAndWeekdays) {
    EXPECT_EQ((CalendarDate{1970, 1, 1}).dayNumber(), 0);
    EXPECT_EQ((CalendarDate{2028, 2, 28}).plusDays(1), (CalendarDate{2028, 2, 29}));
    EXPECT_EQ((CalendarDate{2027, 12, 31}).plusDays(1), (CalendarDate{2028, 1, 1}));
    EXPECT_EQ((CalendarDate{2027, 9, 6}).weekday(), 2);  // Monday
    EXPECT_EQ((CalendarDate{1969, 12, 31}).weekday(), 4);
    EXPECT_EQ(parseIsoDate("2028-02-29"), (CalendarDate{2028, 2, 29}));
    EXPECT_FALSE(parseIsoDate("2027-02-29"));
    EXPECT_FALSE(parseIsoDate("2027-9-06"));
}

}  // namespace
}  // namespace quirn
