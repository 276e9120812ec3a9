#include <gtest/gtest.h>

#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "sim/DeviceClock.h"
#include "sim/ZoneRule.h"
#include "tests/sim/SimTestSupport.h"

namespace quirn::sim {
namespace {

ZoneRule newYork() {
    return ZoneRule::northAmerican(test::kNewYorkHoursWest);
}

TEST(ZoneRuleTest, AgreesWithTheCLibraryAroundBothChanges) {
    // Every 20 minutes across both 2026 changes and a leap day.
    const std::time_t starts[] = {fromLocal(2026, 3, 7, 0, 0, 0), fromLocal(2026, 10, 31, 0, 0, 0),
                                  fromLocal(2028, 2, 27, 0, 0, 0)};
    for (std::time_t start : starts) {
        for (int step = 0; step < 3 * 72; ++step) {
            std::time_t t = start + step * 20 * 60;
            LocalDateTime mine = newYork().toLocal(t);
            LocalDateTime theirs = toLocal(t);
            ASSERT_EQ(mine, theirs) << t;
            EXPECT_EQ(mine.weekday, theirs.weekday) << t;
            EXPECT_EQ(mine.isDst, theirs.isDst) << t;
            // The hour repeated in autumn reads back as its first (daylight) occurrence.
            std::time_t back = newYork().fromLocal(mine);
            EXPECT_TRUE(back == t || (back == t - 3600 && !mine.isDst)) << t;
            EXPECT_EQ(newYork().toLocal(back), mine) << t;
        }
    }
}

TEST(ZoneRuleTest, NthSundayAndWeekdays) {
    EXPECT_EQ(nthSunday(2026, 3, 2), 8);
    EXPECT_EQ(nthSunday(2026, 11, 1), 1);
    EXPECT_EQ(nthSunday(2027, 3, 2), 14);
    EXPECT_EQ(nthSunday(2026, 2, 5), 22);                     // no fifth Sunday: the last one
    EXPECT_EQ(weekdayOfDay(daysFromCivil(1970, 1, 1)), 5);    // Thursday
    EXPECT_EQ(weekdayOfDay(daysFromCivil(2026, 3, 16)), 2);   // Monday
    EXPECT_EQ(weekdayOfDay(daysFromCivil(1969, 12, 28)), 1);  // Sunday before 1970
}

TEST(ZoneRuleTest, WithoutDaylightSavingOnlyTheZoneCounts) {
    ZoneRule z;
    z.hoursWest = 5;
    LocalDateTime summer = z.toLocal(fromLocal(2026, 7, 1, 12, 0, 0));  // 12:00 EDT
    EXPECT_EQ(summer.hour, 11);
    EXPECT_FALSE(summer.isDst);
}

TEST(DeviceClockTest, StartsAtTheGivenTimeAndRunsWithTheHost) {
    ManualClock host(1000);
    SimClockSettings s;
    s.start = fromLocal(2026, 5, 1, 8, 0, 0);
    DeviceClock c(host, newYork(), s);
    EXPECT_EQ(c.now(), *s.start);
    host.advance(90);
    EXPECT_EQ(c.now(), *s.start + 90);
    EXPECT_EQ(c.local().minute, 1);
    EXPECT_EQ(c.local().second, 30);
}

TEST(DeviceClockTest, WithoutStartTimeFollowsTheHost) {
    ManualClock host(fromLocal(2026, 5, 1, 8, 0, 0));
    DeviceClock c(host, newYork(), SimClockSettings{});
    EXPECT_EQ(c.now(), host.now());
    host.advance(3600);
    EXPECT_EQ(c.now(), host.now());
}

TEST(DeviceClockTest, SpeedDriftAndOffset) {
    ManualClock host(fromLocal(2026, 5, 1, 8, 0, 0));
    SimClockSettings fast;
    fast.speed = 60.0;
    DeviceClock f(host, newYork(), fast);
    SimClockSettings drifting;
    drifting.driftSecondsPerHour = 30.0;
    DeviceClock d(host, newYork(), drifting);
    SimClockSettings off;
    off.clockOffsetSeconds = -150;
    DeviceClock o(host, newYork(), off);
    std::time_t start = host.now();
    EXPECT_EQ(o.now(), start - 150);

    host.advance(3600);
    EXPECT_EQ(f.now(), start + 60 * 3600);
    EXPECT_EQ(d.now(), start + 3600 + 30);
    // The offset stays whatever the switch is told.
    o.setUtc(host.now());
    EXPECT_EQ(o.now(), host.now() - 150);
    host.advance(60);
    EXPECT_EQ(o.now(), host.now() - 150);
}

TEST(DeviceClockTest, FaultyClocksKeepTheirDateOrTheirDaylightOffset) {
    ManualClock host(fromLocal(2026, 5, 1, 8, 0, 0));
    SimClockSettings holding;
    holding.holdsDate = true;
    SimClockSettings ignoring;
    ignoring.ignoresDaylightSaving = true;
    DeviceClock good(host, newYork(), SimClockSettings{});
    DeviceClock held(host, newYork(), holding);
    DeviceClock fixedOffset(host, newYork(), ignoring);

    const LocalDateTime beforeMidnight{2026, 12, 31, 23, 59, 53};
    good.setLocal(beforeMidnight);
    held.setLocal(beforeMidnight);
    host.advance(10);
    EXPECT_EQ(good.local(), (LocalDateTime{2027, 1, 1, 0, 0, 3}));
    EXPECT_EQ(held.local(), (LocalDateTime{2026, 12, 31, 0, 0, 3}));
    EXPECT_EQ(held.local().weekday, 5);  // the Thursday it was set on

    const LocalDateTime beforeSpring{2026, 3, 8, 1, 59, 45};
    good.setLocal(beforeSpring);
    fixedOffset.setLocal(beforeSpring);
    EXPECT_EQ(fixedOffset.local(), beforeSpring);
    host.advance(3615);
    EXPECT_EQ(good.local(), (LocalDateTime{2026, 3, 8, 4, 0, 0}));
    EXPECT_EQ(fixedOffset.local(), (LocalDateTime{2026, 3, 8, 3, 0, 0}));

    const LocalDateTime beforeFall{2026, 11, 1, 1, 59, 45};
    good.setLocal(beforeFall);
    fixedOffset.setLocal(beforeFall);
    host.advance(3615);
    EXPECT_EQ(good.local(), (LocalDateTime{2026, 11, 1, 2, 0, 0}));
    EXPECT_EQ(fixedOffset.local(), (LocalDateTime{2026, 11, 1, 3, 0, 0}));
}

TEST(DeviceClockTest, SetLocalUsesTheSwitchZone) {
    ManualClock host(0);
    DeviceClock c(host, newYork(), SimClockSettings{});
    LocalDateTime t{2026, 7, 4, 12, 30, 15};
    c.setLocal(t);
    EXPECT_EQ(c.now(), fromLocal(2026, 7, 4, 12, 30, 15));
    ZoneRule chicago = ZoneRule::northAmerican(6);
    c.setZone(chicago);
    EXPECT_EQ(c.local().hour, 11);
}

}  // namespace
}  // namespace quirn::sim
