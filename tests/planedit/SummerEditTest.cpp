// Summer school plans: edited in the store the station's save of all writes to summer.csv.
#include <gtest/gtest.h>

#include "plans/SummerPlanStore.h"
#include "tests/planedit/EditorFixture.h"

namespace quirn {
namespace {

using test::readFile;
using SummerEdits = test::EditorFixture;

TEST_F(SummerEdits, APlanIsBuiltSavedReloadedAndUndoneStepByStep) {
    EditOutcome added = editor.addSummerPlan("Summer School, Oak");
    ASSERT_TRUE(added.done) << added.refusal;
    EXPECT_EQ(added.number, 0);
    ASSERT_TRUE(editor.setSummerDates(0, {2027, 6, 21}, {2027, 7, 30}));
    ASSERT_TRUE(editor.setSummerLocations(0, {{1, 5, 2}, {1, 5, 1}}));
    ASSERT_TRUE(editor.setSummerSteps(0, {{7, 30, 8, 15}, {11, 45, 12, 30}}));
    EXPECT_TRUE(notices.back().summerPlans);

    ASSERT_TRUE(summer.save());
    SummerPlanStore reloaded(clock, working);
    ASSERT_TRUE(reloaded.load());
    EXPECT_EQ(reloaded.fileText(), summer.fileText());
    ASSERT_EQ(reloaded.plans().size(), 1u);
    const SummerPlan& p = reloaded.plans()[0];
    EXPECT_EQ(p.name, "Summer School, Oak");
    EXPECT_EQ(p.startDate, fromLocal(2027, 6, 21, 12, 0, 0));
    EXPECT_EQ(p.endDate, fromLocal(2027, 7, 30, 12, 0, 0));
    ASSERT_EQ(p.locations.size(), 2u);
    EXPECT_EQ(p.locations[0].location, 2);
    ASSERT_EQ(p.steps.size(), 2u);
    EXPECT_EQ(p.steps[1].offMinute, 30);

    ASSERT_TRUE(editor.renameSummerPlan(0, "Oak Summer"));
    EXPECT_EQ(editor.undoText(), "Undo rename summer plan");
    std::vector<std::string> texts;
    texts.push_back(summer.fileText());
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(editor.undo());
        texts.push_back(summer.fileText());
    }
    EXPECT_TRUE(summer.plans().empty());
    EXPECT_EQ(texts[1], reloaded.fileText());
    EXPECT_NE(texts[2], texts[1]);  // the steps went back
}

TEST_F(SummerEdits, RemoveAndUndoPutsThePlanBackInItsPlace) {
    ASSERT_TRUE(editor.addSummerPlan("First"));
    ASSERT_TRUE(editor.addSummerPlan("Second"));
    ASSERT_TRUE(editor.addSummerPlan("Third"));
    const std::string before = summer.fileText();
    ASSERT_TRUE(editor.removeSummerPlan(1));
    ASSERT_EQ(summer.plans().size(), 2u);
    EXPECT_EQ(summer.plans()[0].name, "First");
    EXPECT_EQ(summer.plans()[1].name, "Third");
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(summer.fileText(), before);
}

TEST_F(SummerEdits, Refusals) {
    ASSERT_TRUE(editor.addSummerPlan("Oak"));
    const std::string before = summer.fileText();
    EXPECT_FALSE(editor.addSummerPlan("").done);
    EXPECT_FALSE(editor.addSummerPlan("Two\nlines").done);
    EXPECT_FALSE(editor.renameSummerPlan(1, "None there").done);
    EXPECT_FALSE(editor.renameSummerPlan(-1, "None there").done);
    EXPECT_NE(
        editor.setSummerDates(0, {2027, 7, 30}, {2027, 6, 21}).refusal.find("before it starts"),
        std::string::npos);
    EXPECT_FALSE(editor.setSummerDates(0, {2027, 6, 31}, {2027, 7, 30}).done);
    EXPECT_NE(editor.setSummerLocations(0, {{1, 5, 9}}).refusal.find("does not exist"),
              std::string::npos);
    EXPECT_NE(editor.setSummerLocations(0, {{1, 5, 1}, {1, 5, 1}}).refusal.find("twice"),
              std::string::npos);
    std::vector<SummerPlanStep> nine(9, SummerPlanStep{7, 0, 8, 0});
    EXPECT_NE(editor.setSummerSteps(0, nine).refusal.find("at most 8"), std::string::npos);
    EXPECT_FALSE(editor.setSummerSteps(0, {{7, 0, 24, 0}}).done);
    EXPECT_FALSE(editor.removeSummerPlan(3).done);
    EXPECT_EQ(summer.fileText(), before);
    EXPECT_EQ(editor.undoText(), "Undo add summer plan");
}

}  // namespace
}  // namespace quirn
