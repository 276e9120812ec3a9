// A group's programming in the plans window: day plans and their steps, the weeks, Undo, the
// copy to other groups, and the save through the station's save of all.
#include <QListWidget>
#include <QTableWidget>

#include "tests/planedit/ui/PlansWindowFixture.h"

namespace quirn::test {
namespace {

using PlansWindowProgrammingTest = PlansWindowFixture;

std::vector<std::string> tableRows(QTableWidget* table) {
    std::vector<std::string> rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows.push_back(table->item(r, 0)->text().toStdString() + " " +
                       table->item(r, 1)->text().toStdString());
    return rows;
}

TEST_F(PlansWindowProgrammingTest, StepsAreTypedAsTimesShownSortedAndStopAtSixteen) {
    PlansWindow window(plansServices());
    window.show();
    clickRow(window, kMasterGroup, kGroup);
    showTab(window, "Day plans");
    auto* plans = child<QListWidget>(window, "dayPlans");
    ASSERT_GE(plans->count(), 1);
    EXPECT_EQ(plans->item(0)->text(), "1  Normal");

    typeInto(window, "newPlanName", "Early release");
    ASSERT_NE(db.findGroup(kMasterGroup, kGroup)->findDayPlan(2), nullptr)
        << text(window, "dayPlanProblem");
    EXPECT_EQ(plans->currentItem()->text(), "2  Early release");

    choose(window, "stepsCommand", "OFF");
    typeInto(window, "stepsTime", "13:30");
    choose(window, "stepsCommand", "ON");
    typeInto(window, "stepsTime", "7:05");
    EXPECT_EQ(stepLines(kGroup, 2), (std::vector<std::string>{"07:05 ON", "13:30 OFF"}))
        << text(window, "stepsProblem");
    EXPECT_EQ(tableRows(child<QTableWidget>(window, "stepsTable")),
              (std::vector<std::string>{"07:05 ON", "13:30 OFF"}));

    // A time that is none is refused with its reason and adds nothing.
    typeInto(window, "stepsTime", "24:10");
    EXPECT_EQ(stepLines(kGroup, 2).size(), 2u);
    EXPECT_FALSE(text(window, "stepsProblem").empty());

    for (int i = 0; i < 14; ++i)
        typeInto(window, "stepsTime", QString("15:%1").arg(i, 2, 10, QChar('0')));
    EXPECT_EQ(stepLines(kGroup, 2).size(), 16u) << text(window, "stepsProblem");
    EXPECT_EQ(text(window, "stepsCount"), "16 of 16 steps");
    EXPECT_FALSE(child<QPushButton>(window, "stepsAdd")->isEnabled());

    // The removed step is the one picked.
    child<QTableWidget>(window, "stepsTable")->selectRow(0);
    press(window, "stepsRemove");
    EXPECT_EQ(stepLines(kGroup, 2).front(), "13:30 OFF");
}

TEST_F(PlansWindowProgrammingTest, ADayPlanIsRenamedAndOneInUseIsNotRemoved) {
    PlansWindow window(plansServices());
    window.show();
    clickRow(window, kMasterGroup, kGroup);
    showTab(window, "Day plans");
    typeInto(window, "newPlanName", "Late start");
    ASSERT_NE(db.findGroup(kMasterGroup, kGroup)->findDayPlan(2), nullptr);
    typeInto(window, "planName", "Late start (fog)");
    EXPECT_EQ(db.planName(kMasterGroup, kGroup, 2), "Late start (fog)");

    showTab(window, "Weeks");
    choose(window, "default4", "Late start (fog)");  // Wednesday
    EXPECT_EQ(db.findGroup(kMasterGroup, kGroup)->defaultWeek().day(4), 2);
    showTab(window, "Day plans");
    child<QListWidget>(window, "dayPlans")->setCurrentRow(1);
    press(window, "removePlan");
    EXPECT_NE(db.findGroup(kMasterGroup, kGroup)->findDayPlan(2), nullptr);
    EXPECT_NE(text(window, "dayPlanProblem").find("Wednesday"), std::string::npos)
        << text(window, "dayPlanProblem");
}

TEST_F(PlansWindowProgrammingTest, TheSpecialWeekIsSetForTheGroupAndCleared) {
    PlansWindow window(plansServices());
    window.show();
    clickRow(window, kMasterGroup, kGroup);
    showTab(window, "Weeks");
    choose(window, "special2", "Holiday");  // Monday
    press(window, "setSpecialWeek");
    const SpecialWeekPlan* plan = db.findSpecialWeekPlan(kMasterGroup, kGroup, 0);
    ASSERT_NE(plan, nullptr) << text(window, "weeksProblem");
    EXPECT_EQ(plan->days.day(2), kPlanHoliday);
    EXPECT_EQ(plan->days.day(3), kPlanNormal);
    EXPECT_TRUE(db.specialWeekInForce());
    EXPECT_NE(text(window, "specialState").find("In force for the whole group"), std::string::npos);

    press(window, "clearSpecialWeek");
    EXPECT_EQ(db.specialWeekPlanOf(kMasterGroup, kGroup), nullptr);
}

TEST_F(PlansWindowProgrammingTest, UndoByButtonAndCtrlZTakesBackTheLastEdits) {
    PlansWindow window(plansServices());
    window.show();
    EXPECT_FALSE(child<QPushButton>(window, "undo")->isEnabled());
    clickRow(window, kMasterGroup, 6);
    typeInto(window, "groupName", "Oak Avenue");
    typeInto(window, "groupName", "Oak Boulevard");
    ASSERT_EQ(db.findGroup(kMasterGroup, 6)->name(), "Oak Boulevard");

    press(window, "undo");
    EXPECT_EQ(db.findGroup(kMasterGroup, 6)->name(), "Oak Avenue");
    QTest::keyClick(child<QTreeView>(window, "tree"), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(db.findGroup(kMasterGroup, 6)->name(), "Oak Street");
    EXPECT_FALSE(child<QPushButton>(window, "undo")->isEnabled());
    EXPECT_EQ(child<QLineEdit>(window, "groupName")->text(), "Oak Street");
}

TEST_F(PlansWindowProgrammingTest, CopyProgrammingGivesTheTickedGroupsTheSameSteps) {
    PlansWindow window(plansServices());
    window.show();
    clickRow(window, kMasterGroup, kGroup);
    press(window, "copyProgramming");
    auto* dialog = window.findChild<QDialog*>("copyProgrammingDialog");
    ASSERT_NE(dialog, nullptr);
    auto* targets = child<QListWidget>(*dialog, "targets");
    ASSERT_EQ(targets->count(), 2);
    EXPECT_EQ(targets->item(0)->text(), "Oak Street, Group 6");
    targets->item(1)->setCheckState(Qt::Checked);  // Pine Street
    press(*dialog, "copy");
    EXPECT_EQ(stepLines(7, 1), (std::vector<std::string>{"07:00 ON", "08:30 OFF"}));
    EXPECT_TRUE(stepLines(6, 1).empty()) << "an unticked group keeps its own";
    press(window, "undo");
    EXPECT_TRUE(stepLines(7, 1).empty());
}

TEST_F(PlansWindowProgrammingTest, SaveWritesTheRealFilesThroughTheStationsSaveAndTheyReadBack) {
    PlansWindow window(plansServices());
    window.show();
    clickRow(window, kMasterGroup, kGroup);
    typeInto(window, "groupName", "Elm Street East");
    showTab(window, "Day plans");
    typeInto(window, "newPlanName", "Early release");
    choose(window, "stepsCommand", "OFF");
    typeInto(window, "stepsTime", "12:45");
    press(window, "save");
    EXPECT_EQ(saves, 1);
    EXPECT_FALSE(window.unsaved());
    EXPECT_EQ(text(window, "foot"), "Saved.");

    PlanDatabase reread;
    loadDatabase(reread, working, clock.now());
    const Group* g = reread.findGroup(kMasterGroup, kGroup);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->name(), "Elm Street East");
    EXPECT_EQ(reread.planName(kMasterGroup, kGroup, 2), "Early release");
    ASSERT_NE(g->findDayPlan(2), nullptr);
    ASSERT_EQ(g->findDayPlan(2)->steps().size(), 1u);
    EXPECT_EQ(g->findDayPlan(2)->steps()[0].hour, 12);
    EXPECT_EQ(g->findDayPlan(2)->steps()[0].command, kCommandOff);
}

TEST_F(PlansWindowProgrammingTest, ClosingWithEditsNotSavedAsksAndSavesOrPutsBack) {
    {
        PlansWindow window(plansServices(), nullptr, answering(PlansWindow::CloseAnswer::Save));
        window.show();
        window.reject();
        EXPECT_TRUE(closeQuestions.empty()) << "nothing edited, nothing asked";
    }
    {
        PlansWindow window(plansServices(), nullptr, answering(PlansWindow::CloseAnswer::Save));
        window.show();
        clickRow(window, kMasterGroup, 6);
        typeInto(window, "groupName", "Oak Avenue");
        press(window, "close");
        ASSERT_EQ(closeQuestions.size(), 1u);
        EXPECT_EQ(saves, 1);
        EXPECT_FALSE(window.isVisible());
    }
    PlansWindow window(plansServices(), nullptr, answering(PlansWindow::CloseAnswer::PutBack));
    window.show();
    clickRow(window, kMasterGroup, 6);
    typeInto(window, "groupName", "Oak Lane");
    press(window, "save");
    typeInto(window, "groupName", "Oak Court");
    typeInto(window, "groupName", "Oak Row");
    press(window, "close");
    EXPECT_EQ(closeQuestions.size(), 2u);
    EXPECT_EQ(db.findGroup(kMasterGroup, 6)->name(), "Oak Lane") << "back to the saved name";
    EXPECT_EQ(saves, 2);
}

}  // namespace
}  // namespace quirn::test
