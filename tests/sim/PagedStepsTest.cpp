#include <gtest/gtest.h>

#include "sim/PagedSteps.h"

namespace quirn::sim {
namespace {

constexpr uint32_t kWeekdays = 0x3E;  // Monday..Friday: bits 1..5
constexpr uint32_t kWeekend = 0x41;   // Saturday (bit 6) and Sunday (bit 0)

std::size_t minute(int hour, int m) {
    return static_cast<std::size_t>(hour * 60 + m);
}

// A school group's default week as the station pages it: 07:15-08:15 and 14:30-15:30 on
// weekdays, 10:00-11:00 at the weekend. The expected masks come from the plan, not from the
// station's decoder.
TEST(PagedSteps, ASchoolWeekReadsAsItsSteps) {
    const PagedSteps s = readPagedSteps("AHFAiFCK0Cl0AOUApU");
    EXPECT_EQ(s.on[minute(7, 15)], kWeekdays);
    EXPECT_EQ(s.off[minute(8, 15)], kWeekdays);
    EXPECT_EQ(s.on[minute(14, 30)], kWeekdays);
    EXPECT_EQ(s.off[minute(15, 30)], kWeekdays);
    EXPECT_EQ(s.on[minute(10, 0)], kWeekend);
    EXPECT_EQ(s.off[minute(11, 0)], kWeekend);
    int steps = 0;
    for (std::size_t m = 0; m < s.on.size(); ++m) steps += (s.on[m] != 0) + (s.off[m] != 0);
    EXPECT_EQ(steps, 6);
}

TEST(PagedSteps, SingleDaysSetsAndTheEdgesOfTheDay) {
    // D Monday 00:00 ON, J Sunday 23:59 OFF ("x" hour 23, "x" minute 59), Q Tuesday+Thursday.
    const PagedSteps s = readPagedSteps("DA0JxxQMU");
    EXPECT_EQ(s.on[minute(0, 0)], 1u << 1);
    EXPECT_EQ(s.off[minute(23, 59)], 1u << 0);
    EXPECT_EQ(s.on[minute(12, 30)], (1u << 2) | (1u << 4));
    // Two steps at the same minute add their days.
    const PagedSteps both = readPagedSteps("DHFEHF");
    EXPECT_EQ(both.on[minute(7, 15)], (1u << 1) | (1u << 2));
}

TEST(PagedSteps, UnreadableTripletsAreSkippedAndTheRestCount) {
    // Unknown day letter "Z", hour "Y" (24), minute "y" (60), then a good one; a cut tail.
    const PagedSteps s = readPagedSteps("ZHFAYFAHyBHFA");
    int steps = 0;
    for (std::size_t m = 0; m < s.on.size(); ++m) steps += (s.on[m] != 0) + (s.off[m] != 0);
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(s.on[minute(7, 15)], 0x7Fu);
    EXPECT_FALSE(readPagedSteps("d").any());
    EXPECT_FALSE(readPagedSteps("").any());
}

}  // namespace
}  // namespace quirn::sim
