#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

#include "QtTestApp.h"
#include "calendar/widget/AboutBox.h"
#include "calendar/widget/CVornCalendarIIICtrl.h"
#include "calendar/widget/CVornCalendarIIIPropPage.h"
#include "platform/LocalTime.h"
#include "tests/support/TempFolder.h"

namespace quirn::calendar {
namespace {

using test::blankPointOfDay;
using test::isBlack;
using test::isWhite;

// Today is Monday 10 March 2025: panels from March 2025 (0) to May 2026 (14).
class WidgetRenderTest : public ::testing::Test {
  protected:
    void SetUp() override { widget.resize(720, 840); }
    QImage render() { return test::grabThroughPng(widget, temp.path()); }
    QRgb at(const QImage& image, int panel, int day) {
        return image.pixel(blankPointOfDay(widget.model(), panel, day));
    }

    quirn::test::TempFolder temp;
    ManualClock clock{fromLocal(2025, 3, 10, 9)};
    DisplayState display;
    CVornCalendarIIICtrl widget{clock, display};
};

TEST_F(WidgetRenderTest, ActivePlanCellsAreInvertedOthersStayWhite) {
    widget.addDayPlan(2025, 4, 2, 4);
    widget.addDayPlan(2025, 4, 9, 4);
    widget.addDayPlan(2025, 4, 3, 5);
    widget.addDayPlan(2025, 5, 26, 100);
    widget.setActivePlan(4);
    const QImage image = render();
    EXPECT_TRUE(isBlack(at(image, 1, 2)));
    EXPECT_TRUE(isBlack(at(image, 1, 9)));
    EXPECT_TRUE(isWhite(at(image, 1, 3))) << "plan 5 is not active";
    EXPECT_TRUE(isWhite(at(image, 2, 26))) << "holiday";
    EXPECT_TRUE(isWhite(at(image, 1, 4))) << "unmarked day";
}

TEST_F(WidgetRenderTest, VacationEndsInvertWithPlan101) {
    widget.addDayPlan(2025, 12, 22, 101);
    widget.addDayPlan(2026, 1, 2, 102);
    widget.addDayPlan(2026, 1, 5, 3);
    widget.setActivePlan(101);
    QImage image = render();
    EXPECT_TRUE(isBlack(at(image, 9, 22)));
    EXPECT_TRUE(isBlack(at(image, 10, 2)));
    EXPECT_TRUE(isWhite(at(image, 10, 5)));
    widget.setActivePlan(102);
    image = render();
    EXPECT_TRUE(isWhite(at(image, 9, 22)));
    EXPECT_TRUE(isWhite(at(image, 10, 2)));
}

TEST_F(WidgetRenderTest, HighlightAllInvertsEveryMarkedCellUntilCleared) {
    widget.addDayPlan(2025, 4, 2, 4);
    widget.addDayPlan(2025, 5, 26, 100);
    widget.addDayPlan(2025, 12, 22, 101);
    widget.setActivePlan(-2);
    QImage image = render();
    EXPECT_TRUE(isBlack(at(image, 1, 2)));
    EXPECT_TRUE(isBlack(at(image, 2, 26)));
    EXPECT_TRUE(isBlack(at(image, 9, 22)));
    EXPECT_TRUE(isWhite(at(image, 1, 3)));
    widget.setActivePlan(-3);
    image = render();
    EXPECT_TRUE(isWhite(at(image, 1, 2)));
    EXPECT_TRUE(isWhite(at(image, 2, 26)));
}

TEST_F(WidgetRenderTest, ZeroAndMinusOneLeaveTheActivePlanAlone) {
    widget.addDayPlan(2025, 4, 2, 4);
    widget.setActivePlan(4);
    widget.setActivePlan(0);
    widget.setActivePlan(-1);
    EXPECT_TRUE(isBlack(at(render(), 1, 2)));
}

TEST_F(WidgetRenderTest, MarkOutsideTheFifteenMonthsChangesNoPixel) {
    widget.setActivePlan(3);
    const QImage before = render();
    widget.addDayPlan(2025, 2, 28, 3);
    widget.addDayPlan(2026, 6, 1, 3);
    widget.setActivePlan(-2);
    const QImage after = render();
    widget.setActivePlan(-3);
    EXPECT_TRUE(before == after);
}

TEST_F(WidgetRenderTest, LaterMarkOnTheSameDayDecides) {
    widget.addDayPlan(2025, 4, 2, 4);
    widget.addDayPlan(2025, 4, 2, 6);
    widget.setActivePlan(4);
    QImage image = render();
    // The first mark's inversion is covered by the second's white fill.
    EXPECT_TRUE(isWhite(at(image, 1, 2)));
    widget.setActivePlan(6);
    image = render();
    EXPECT_TRUE(isBlack(at(image, 1, 2)));
}

TEST_F(WidgetRenderTest, EraseDayPlansClearsTheMarksAtTheNextPaint) {
    widget.addDayPlan(2025, 4, 2, 4);
    widget.setActivePlan(4);
    EXPECT_TRUE(isBlack(at(render(), 1, 2)));
    widget.eraseDayPlans();
    EXPECT_TRUE(isWhite(at(render(), 1, 2)));
}

TEST_F(WidgetRenderTest, PickedDayIsCircledNotInverted) {
    widget.setActivePlan(-2);
    const QImage plain = render();
    widget.addDayPlan(2025, 6, 12, -1);
    const QImage circled = render();
    widget.setActivePlan(-3);
    EXPECT_TRUE(isWhite(at(circled, 3, 12)));
    EXPECT_FALSE(plain == circled);
}

TEST_F(WidgetRenderTest, BackgroundIsWhite) {
    const QImage image = render();
    EXPECT_EQ(image.size(), QSize(720, 840));
    EXPECT_TRUE(isWhite(image.pixel(1, 1)));
    EXPECT_TRUE(isWhite(image.pixel(719, 839)));
}

TEST(AboutBox, CaptionAndText) {
    QDialog* box = createAboutBox(nullptr);
    EXPECT_EQ(box->windowTitle(), "About VornCalendarIII Control");
    auto* message = qobject_cast<QMessageBox*>(box);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text(), "VornCalendarIII Control, Version 1.0");
    delete box;
}

TEST(PropPage, GeneralWithAPlaceholder) {
    CVornCalendarIIIPropPage page;
    EXPECT_EQ(page.windowTitle(), "General");
    EXPECT_STREQ(page.metaObject()->className(), "CVornCalendarIIIPropPage");
    const auto labels = page.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_FALSE(labels[0]->text().isEmpty());
}

}  // namespace
}  // namespace quirn::calendar
