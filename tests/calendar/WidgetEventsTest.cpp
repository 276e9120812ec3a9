#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "QtTestApp.h"
#include "calendar/KeyState.h"
#include "calendar/widget/CVornCalendarIIICtrl.h"
#include "platform/LocalTime.h"

namespace quirn::calendar {
namespace {

using test::centreOfDay;

// Today is Friday 14 March 2025, mid-morning.
class WidgetEventsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        widget.resize(720, 840);
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
        widget.grab();  // a paint lays the panels out
    }

    ManualClock clock{fromLocal(2025, 3, 14, 10, 30)};
    quirn::calendar::DisplayState display;
    CVornCalendarIIICtrl widget{clock, display};
    QSignalSpy focus{&widget, &CVornCalendarIIICtrl::newFocusTime};
    QSignalSpy lift{&widget, &CVornCalendarIIICtrl::newLiftTime};
};

TEST_F(WidgetEventsTest, RunTimeClassName) {
    EXPECT_STREQ(widget.metaObject()->className(), "CVornCalendarIIICtrl");
}

TEST_F(WidgetEventsTest, PressAndReleaseOnADayFireFocusThenLift) {
    const QPoint day = centreOfDay(widget.model(), 1, 2);  // 2 April 2025
    QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, day);
    ASSERT_EQ(focus.count(), 1);
    EXPECT_EQ(focus[0], (QList<QVariant>{2025, 4, 2, kKeyLeftButton}));
    EXPECT_EQ(lift.count(), 0);
    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, day);
    ASSERT_EQ(lift.count(), 1);
    EXPECT_EQ(lift[0], (QList<QVariant>{2025, 4, 2}));
}

TEST_F(WidgetEventsTest, KeyStateCarriesShiftAndControl) {
    const QPoint day = centreOfDay(widget.model(), 0, 20);
    QTest::mousePress(&widget, Qt::LeftButton, Qt::ShiftModifier, day);
    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::ShiftModifier, day);
    QTest::mousePress(&widget, Qt::LeftButton, Qt::ControlModifier, day);
    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::ControlModifier, day);
    ASSERT_EQ(focus.count(), 2);
    EXPECT_EQ(focus[0][3].toInt(), kKeyLeftButton | kKeyShift);
    EXPECT_EQ(focus[1][3].toInt(), kKeyLeftButton | kKeyControl);
}

TEST_F(WidgetEventsTest, TodayFiresTheDayBeforeDoesNot) {
    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, centreOfDay(widget.model(), 0, 13));
    EXPECT_EQ(focus.count(), 0);
    EXPECT_EQ(lift.count(), 0);
    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, centreOfDay(widget.model(), 0, 14));
    ASSERT_EQ(focus.count(), 1);
    EXPECT_EQ(focus[0][2].toInt(), 14);
    EXPECT_EQ(lift.count(), 1);
}

TEST_F(WidgetEventsTest, HeadingsEmptyCellsAndColumnZeroFireNothing) {
    const MonthPanel& april = widget.model().panel(1);  // Tuesday the 1st
    const int mid = april.grid().rowHeight / 2;
    const QPoint misses[] = {
        {april.columnCentre(3), april.rowTop(0) + mid},  // "T" heading
        {april.columnCentre(1), april.rowTop(1) + mid},  // empty cell before the 1st
        {april.columnCentre(0), april.rowTop(3) + mid},  // blank column 0
        {april.columnCentre(7), april.rowTop(6) + mid},  // empty last row
    };
    for (const QPoint& p : misses) QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, p);
    EXPECT_EQ(focus.count(), 0);
    EXPECT_EQ(lift.count(), 0);
}

TEST_F(WidgetEventsTest, RightButtonFiresNothing) {
    QTest::mouseClick(&widget, Qt::RightButton, Qt::NoModifier, centreOfDay(widget.model(), 1, 2));
    EXPECT_EQ(focus.count(), 0);
    EXPECT_EQ(lift.count(), 0);
}

TEST_F(WidgetEventsTest, LastPanelWrapsIntoTheNextYear) {
    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, centreOfDay(widget.model(), 14, 31));
    ASSERT_EQ(focus.count(), 1);
    EXPECT_EQ(focus[0], (QList<QVariant>{2026, 5, 31, kKeyLeftButton}));
}

TEST_F(WidgetEventsTest, ReleaseOnAnotherDayLiftsThere) {
    QTest::mousePress(&widget, Qt::LeftButton, Qt::NoModifier, centreOfDay(widget.model(), 0, 20));
    QTest::mouseRelease(&widget, Qt::LeftButton, Qt::NoModifier, centreOfDay(widget.model(), 2, 9));
    ASSERT_EQ(lift.count(), 1);
    EXPECT_EQ(lift[0], (QList<QVariant>{2025, 5, 9}));
}

TEST_F(WidgetEventsTest, LaterClockMovesTheFirstFiringDay) {
    clock.set(fromLocal(2025, 3, 21, 8));
    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, centreOfDay(widget.model(), 0, 20));
    EXPECT_EQ(focus.count(), 0);
    QTest::mouseClick(&widget, Qt::LeftButton, Qt::NoModifier, centreOfDay(widget.model(), 0, 21));
    EXPECT_EQ(focus.count(), 1);
}

}  // namespace
}  // namespace quirn::calendar
