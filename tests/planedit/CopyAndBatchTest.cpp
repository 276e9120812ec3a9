// Copying a group's programming to other groups, and batches, each one undoable step.
#include <gtest/gtest.h>

#include "tests/planedit/EditorFixture.h"

namespace quirn {
namespace {

class CopyAndBatch : public test::EditorFixture {
  protected:
    void SetUp() override {
        EditorFixture::SetUp();
        Group& oakGroup = group();
        oakGroup.setDefaultDay(4, 2);
        oakGroup.addAnnualPlan(AnnualPlan::on(1, 5, kPlanHoliday, 2027, 1, 18));
        oakGroup.addVacationPlan(VacationPlan::over(1, 5, 2026, 12, 21, 2027, 1, 1));
        for (int g : {6, 7}) {
            Group& other = db.group(1, g);
            other.setName("Other " + std::to_string(g));
            other.setDayPlanName(3, "Their Own");
            other.addStep(Step::atTime(1, g, 3, 9, 0, kCommandOn));
            other.addAnnualPlan(AnnualPlan::on(1, g, 3, 2027, 3, 1));
            db.addLocation(Location(1, g, 1));
        }
    }
};

TEST_F(CopyAndBatch, CopyReplacesTheTargetsProgrammingButNotTheirNamesOrLocations) {
    const std::string before = files();
    const GroupProgramming source = group().programming();
    ASSERT_TRUE(editor.copyProgramming(oak, {{1, 6}, {1, 7}}));
    for (int g : {6, 7}) {
        const Group& target = *db.findGroup(1, g);
        EXPECT_EQ(target.name(), "Other " + std::to_string(g));
        EXPECT_EQ(target.locations().size(), 1u);
        EXPECT_EQ(target.findDayPlan(3), nullptr);
        ASSERT_NE(target.findDayPlan(2), nullptr);
        EXPECT_EQ(target.findDayPlan(2)->name(), "Early Release");
        ASSERT_EQ(target.findDayPlan(2)->steps().size(), 1u);
        EXPECT_EQ(target.findDayPlan(2)->steps()[0].group, g);
        EXPECT_EQ(target.defaultWeek(), source.defaultWeek);
        ASSERT_EQ(target.annualPlans().size(), 1u);
        EXPECT_EQ(target.annualPlans()[0].group, g);
        EXPECT_EQ(target.annualPlans()[0].plan, kPlanHoliday);
        ASSERT_EQ(target.vacationPlans().size(), 1u);
        EXPECT_EQ(target.vacationPlans()[0].group, g);
        EXPECT_FALSE(target.isImageCurrent());
        EXPECT_EQ(db.planForDate(1, g, fromLocal(2026, 12, 28), now), kPlanVacation);
    }
    EXPECT_EQ(notices.back().groups, (std::vector<GroupKey>{{1, 6}, {1, 7}}));
    // One step undoes the whole copy.
    EXPECT_EQ(editor.undoText(), "Undo copy programming");
    ASSERT_TRUE(editor.undo());
    EXPECT_FALSE(editor.canUndo());
    EXPECT_EQ(files(), before);
}

TEST_F(CopyAndBatch, CopyRefusals) {
    const std::string before = files();
    EXPECT_NE(editor.copyProgramming(oak, {}).refusal.find("No group"), std::string::npos);
    EXPECT_NE(editor.copyProgramming(oak, {{1, 6}, oak}).refusal.find("copied from"),
              std::string::npos);
    EXPECT_NE(editor.copyProgramming(oak, {{1, 6}, {1, 8}}).refusal.find("does not exist"),
              std::string::npos);
    EXPECT_NE(editor.copyProgramming(oak, {{1, 6}, {1, 6}}).refusal.find("twice"),
              std::string::npos);
    EXPECT_FALSE(editor.copyProgramming({1, 8}, {{1, 6}}).done);
    EXPECT_EQ(files(), before);
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(CopyAndBatch, ABatchIsOneUndoableStepEvenWhenItMakesAGroup) {
    const std::string before = files();
    EditOutcome r = editor.change("import school calendar", {{1, 6}, {1, 9}}, [](PlanDatabase& d) {
        d.addAnnualPlan(AnnualPlan::on(1, 6, kPlanHoliday, 2027, 2, 15));
        d.addVacationPlan(VacationPlan::over(1, 6, 2027, 4, 5, 2027, 4, 9));
        d.addAnnualPlan(AnnualPlan::on(1, 9, kPlanHoliday, 2027, 2, 15));
        return EditOutcome::accepted(3);
    });
    ASSERT_TRUE(r.done) << r.refusal;
    EXPECT_EQ(r.number, 3);
    EXPECT_EQ(db.planForDate(1, 6, fromLocal(2027, 2, 15), now), kPlanHoliday);
    ASSERT_NE(db.findGroup(1, 9), nullptr);
    EXPECT_FALSE(db.findGroup(1, 6)->isImageCurrent());
    EXPECT_TRUE(notices.back().groupsAddedOrRemoved);
    EXPECT_EQ(editor.undoText(), "Undo import school calendar");
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(db.findGroup(1, 9), nullptr);
    EXPECT_EQ(files(), before);
}

TEST_F(CopyAndBatch, ARefusedOrRuleBreakingBatchLeavesEverythingAsItWas) {
    const std::string before = files();
    EditOutcome r = editor.change("import", {{1, 6}}, [](PlanDatabase& d) {
        d.addAnnualPlan(AnnualPlan::on(1, 6, kPlanHoliday, 2027, 2, 15));
        return EditOutcome::refused("The calendar names an unknown group.");
    });
    EXPECT_FALSE(r.done);
    EXPECT_EQ(r.refusal, "The calendar names an unknown group.");
    EXPECT_EQ(files(), before);

    r = editor.change("import", {{1, 6}}, [](PlanDatabase& d) {
        d.addAnnualPlan(AnnualPlan::on(1, 6, kPlanVacationEnd, 2027, 2, 15));
        return EditOutcome::accepted();
    });
    EXPECT_FALSE(r.done);
    EXPECT_NE(r.refusal.find("names no day plan"), std::string::npos) << r.refusal;
    EXPECT_EQ(files(), before);

    r = editor.change("import", {{1, 6}}, [](PlanDatabase& d) {
        VacationPlan backwards = VacationPlan::over(1, 6, 2027, 4, 9, 2027, 4, 5);
        d.addVacationPlan(backwards);
        return EditOutcome::accepted();
    });
    EXPECT_NE(r.refusal.find("ends before it starts"), std::string::npos) << r.refusal;
    EXPECT_FALSE(
        editor.change("import", {{11, 6}}, [](PlanDatabase&) { return EditOutcome::accepted(); })
            .done);
    EXPECT_EQ(files(), before);
    EXPECT_FALSE(editor.canUndo());
    EXPECT_TRUE(notices.empty());
}

TEST_F(CopyAndBatch, UndoHistoryKeepsTheNewestSteps) {
    for (size_t i = 0; i < PlanEditor::kMaxUndoSteps + 5; ++i)
        ASSERT_TRUE(editor.renameGroup(oak, "Oak " + std::to_string(i)));
    size_t undone = 0;
    while (editor.canUndo() && undone < 2 * PlanEditor::kMaxUndoSteps) {
        ASSERT_TRUE(editor.undo());
        ++undone;
    }
    EXPECT_EQ(undone, PlanEditor::kMaxUndoSteps);
    EXPECT_EQ(group().name(), "Oak 4");
}

}  // namespace
}  // namespace quirn
