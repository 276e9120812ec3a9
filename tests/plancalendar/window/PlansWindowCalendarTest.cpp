#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "plancalendar/ui/import/ImportCalendarDialog.h"
#include "plancalendar/ui/window/PlansWindowCalendar.h"
#include "planedit/ui/PlansWindow.h"
#include "plans/Group.h"
#include "plans/OverrideStore.h"
#include "plans/PlanDatabase.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "tests/plancalendar/ui/CalendarClicks.h"
#include "tests/support/TempFolder.h"

namespace quirn::plancalendar {
namespace {

class PlansWindowCalendarTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db.group(1, 4).setName("Lincoln");
        db.group(1, 5).setName("Washington");
        db.group(1, 5).addAnnualPlan(AnnualPlan::on(1, 5, kPlanHoliday, 2027, 1, 18));
        db.group(1, 5).addVacationPlan(VacationPlan::over(1, 5, 2027, 2, 1, 2027, 2, 5));
    }
    PlansWindowServices services() {
        return PlansWindowServices{db,
                                   overrides,
                                   summer,
                                   clock,
                                   folder.workingFolder(),
                                   false,
                                   [] {},
                                   [this](PlansWindow& w) {
                                       addPlansCalendar(w, {VORNCAL_MODULE_PATH, &clock});
                                   }};
    }
    QTabWidget& tabs(PlansWindow& window) {
        return *window.findChild<QTabWidget*>(QStringLiteral("tabs"));
    }
    void showCalendar(PlansWindow& window) {
        QTabWidget& t = tabs(window);
        for (int i = 0; i < t.count(); ++i)
            if (t.tabText(i) == "Calendar") t.setCurrentIndex(i);
        ASSERT_EQ(t.tabText(t.currentIndex()).toStdString(), "Calendar");
        QApplication::processEvents();
    }

    quirn::test::TempFolder folder;
    ManualClock clock{fromLocal(2026, 12, 9, 10, 0)};
    PlanDatabase db;
    OverrideStore overrides{clock, folder.workingFolder()};
    SummerPlanStore summer{clock, folder.workingFolder()};
};

TEST_F(PlansWindowCalendarTest, TheCalendarTabFollowsThePickedGroupAndEditsThroughTheWindow) {
    PlansWindow window(services());
    window.resize(1300, 900);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.pick(1, 4);
    showCalendar(window);
    auto* title = window.findChild<QLabel*>(QStringLiteral("calendarTitle"));
    EXPECT_EQ(title->text().toStdString(), "Annual and vacation plans of Lincoln, Group 4");
    window.pick(1, 5);
    EXPECT_EQ(title->text().toStdString(), "Annual and vacation plans of Washington, Group 5");

    auto* picks = window.findChild<QListWidget*>(QStringLiteral("calendarPicks"));
    picks->setCurrentItem(picks->findItems("Holiday", Qt::MatchExactly).front());
    QWidget* control = window.findChild<QWidget*>(QStringLiteral("calendarControl"));
    ASSERT_NE(control, nullptr);
    test::clickAt(*control, test::dayPoint(*control, clock.now(), 2027, 2, 15).value());
    const AnnualPlan* plan = db.findGroup(1, 5)->annualPlanOn(fromLocal(2027, 2, 15));
    ASSERT_NE(plan, nullptr);
    EXPECT_EQ(plan->plan, kPlanHoliday);
    EXPECT_TRUE(window.unsaved()) << "the window counts the calendar's edit";
    EXPECT_EQ(db.findGroup(1, 4)->annualPlans().size(), 0u);
}

TEST_F(PlansWindowCalendarTest, ImportSchoolCalendarOpensForThePickedGroup) {
    PlansWindow window(services());
    window.show();
    window.pick(1, 4);
    showCalendar(window);
    auto* import = window.findChild<QPushButton*>(QStringLiteral("importCalendar"));
    ASSERT_NE(import, nullptr);
    QTest::mouseClick(import, Qt::LeftButton);
    auto* dialog = window.findChild<ImportCalendarDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("importGroups"))->text().toStdString(),
              "1:4");
    dialog->close();
}

TEST_F(PlansWindowCalendarTest, TheTabsHighlightComesBackAfterTheImportPreview) {
    PlansWindow window(services());
    window.resize(1300, 900);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.pick(1, 5);
    showCalendar(window);
    auto* picks = window.findChild<QListWidget*>(QStringLiteral("calendarPicks"));
    picks->setCurrentItem(picks->findItems("Clear", Qt::MatchExactly).front());
    QWidget* control = window.findChild<QWidget*>(QStringLiteral("calendarControl"));
    const auto vacationInverted = [&] {
        const QImage image = control->grab().toImage();
        const QPoint at = test::blankPoint(*control, clock.now(), 2027, 2, 3).value();
        return qRed(image.pixel(at)) < 40;
    };
    ASSERT_TRUE(vacationInverted()) << "Clear shows every marked day";
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("importCalendar")),
                      Qt::LeftButton);
    auto* dialog = window.findChild<ImportCalendarDialog*>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(vacationInverted()) << "the preview's highlight is shared by every control";
    dialog->close();
    EXPECT_TRUE(vacationInverted()) << "closing the import puts the tab's highlight back";
}

}  // namespace
}  // namespace quirn::plancalendar
