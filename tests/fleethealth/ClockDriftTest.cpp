#include <gtest/gtest.h>

#include <vector>

#include "fleethealth/ClockDrift.h"

namespace quirn {
namespace {

constexpr std::time_t kDay = 24 * 60 * 60;
constexpr std::time_t kStart = 1796000000;  // a 2026 instant; only differences matter

OffsetSample at(int day, double offset) {
    return {kStart + day * kDay, offset, false, false};
}

TEST(ClockDrift, SteadyGainIsFittedExactlyAndCrossesTheLimitOnTheDayItReaches120Seconds) {
    std::vector<OffsetSample> samples{at(0, 0), at(1, 3), at(2, 6), at(3, 9)};
    DriftFit fit = currentDrift(samples);
    ASSERT_TRUE(fit.known);
    EXPECT_EQ(fit.points, 4);
    EXPECT_DOUBLE_EQ(fit.secondsPerDay, 3.0);
    EXPECT_DOUBLE_EQ(fit.offsetAtLast, 9.0);
    EXPECT_EQ(fit.since, kStart);
    EXPECT_EQ(fit.lastSample, kStart + 3 * kDay);
    ASSERT_TRUE(fit.crossesLimitAt.has_value());
    EXPECT_EQ(*fit.crossesLimitAt, kStart + 40 * kDay);  // 120 s at 3 s a day
    EXPECT_TRUE(fit.drifting);
}

TEST(ClockDrift, IsALeastSquaresFitOfEveryReadNotTheFirstAndLastPoint) {
    // End points alone give 2 s/day; the fit of all four is 2.2 s/day through 0.7 s.
    std::vector<OffsetSample> samples{at(0, 1), at(1, 2), at(2, 6), at(3, 7)};
    DriftFit fit = currentDrift(samples);
    ASSERT_TRUE(fit.known);
    EXPECT_NEAR(fit.secondsPerDay, 2.2, 1e-12);
    EXPECT_NEAR(fit.offsetAtLast, 0.7 + 3 * 2.2, 1e-12);
    // (120 - 0.7) / 2.2 days after the first read.
    EXPECT_EQ(*fit.crossesLimitAt, kStart + static_cast<std::time_t>(119.3 / 2.2 * kDay + 0.5));
}

TEST(ClockDrift, ALosingClockCrossesTheLimitBelowZero) {
    std::vector<OffsetSample> samples{at(0, -1), at(2, -6), at(4, -11)};
    DriftFit fit = currentDrift(samples);
    ASSERT_TRUE(fit.known);
    EXPECT_DOUBLE_EQ(fit.secondsPerDay, -2.5);
    EXPECT_TRUE(fit.drifting);
    EXPECT_EQ(*fit.crossesLimitAt, kStart + static_cast<std::time_t>(119.0 / 2.5 * kDay));
}

TEST(ClockDrift, AGoodClockIsNotFlagged) {
    std::vector<OffsetSample> samples{at(0, 0), at(10, 5), at(20, 10), at(30, 15)};
    DriftFit fit = currentDrift(samples);
    ASSERT_TRUE(fit.known);
    EXPECT_DOUBLE_EQ(fit.secondsPerDay, 0.5);
    EXPECT_FALSE(fit.drifting);
    EXPECT_EQ(*fit.crossesLimitAt, kStart + 240 * kDay);
}

TEST(ClockDrift, AStillClockNeverCrosses) {
    std::vector<OffsetSample> samples{at(0, 4), at(1, 4), at(5, 4)};
    DriftFit fit = currentDrift(samples);
    ASSERT_TRUE(fit.known);
    EXPECT_DOUBLE_EQ(fit.secondsPerDay, 0.0);
    EXPECT_FALSE(fit.crossesLimitAt.has_value());
}

TEST(ClockDrift, AClockSetInTheMiddleStartsANewFit) {
    // 12 s a day until the station set the clock on day 4 (back to 1 s), 1.5 s a day after.
    std::vector<OffsetSample> samples{at(0, 0), at(1, 12),  at(2, 24), at(3, 36),
                                      at(4, 1), at(5, 2.5), at(6, 4),  at(7, 5.5)};
    DriftFit fit = currentDrift(samples);
    ASSERT_TRUE(fit.known);
    EXPECT_EQ(fit.points, 4);
    EXPECT_EQ(fit.since, kStart + 4 * kDay);
    EXPECT_DOUBLE_EQ(fit.secondsPerDay, 1.5);
    EXPECT_FALSE(fit.drifting);

    std::vector<DriftFit> runs = driftRuns(samples);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_DOUBLE_EQ(runs[0].secondsPerDay, 12.0);
    EXPECT_TRUE(runs[0].drifting);
    EXPECT_EQ(runs[0].lastSample, kStart + 3 * kDay);
    EXPECT_DOUBLE_EQ(runs[1].secondsPerDay, 1.5);
}

TEST(ClockDrift, AClockSendStartsANewRunWhateverTheOffsets) {
    std::vector<OffsetSample> samples{at(0, 0), at(1, 3), at(2, 6)};
    samples.push_back({kStart + 2 * kDay + 60, 0, false, true});
    for (int day = 3; day <= 5; ++day) samples.push_back(at(day, 5 + 0.5 * (day - 3)));
    DriftFit fit = currentDrift(samples);
    ASSERT_TRUE(fit.known);
    EXPECT_EQ(fit.since, kStart + 3 * kDay);
    EXPECT_DOUBLE_EQ(fit.secondsPerDay, 0.5);
}

TEST(ClockDrift, TooFewReadsOrTooShortASpanGiveNoFit) {
    std::vector<OffsetSample> two{at(0, 0), at(5, 50)};
    DriftFit fit = currentDrift(two);
    EXPECT_FALSE(fit.known);
    EXPECT_FALSE(fit.drifting);
    EXPECT_FALSE(fit.crossesLimitAt.has_value());
    EXPECT_EQ(fit.points, 2);

    std::vector<OffsetSample> oneHour{{kStart, 0, false, false},
                                      {kStart + 1800, 5, false, false},
                                      {kStart + 3600, 10, false, false}};
    EXPECT_FALSE(currentDrift(oneHour).known);
    EXPECT_FALSE(currentDrift(std::vector<OffsetSample>{}).known);
}

TEST(ClockDrift, ASwitchThatStopsAnsweringKeepsTheFitOfItsLastReads) {
    std::vector<ReadRecord> history;
    for (int day = 0; day < 4; ++day) {
        ReadRecord read;
        read.time = kStart + day * kDay;
        read.state = ReadState::ValidatePassed;
        read.hasClock = true;
        read.clockHasSeconds = true;
        read.clockOffsetSeconds = 4 * day;
        history.push_back(read);
    }
    for (int day = 4; day < 10; ++day) {
        ReadRecord silent;
        silent.time = kStart + day * kDay;
        silent.state = ReadState::ConnectionFailed;
        history.push_back(silent);
    }
    std::vector<OffsetSample> samples = offsetSamples(history);
    ASSERT_EQ(samples.size(), 4u);
    DriftFit fit = currentDrift(samples);
    ASSERT_TRUE(fit.known);
    EXPECT_DOUBLE_EQ(fit.secondsPerDay, 4.0);
    EXPECT_EQ(fit.lastSample, kStart + 3 * kDay);
    EXPECT_TRUE(fit.drifting);
    EXPECT_EQ(*fit.crossesLimitAt, kStart + 30 * kDay);
}

TEST(ClockDrift, AClockAlreadyPastTheLimitSaysWhenItCrossed) {
    std::vector<OffsetSample> samples{at(0, 100), at(5, 125), at(10, 150)};
    DriftFit fit = currentDrift(samples);
    ASSERT_TRUE(fit.known);
    EXPECT_EQ(*fit.crossesLimitAt, kStart + 4 * kDay);  // 100 + 5 s/day reaches 120 on day 4
    EXPECT_LE(*fit.crossesLimitAt, fit.lastSample);
}

struct SetCase {
    double previous;
    double next;
    bool wholeMinutes;
    bool isSet;
};

TEST(ClockDrift, ClockSetsAreJumpsBackNearZero) {
    const SetCase cases[] = {
        {45, 2, false, true},    // set after 45 s fast
        {-40, -3, false, true},  // set after 40 s slow
        {20, 2, false, false},   // 18 s nearer: too small a jump to tell from noise
        {60, 20, false, false},  // not near zero afterwards
        {5, 40, false, false},   // moving away
        {-50, 10, false, true},  // set a little fast
        {60, 0, true, false},    // a minute clock reads a minute either way
        {120, 0, true, true},    // two minutes back to zero is a set
        {180, 60, true, true},   // a minute clock near zero is within a minute
    };
    for (const SetCase& c : cases) {
        OffsetSample previous{kStart, c.previous, c.wholeMinutes, false};
        OffsetSample next{kStart + kDay, c.next, c.wholeMinutes, false};
        EXPECT_EQ(isClockSet(previous, next), c.isSet) << c.previous << " -> " << c.next;
    }
}

}  // namespace
}  // namespace quirn
