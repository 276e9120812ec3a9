#include <gtest/gtest.h>

#include <climits>
#include <limits>

#include "platform/Clock.h"
#include "platform/LocalTime.h"

namespace quirn {
namespace {

// The suite runs with TZ=America/New_York (set by CTest).
TEST(LocalTime, RoundTripsAcrossDaylightSaving) {
    std::time_t t = fromLocal(2026, 3, 8, 3, 30, 0);  // just after the spring change
    LocalDateTime l = toLocal(t);
    EXPECT_EQ(l.year, 2026);
    EXPECT_EQ(l.hour, 3);
    EXPECT_TRUE(l.isDst);
    EXPECT_EQ(l.weekday, 1);  // a Sunday
    EXPECT_EQ(standardOffsetWestSeconds(), 5 * 3600);
}

TEST(LocalTime, NeverIsChristmas2005AtNoon) {
    LocalDateTime l = toLocal(neverTime());
    EXPECT_EQ(l, (LocalDateTime{2005, 12, 25, 12, 0, 0}));
    EXPECT_TRUE(isNever(fromLocal(2005, 12, 25, 12)));
    EXPECT_FALSE(isNever(fromLocal(2005, 12, 25, 12, 0, 1)));
}

TEST(LocalTime, EnglishNamesWhateverTheLocale) {
    std::time_t t = fromLocal(2026, 12, 6, 9, 5, 7);
    EXPECT_EQ(formatLocal("Log_%B_%d_%Y.txt", t), "Log_December_06_2026.txt");
    EXPECT_EQ(formatLocal("%A %a %b %H:%M:%S %I %p %%", t), "Sunday Sun Dec 09:05:07 09 AM %");
    EXPECT_EQ(std::string(monthName(13)), "");
    EXPECT_EQ(std::string(weekdayName(7)), "Saturday");
}

TEST(LocalTime, DaysInMonthAndDates) {
    EXPECT_EQ(daysInMonth(2028, 2), 29);
    EXPECT_EQ(daysInMonth(2100, 2), 28);
    EXPECT_EQ(daysInMonth(2026, 4), 30);
    EXPECT_EQ(daysInMonth(2026, 13), 0);
    std::time_t t = fromLocal(2026, 11, 1, 23, 0, 0);  // day the clocks go back
    EXPECT_EQ(startOfDay(t), fromLocal(2026, 11, 1));
    EXPECT_TRUE(sameLocalDate(t, fromLocal(2026, 11, 1, 0, 30)));
    EXPECT_FALSE(sameLocalDate(t, fromLocal(2026, 11, 2)));
}

// Dates come from files that may hold any number: none may overflow on its way through the C
// library, and what cannot come back as a date is impossible rather than a wrong year.
TEST(LocalTime, DatesBeyondTheYearsAnIntHoldsAreImpossible) {
    EXPECT_EQ(fromLocal(INT_MAX, 2027, 26), kImpossibleTime);
    EXPECT_EQ(fromLocal(INT_MAX, 13, 1), kImpossibleTime);
    // How far the C library's dates reach is its own (year 3000 on Windows): a date past its
    // reach is impossible, one within it comes back with its own year.
    for (int year : {9999, INT_MAX}) {
        const std::time_t t = fromLocal(year, 12, 31);
        EXPECT_TRUE(t == kImpossibleTime || toLocal(t).year == year) << year;
    }
    EXPECT_EQ(fromLocal(INT_MIN, INT_MIN, 1), kImpossibleTime);
    // A time_t about ten years past the year INT_MAX.
    const std::time_t farFuture = (INT_MAX - 1970LL + 10) * 31'556'952LL;
    EXPECT_EQ(toLocal(farFuture), LocalDateTime{});
    EXPECT_EQ(toLocal(std::numeric_limits<std::time_t>::max()), LocalDateTime{});
}

TEST(ManualClock, MovesOnlyWhenTold) {
    ManualClock clock(1000);
    EXPECT_EQ(clock.now(), 1000);
    clock.advanceMs(1500);
    EXPECT_EQ(clock.now(), 1001);
    EXPECT_EQ(clock.nowMs(), 1001500);
    clock.advance(3600);
    EXPECT_EQ(clock.now(), 4601);
}

}  // namespace
}  // namespace quirn
