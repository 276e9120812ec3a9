#include <gtest/gtest.h>

#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "CalendarClicks.h"
#include "plancalendar/ui/PlansCalendarTab.h"
#include "planedit/PlanEditor.h"
#include "plans/Group.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "tests/support/TempFolder.h"

namespace quirn::plancalendar {
namespace {

using test::blankPoint;
using test::clickAt;
using test::dayPoint;
using test::pressAndRelease;

constexpr GroupKey kGroup{1, 4};
constexpr int kEarlyRelease = 3;
constexpr int kWidth = 1000;
constexpr int kHeight = 760;

bool isBlack(QRgb p) {
    return qRed(p) < 40 && qGreen(p) < 40 && qBlue(p) < 40;
}

class PlansCalendarTabTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Group& group = db.group(kGroup.masterGroup, kGroup.group);
        group.setName("Lincoln Elementary");
        group.dayPlan(1);
        group.dayPlan(kEarlyRelease);
        group.setDayPlanName(kEarlyRelease, "Early release");
        group.addAnnualPlan(AnnualPlan::on(1, 4, kPlanHoliday, 2027, 1, 18));
        group.addAnnualPlan(AnnualPlan::on(1, 4, kEarlyRelease, 2027, 2, 3));
        group.addVacationPlan(VacationPlan::over(1, 4, 2026, 12, 21, 2027, 1, 1));
    }

    // The tab on the real control module, shown, with its group selected.
    PlansCalendarTab& openTab(std::string modulePath = VORNCAL_MODULE_PATH) {
        tab = std::make_unique<PlansCalendarTab>(editor, db, clock,
                                                 CalendarHostOptions{modulePath, &clock});
        tab->resize(kWidth, kHeight);
        tab->setGroup(kGroup);
        tab->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(tab.get()));
        return *tab;
    }
    QWidget& control() {
        QWidget* w = tab->findChild<QWidget*>(QStringLiteral("calendarControl"));
        EXPECT_NE(w, nullptr);
        return *w;
    }
    QPoint day(int y, int m, int d) {
        const std::optional<QPoint> at = dayPoint(control(), clock.now(), y, m, d);
        EXPECT_TRUE(at) << y << "-" << m << "-" << d << " is not shown";
        return at.value_or(QPoint());
    }
    void pick(const QString& text) {
        auto* list = tab->findChild<QListWidget*>(QStringLiteral("calendarPicks"));
        const QList<QListWidgetItem*> items = list->findItems(text, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << text.toStdString();
        list->setCurrentItem(items.front());
    }
    bool inverted(int y, int m, int d) {
        const QImage image = control().grab().toImage();
        return isBlack(image.pixel(blankPoint(control(), clock.now(), y, m, d).value()));
    }
    const Group& group() const { return *db.findGroup(kGroup.masterGroup, kGroup.group); }
    int annualPlanOn(int y, int m, int d) const {
        const AnnualPlan* plan = group().annualPlanOn(fromLocal(y, m, d));
        return plan ? plan->plan : -1;
    }
    QString status() const {
        return tab->findChild<QLabel*>(QStringLiteral("calendarStatus"))->text();
    }

    quirn::test::TempFolder folder;
    ManualClock clock{fromLocal(2026, 12, 9, 10, 0)};
    PlanDatabase db;
    OverrideStore overrides{clock, folder.workingFolder()};
    SummerPlanStore summer{clock, folder.workingFolder()};
    PlanEditor editor{db, overrides, summer, clock, folder.workingFolder(), false};
    std::unique_ptr<PlansCalendarTab> tab;
};

TEST_F(PlansCalendarTabTest, TheGroupsPlansAreMarkedAndThePickedPlanInverted) {
    openTab();
    ASSERT_TRUE(tab->host().ready()) << tab->host().problem().toStdString();
    pick("Holiday");
    EXPECT_TRUE(inverted(2027, 1, 18)) << "the holiday is the picked plan";
    EXPECT_FALSE(inverted(2026, 12, 22)) << "a vacation day is not";
    pick("Clear");
    EXPECT_TRUE(inverted(2026, 12, 22)) << "Clear shows every marked day";
    EXPECT_TRUE(inverted(2027, 1, 18));
    EXPECT_FALSE(inverted(2027, 1, 19)) << "an unmarked day";
    pick("Day Plan 3 - Early release");
    EXPECT_TRUE(inverted(2027, 2, 3));
    EXPECT_FALSE(inverted(2027, 1, 18)) << "highlighting all is off again";
    test::saveScreenshotIfAsked(*tab, "plans-calendar.png");
}

TEST_F(PlansCalendarTabTest, AClickOnADayGivesItThePickedPlanUndoably) {
    openTab();
    pick("Day Plan 3 - Early release");
    clickAt(control(), day(2027, 3, 12));
    EXPECT_EQ(annualPlanOn(2027, 3, 12), kEarlyRelease) << status().toStdString();
    EXPECT_EQ(status().toStdString(), "2027-03-12: Day Plan 3 - Early release");
    EXPECT_TRUE(inverted(2027, 3, 12)) << "the new mark shows as the picked plan";

    pick("Holiday");
    clickAt(control(), day(2027, 3, 12));
    EXPECT_EQ(annualPlanOn(2027, 3, 12), kPlanHoliday);
    pick("Clear");
    clickAt(control(), day(2027, 1, 18));
    EXPECT_EQ(annualPlanOn(2027, 1, 18), -1);

    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(annualPlanOn(2027, 1, 18), kPlanHoliday) << "Undo puts the cleared day back";
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(annualPlanOn(2027, 3, 12), kEarlyRelease);
}

