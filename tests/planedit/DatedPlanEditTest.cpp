// Annual and vacation plans.
#include <gtest/gtest.h>

#include "tests/planedit/EditorFixture.h"

namespace quirn {
namespace {

using DatedPlanEdits = test::EditorFixture;

TEST_F(DatedPlanEdits, AnnualPlanIsSetReplacedClearedAndUndone) {
    const std::string before = files();
    ASSERT_TRUE(editor.setAnnualPlan(oak, {2027, 5, 3}, 2));
    ASSERT_TRUE(editor.setAnnualPlan(oak, {2027, 1, 18}, kPlanHoliday));
    ASSERT_EQ(group().annualPlans().size(), 2u);
    // Kept by date, as a load leaves them.
    EXPECT_EQ(group().annualPlans()[0].date, fromLocal(2027, 1, 18));
    ASSERT_TRUE(editor.setAnnualPlan(oak, {2027, 5, 3}, kPlanHoliday));
    ASSERT_EQ(group().annualPlans().size(), 2u);
    EXPECT_EQ(group().annualPlanOn(fromLocal(2027, 5, 3))->plan, kPlanHoliday);
    EXPECT_EQ(db.planForDate(1, 5, fromLocal(2027, 5, 3), now), kPlanHoliday);
    ASSERT_TRUE(editor.clearAnnualPlan(oak, {2027, 1, 18}));
    EXPECT_EQ(group().annualPlanOn(fromLocal(2027, 1, 18)), nullptr);
    EXPECT_EQ(editor.undoText(), "Undo clear annual plan");
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(editor.undo());
    EXPECT_EQ(files(), before);
}

TEST_F(DatedPlanEdits, AnnualPlanRefusals) {
    const std::string before = files();
    struct Case {
        CalendarDay day;
        int plan;
        const char* says;
    };
    const Case cases[] = {
        {{2027, 2, 29}, 1, "is no date"},
        {{2027, 13, 1}, 1, "is no date"},
        {{27, 5, 3}, 1, "outside 2000..2099"},
        {{2027, 5, 3}, 3, "Day plan 3 is not defined"},
        {{2027, 5, 3}, kPlanVacation, "cannot be chosen"},
        // Monday 7 December 2026: a save keeps plans from Sunday the 6th on.
        {{2026, 12, 5}, 1, "before this week's Sunday"},
    };
    for (const Case& c : cases) {
        EditOutcome r = editor.setAnnualPlan(oak, c.day, c.plan);
        EXPECT_FALSE(r.done) << c.says;
        EXPECT_NE(r.refusal.find(c.says), std::string::npos) << c.says << ": " << r.refusal;
    }
    EXPECT_TRUE(editor.setAnnualPlan(oak, {2026, 12, 6}, kPlanHoliday));
    ASSERT_TRUE(editor.undo());
    EXPECT_FALSE(editor.clearAnnualPlan(oak, {2027, 5, 4}).done);
    EXPECT_EQ(files(), before);
}

TEST_F(DatedPlanEdits, VacationIsAddedRemovedAndUndone) {
    const std::string before = files();
    ASSERT_TRUE(editor.addVacation(oak, {2026, 12, 21}, {2027, 1, 1}));
    ASSERT_EQ(group().vacationPlans().size(), 1u);
    EXPECT_EQ(db.planForDate(1, 5, fromLocal(2026, 12, 28), now), kPlanVacation);
    EXPECT_EQ(db.planForDate(1, 5, fromLocal(2027, 1, 1, 12, 0, 0), now), kPlanVacation);
    EXPECT_FALSE(editor.addVacation(oak, {2026, 12, 21}, {2027, 1, 1}).done);
    ASSERT_TRUE(editor.addVacation(oak, {2027, 4, 5}, {2027, 4, 5}));  // one day
    ASSERT_TRUE(editor.removeVacation(oak, {2026, 12, 21}, {2027, 1, 1}));
    EXPECT_EQ(group().vacationPlans().size(), 1u);
    EXPECT_EQ(editor.undoText(), "Undo remove vacation");
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(editor.undo());
    EXPECT_EQ(files(), before);
}

TEST_F(DatedPlanEdits, VacationRefusals) {
    const std::string before = files();
    EditOutcome r = editor.addVacation(oak, {2027, 4, 9}, {2027, 4, 5});
    EXPECT_FALSE(r.done);
    EXPECT_NE(r.refusal.find("ends (5 April 2027) before it starts (9 April 2027)"),
              std::string::npos)
        << r.refusal;
    r = editor.addVacation(oak, {2026, 11, 23}, {2026, 11, 27});
    EXPECT_NE(r.refusal.find("before this week's Sunday"), std::string::npos) << r.refusal;
    EXPECT_FALSE(editor.addVacation(oak, {2027, 4, 31}, {2027, 5, 2}).done);
    EXPECT_FALSE(editor.removeVacation(oak, {2027, 4, 5}, {2027, 4, 9}).done);
    EXPECT_FALSE(editor.addVacation({1, 6}, {2027, 4, 5}, {2027, 4, 9}).done);
    EXPECT_EQ(files(), before);
    EXPECT_FALSE(editor.canUndo());
}

}  // namespace
}  // namespace quirn
