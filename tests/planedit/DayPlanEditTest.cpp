// Day plans, their steps, the default week and special week plans.
#include <gtest/gtest.h>

#include "tests/planedit/EditorFixture.h"

namespace quirn {
namespace {

using DayPlanEdits = test::EditorFixture;

std::vector<StepEntry> stepsOf(const DayPlan& plan) {
    std::vector<StepEntry> out;
    for (const Step& s : plan.steps()) out.push_back({s.hour, s.minute, s.command});
    return out;
}

TEST_F(DayPlanEdits, AddRenameRemoveDayPlan) {
    const std::string before = files();
    ASSERT_TRUE(editor.addDayPlan(oak, 9, "Late Start"));
    EXPECT_EQ(group().planName(9), "Late Start");
    EXPECT_FALSE(group().isImageCurrent());
    EXPECT_TRUE(group().changed());
    ASSERT_TRUE(editor.renameDayPlan(oak, 9, "Late Start 2h"));
    EXPECT_EQ(group().planName(9), "Late Start 2h");
    ASSERT_TRUE(editor.removeDayPlan(oak, 9));
    EXPECT_EQ(group().findDayPlan(9), nullptr);
    EXPECT_EQ(editor.undoText(), "Undo remove day plan");
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(group().planName(9), "Late Start 2h");
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(group().planName(9), "Late Start");
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(files(), before);
}

TEST_F(DayPlanEdits, DayPlanRefusals) {
    const std::string before = files();
    struct Case {
        int plan;
        const char* name;
        const char* says;
    };
    const Case cases[] = {
        {10, "Ten", "outside 2..9"},
        {0, "Zero", "outside 2..9"},
        {1, "Normal again", "always there"},
        {2, "Again", "already exists"},
        {4, "Plan 4", "a name of its own"},
        {4, "Early, Late", "comma"},
        {4, "", "empty"},
    };
    for (const Case& c : cases) {
        EditOutcome r = editor.addDayPlan(oak, c.plan, c.name);
        EXPECT_FALSE(r.done) << c.name;
        EXPECT_NE(r.refusal.find(c.says), std::string::npos) << c.name << ": " << r.refusal;
    }
    EXPECT_FALSE(editor.renameDayPlan(oak, 3, "Missing"));
    EXPECT_FALSE(editor.renameDayPlan(oak, 1, "Regular"));
    EXPECT_FALSE(editor.removeDayPlan(oak, 1));
    EXPECT_FALSE(editor.addDayPlan({1, 6}, 3, "No group"));
    EXPECT_EQ(files(), before);
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(DayPlanEdits, ADayPlanInUseIsNotRemovedAndTheRefusalNamesTheUses) {
    Group& g = group();
    g.setDefaultDay(2, 2);
    g.addAnnualPlan(AnnualPlan::on(1, 5, 2, 2027, 5, 3));
    EditOutcome r = editor.removeDayPlan(oak, 2);
    EXPECT_FALSE(r.done);
    EXPECT_NE(r.refusal.find("Early Release"), std::string::npos) << r.refusal;
    EXPECT_NE(r.refusal.find("Monday of the default week"), std::string::npos) << r.refusal;
    EXPECT_NE(r.refusal.find("the annual plan on 3 May 2027"), std::string::npos) << r.refusal;
    g.setDefaultDay(2, kPlanNormal);
    g.removeAnnualPlan(AnnualPlan::on(1, 5, 2, 2027, 5, 3));

    WeekPlan days = WeekPlan::standard();
    days.setDay(4, 2);
    ASSERT_TRUE(editor.setSpecialWeek(oak, 0, days));
    r = editor.removeDayPlan(oak, 2);
    EXPECT_FALSE(r.done);
    EXPECT_NE(r.refusal.find("Wednesday of the special week plan"), std::string::npos) << r.refusal;
    ASSERT_TRUE(editor.clearSpecialWeek(oak));
    EXPECT_TRUE(editor.removeDayPlan(oak, 2));
}

TEST_F(DayPlanEdits, StepsAreReplacedSortedAndUndone) {
    const std::vector<StepEntry> before = stepsOf(*group().findDayPlan(1));
    const std::vector<StepEntry> given{{15, 10, kCommandOff}, {7, 5, kCommandOn},
                                       {14, 40, kCommandOn},  {0, 0, kCommandOff},
                                       {23, 59, kCommandOff}, {7, 5, kCommandOff}};
    ASSERT_TRUE(editor.setDayPlanSteps(oak, 1, given));
    const std::vector<StepEntry> sorted{{0, 0, kCommandOff},   {7, 5, kCommandOn},
                                        {7, 5, kCommandOff},   {14, 40, kCommandOn},
                                        {15, 10, kCommandOff}, {23, 59, kCommandOff}};
    const DayPlan& plan = *group().findDayPlan(1);
    EXPECT_EQ(stepsOf(plan), sorted);
    for (size_t i = 0; i < plan.steps().size(); ++i) {
        EXPECT_EQ(plan.steps()[i].position, static_cast<int>(i));
        EXPECT_EQ(plan.steps()[i].group, 5);
        EXPECT_EQ(plan.steps()[i].plan, 1);
    }
    EXPECT_FALSE(group().isImageCurrent());
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(stepsOf(*group().findDayPlan(1)), before);
}

TEST_F(DayPlanEdits, StepLimits) {
    std::vector<StepEntry> sixteen;
    for (int i = 0; i < kMaxStepsPerDayPlan; ++i) sixteen.push_back({6 + i, 0, i % 2});
    EXPECT_TRUE(editor.setDayPlanSteps(oak, 2, sixteen));
    const std::string before = files();
    std::vector<StepEntry> seventeen = sixteen;
    seventeen.push_back({23, 30, kCommandOff});
    EditOutcome r = editor.setDayPlanSteps(oak, 2, seventeen);
    EXPECT_FALSE(r.done);
    EXPECT_NE(r.refusal.find("At most 16 steps"), std::string::npos) << r.refusal;

    struct Case {
        int plan;
        std::vector<StepEntry> steps;
        const char* says;
    };
    const Case cases[] = {
        {2, {{7, 0, kCommandOn}, {7, 0, kCommandOn}}, "ON at 07:00 is given twice"},
        {2, {{24, 0, kCommandOn}}, "00:00..23:59"},
        {2, {{-1, 0, kCommandOn}}, "00:00..23:59"},
        {2, {{7, 60, kCommandOn}}, "00:00..23:59"},
        {2, {{7, 0, 2}}, "ON or OFF"},
        {10, {{7, 0, kCommandOn}}, "only these day plans keep their steps"},
        {3, {{7, 0, kCommandOn}}, "Day plan 3 of Group 5 of master group 1 does not exist"},
    };
    for (const Case& c : cases) {
        EditOutcome rc = editor.setDayPlanSteps(oak, c.plan, c.steps);
        EXPECT_FALSE(rc.done) << c.says;
        EXPECT_NE(rc.refusal.find(c.says), std::string::npos) << c.says << ": " << rc.refusal;
    }
    EXPECT_EQ(files(), before);
}

TEST_F(DayPlanEdits, DefaultWeekTakesNoneDefinedPlansOrHoliday) {
    ASSERT_TRUE(editor.setDefaultDay(oak, 7, 2));
    EXPECT_EQ(group().defaultWeek().day(7), 2);
    ASSERT_TRUE(editor.setDefaultDay(oak, 2, kPlanHoliday));
    ASSERT_TRUE(editor.setDefaultDay(oak, 3, kPlanNone));
    EXPECT_EQ(editor.undoText(), "Undo change default week");
    const std::string before = files();
    EXPECT_FALSE(editor.setDefaultDay(oak, 4, 3).done);  // not defined
    EXPECT_FALSE(editor.setDefaultDay(oak, 4, 12).done);
    EXPECT_FALSE(editor.setDefaultDay(oak, 4, kPlanVacation).done);
    EXPECT_FALSE(editor.setDefaultDay(oak, 8, 1).done);
    EXPECT_FALSE(editor.setDefaultDay(oak, 0, 1).done);
    EXPECT_EQ(files(), before);
    ASSERT_TRUE(editor.undo());
    ASSERT_TRUE(editor.undo());
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(group().defaultWeek(), WeekPlan::standard());
}

TEST_F(DayPlanEdits, SpecialWeekEndsAtTheComingMondayAndUndoes) {
    WeekPlan days = WeekPlan::standard();
    days.setDay(5, kPlanHoliday);
    ASSERT_TRUE(editor.setSpecialWeek(oak, 2, days));
    const SpecialWeekPlan* s = db.specialWeekPlanOf(1, 5);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->location, 2);
    EXPECT_EQ(s->days, days);
    // Monday 7 December: the special week runs through Sunday 13th.
    EXPECT_EQ(db.specialWeekEnd(), fromLocal(2026, 12, 14, 0, 0, 15));
    EXPECT_TRUE(db.specialWeekInForce());
    EXPECT_TRUE(notices.back().specialWeeks);
    EXPECT_FALSE(editor.setSpecialWeek(oak, 7, days).done);  // no location 7
    days.setDay(1, 4);
    EXPECT_FALSE(editor.setSpecialWeek(oak, 0, days).done);  // plan 4 not defined
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(db.specialWeekPlanOf(1, 5), nullptr);
    EXPECT_FALSE(db.specialWeekInForce());
}

TEST_F(DayPlanEdits, SpecialWeekOfAWeekGoneByDoesNotComeBackWithTheNewEnd) {
    SpecialWeekPlan old;
    old.masterGroup = 1;
    old.group = 9;
    db.addSpecialWeekPlan(old);
    db.setSpecialWeekEnd(fromLocal(2026, 11, 30, 0, 0, 15));
    ASSERT_TRUE(editor.setSpecialWeek(oak, 0, WeekPlan::standard()));
    EXPECT_EQ(db.specialWeekPlanOf(1, 9), nullptr);
    ASSERT_NE(db.specialWeekPlanOf(1, 5), nullptr);
    ASSERT_TRUE(editor.undo());
    EXPECT_NE(db.specialWeekPlanOf(1, 9), nullptr);
    EXPECT_EQ(db.specialWeekEnd(), fromLocal(2026, 11, 30, 0, 0, 15));
}

}  // namespace
}  // namespace quirn