TEST_F(PlansCalendarTabTest, PressOnOneDayAndReleaseOnAnotherMakesAVacation) {
    openTab();
    pick("Day Plan 3 - Early release");
    pressAndRelease(control(), day(2027, 2, 19), day(2027, 2, 15));
    ASSERT_EQ(group().vacationPlans().size(), 2u) << status().toStdString();
    const VacationPlan& added = group().vacationPlans().back();
    EXPECT_TRUE(sameLocalDate(added.start, fromLocal(2027, 2, 15)));
    EXPECT_TRUE(sameLocalDate(added.end, fromLocal(2027, 2, 19)));
    EXPECT_EQ(annualPlanOn(2027, 2, 15), -1) << "no day plan was given";
    auto* list = tab->findChild<QListWidget*>(QStringLiteral("vacations"));
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text().toStdString(), "2027-02-15 to 2027-02-19 (5 days)");
}

TEST_F(PlansCalendarTabTest, DaysBeforeTodayAndTheHeadingsChangeNothing) {
    openTab();
    pick("Holiday");
    clickAt(control(), day(2026, 12, 8));
    pressAndRelease(control(), day(2026, 12, 3), day(2026, 12, 8));
    EXPECT_EQ(annualPlanOn(2026, 12, 8), -1);
    EXPECT_EQ(group().vacationPlans().size(), 1u);
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(PlansCalendarTabTest, VacationsAreAddedFromTwoDatesAndRemovedFromTheList) {
    openTab();
    tab->findChild<QDateEdit*>(QStringLiteral("vacationFirst"))->setDate(QDate(2027, 4, 5));
    tab->findChild<QDateEdit*>(QStringLiteral("vacationLast"))->setDate(QDate(2027, 4, 9));
    QTest::mouseClick(tab->findChild<QPushButton*>(QStringLiteral("addVacation")), Qt::LeftButton);
    ASSERT_EQ(group().vacationPlans().size(), 2u) << status().toStdString();
    pick("Clear");
    EXPECT_TRUE(inverted(2027, 4, 7)) << "an inner day of the new vacation is marked";

    auto* list = tab->findChild<QListWidget*>(QStringLiteral("vacations"));
    list->setCurrentRow(0);
    QTest::mouseClick(tab->findChild<QPushButton*>(QStringLiteral("removeVacation")),
                      Qt::LeftButton);
    ASSERT_EQ(group().vacationPlans().size(), 1u) << status().toStdString();
    EXPECT_TRUE(sameLocalDate(group().vacationPlans().front().start, fromLocal(2027, 4, 5)));
    EXPECT_EQ(list->count(), 1);
}

TEST_F(PlansCalendarTabTest, ARefusedEditSaysWhyAndChangesNothing) {
    openTab();
    tab->findChild<QDateEdit*>(QStringLiteral("vacationFirst"))->setDate(QDate(2027, 4, 9));
    tab->findChild<QDateEdit*>(QStringLiteral("vacationLast"))->setDate(QDate(2027, 4, 5));
    QTest::mouseClick(tab->findChild<QPushButton*>(QStringLiteral("addVacation")), Qt::LeftButton);
    EXPECT_EQ(group().vacationPlans().size(), 1u);
    EXPECT_FALSE(status().isEmpty()) << "the refusal is shown";
    EXPECT_FALSE(editor.canUndo());
}

TEST_F(PlansCalendarTabTest, WithoutTheControlTheTabSaysWhatToDo) {
    openTab(folder.file("no-such-libvorncal.so"));
    EXPECT_FALSE(tab->host().ready());
    auto* problem = tab->findChild<QLabel*>(QStringLiteral("calendarProblem"));
    ASSERT_NE(problem, nullptr);
    EXPECT_TRUE(problem->isVisible());
    EXPECT_TRUE(problem->text().contains("could not be loaded")) << problem->text().toStdString();
    EXPECT_TRUE(problem->text().contains("register")) << problem->text().toStdString();
    EXPECT_EQ(tab->findChild<QWidget*>(QStringLiteral("calendarControl")), nullptr);
    // The rest of the tab still works.
    tab->findChild<QDateEdit*>(QStringLiteral("vacationFirst"))->setDate(QDate(2027, 4, 5));
    tab->findChild<QDateEdit*>(QStringLiteral("vacationLast"))->setDate(QDate(2027, 4, 9));
    QTest::mouseClick(tab->findChild<QPushButton*>(QStringLiteral("addVacation")), Qt::LeftButton);
    EXPECT_EQ(group().vacationPlans().size(), 2u) << status().toStdString();
}

}  // namespace
}  // namespace quirn::plancalendar
