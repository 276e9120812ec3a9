#include <gtest/gtest.h>

#include "plancalendar/CalendarMark.h"
#include "plancalendar/DayEdit.h"
#include "plans/Group.h"
#include "platform/LocalTime.h"

namespace quirn::plancalendar {
namespace {

using Kind = DayEdit::Kind;

const CalendarPick kPlan3{CalendarPick::Kind::DayPlan, 3};
const CalendarPick kHoliday{CalendarPick::Kind::Holiday, kPlanHoliday};
const CalendarPick kClear{CalendarPick::Kind::Clear, 0};

DayRange day(int y, int m, int d) {
    return {fromLocal(y, m, d), fromLocal(y, m, d)};
}

TEST(PressLiftTrackerTest, PressAndLiftOnOneDayIsAClick) {
    PressLiftTracker tracker;
    tracker.focus(2027, 3, 14);
    EXPECT_EQ(tracker.lift(2027, 3, 14), day(2027, 3, 14));
    EXPECT_FALSE(tracker.pressed());
}

TEST(PressLiftTrackerTest, LiftOnAnotherDayTakesInTheDaysBetweenEitherWay) {
    PressLiftTracker tracker;
    tracker.focus(2027, 3, 14);
    EXPECT_EQ(tracker.lift(2027, 4, 2), (DayRange{fromLocal(2027, 3, 14), fromLocal(2027, 4, 2)}));
    tracker.focus(2027, 4, 2);
    EXPECT_EQ(tracker.lift(2027, 3, 14), (DayRange{fromLocal(2027, 3, 14), fromLocal(2027, 4, 2)}));
}

TEST(PressLiftTrackerTest, LiftWithoutPressOrOnAnImpossibleDateGivesNothing) {
    PressLiftTracker tracker;
    EXPECT_FALSE(tracker.lift(2027, 3, 14));
    tracker.focus(2027, 3, 14);
    EXPECT_FALSE(tracker.lift(2027, 2, 30));
    EXPECT_FALSE(tracker.lift(2027, 3, 14)) << "the press was used up";
    tracker.focus(2027, 13, 1);
    EXPECT_FALSE(tracker.pressed());
    tracker.focus(2027, 3, 14);
    tracker.reset();
    EXPECT_FALSE(tracker.lift(2027, 3, 14));
}

TEST(DayEditTest, AClickGivesTheDayThePickedPlan) {
    Group group(1, 4);
    EXPECT_EQ(dayEditFor(group, day(2027, 3, 14), kPlan3),
              (DayEdit{Kind::SetDayPlan, fromLocal(2027, 3, 14), fromLocal(2027, 3, 14), 3}));
    EXPECT_EQ(dayEditFor(group, day(2027, 3, 14), kHoliday)->plan, kPlanHoliday);
}

TEST(DayEditTest, TheSamePlanAgainOrClearingAnEmptyDayIsNoEdit) {
    Group group(1, 4);
    group.addAnnualPlan(AnnualPlan::on(1, 4, 3, 2027, 3, 14));
    EXPECT_FALSE(dayEditFor(group, day(2027, 3, 14), kPlan3));
    EXPECT_EQ(dayEditFor(group, day(2027, 3, 14), kHoliday)->kind, Kind::SetDayPlan);
    EXPECT_FALSE(dayEditFor(group, day(2027, 3, 15), kClear));
    EXPECT_EQ(dayEditFor(group, day(2027, 3, 14), kClear),
              (DayEdit{Kind::ClearDay, fromLocal(2027, 3, 14), fromLocal(2027, 3, 14), 3}));
}

TEST(DayEditTest, ARangeIsAVacationWhateverIsPicked) {
    Group group(1, 4);
    const DayRange range{fromLocal(2027, 3, 14), fromLocal(2027, 3, 20)};
    for (const CalendarPick& pick : {kPlan3, kHoliday, kClear})
        EXPECT_EQ(dayEditFor(group, range, pick),
                  (DayEdit{Kind::AddVacation, range.first, range.last, kPlanVacation}));
    group.addVacationPlan(VacationPlan::over(1, 4, 2027, 3, 14, 2027, 3, 20));
    EXPECT_FALSE(dayEditFor(group, range, kPlan3)) << "that vacation exists";
}

TEST(DayEditTest, TextsNameTheDaysAndThePlan) {
    Group group(1, 4);
    group.setDayPlanName(3, "Early release");
    EXPECT_EQ(dayEditText(group, *dayEditFor(group, day(2027, 3, 14), kPlan3)),
              "2027-03-14: Day Plan 3 - Early release");
    EXPECT_EQ(dayEditText(group, *dayEditFor(group, day(2027, 3, 14), kHoliday)),
              "2027-03-14: Holiday");
    EXPECT_EQ(dayEditText(group, {Kind::AddVacation, fromLocal(2027, 12, 20), fromLocal(2028, 1, 2),
                                  kPlanVacation}),
              "2027-12-20 to 2028-01-02: vacation");
}

TEST(CalendarPickTest, TheGroupsDayPlansThenHolidayThenClear) {
    Group group(1, 4);
    group.dayPlan(1);
    group.dayPlan(3);
    EXPECT_EQ(
        picksOf(group),
        (std::vector<CalendarPick>{
            {CalendarPick::Kind::DayPlan, 1}, {CalendarPick::Kind::DayPlan, 3}, kHoliday, kClear}));
    EXPECT_EQ(pickText(group, kPlan3), "Day Plan 3 - Plan 3");
    EXPECT_EQ(activePlanCalls(kPlan3), (std::vector<std::int16_t>{kHighlightAllOff, 3}));
    EXPECT_EQ(activePlanCalls(kHoliday), (std::vector<std::int16_t>{kHighlightAllOff, 100}));
    EXPECT_EQ(activePlanCalls(kClear), (std::vector<std::int16_t>{kHighlightAll}));
}

}  // namespace
}  // namespace quirn::plancalendar
