#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/VirtualTimerService.h"

namespace quirn {
namespace {

TEST(VirtualTimerService, FiresDueTimersInOrderWithTheClockAtEachDueTime) {
    ManualClock clock(1000);
    VirtualTimerService timers(clock);
    std::vector<std::string> fired;
    timers.start(500, [&] { fired.push_back("a" + std::to_string(clock.nowMs())); });
    timers.start(300, [&] { fired.push_back("b" + std::to_string(clock.nowMs())); });
    EXPECT_EQ(timers.advanceMs(1000), 5);
    EXPECT_EQ(fired, (std::vector<std::string>{"b1000300", "a1000500", "b1000600", "b1000900",
                                               "a1001000"}));
    EXPECT_EQ(clock.nowMs(), 1001000);
}

TEST(VirtualTimerService, SameDueTimeKeepsStartOrderAndShortAdvancesAccumulate) {
    ManualClock clock;
    VirtualTimerService timers(clock);
    std::string order;
    timers.start(500, [&] { order += '1'; });
    timers.start(500, [&] { order += '2'; });
    for (int i = 0; i < 4; ++i) timers.advanceMs(250);
    EXPECT_EQ(order, "1212");
    EXPECT_EQ(timers.advance(4 * 3600), 2 * 4 * 3600 * 2);
}

TEST(VirtualTimerService, StopWorksFromInsideACallbackAndIgnoresUnknownIds) {
    ManualClock clock;
    VirtualTimerService timers(clock);
    int count = 0;
    TimerService::TimerId id = TimerService::kNoTimer;
    id = timers.start(100, [&] {
        if (++count == 3) timers.stop(id);
    });
    EXPECT_NE(id, TimerService::kNoTimer);
    timers.stop(TimerService::kNoTimer);
    timers.stop(id + 1000);
    timers.advanceMs(10000);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(timers.activeCount(), 0u);
    EXPECT_EQ(timers.start(100, nullptr), TimerService::kNoTimer);
}

TEST(VirtualTimerService, ATimerStartedInACallbackRunsFromItsOwnStart) {
    ManualClock clock;
    VirtualTimerService timers(clock);
    std::vector<long long> late;
    timers.start(1000, [&] {
        if (late.empty()) timers.start(400, [&] { late.push_back(clock.nowMs()); });
    });
    timers.advanceMs(2000);
    EXPECT_EQ(late, (std::vector<long long>{1400, 1800}));
}

TEST(VirtualTimerService, ATimerOverdueAfterTheClockMovedFiresOnceWithoutTurningTheClockBack) {
    ManualClock clock;
    VirtualTimerService timers(clock);
    std::vector<long long> fired;
    timers.start(500, [&] { fired.push_back(clock.nowMs()); });
    clock.advance(100);
    EXPECT_EQ(timers.advanceMs(0), 1);
    EXPECT_EQ(fired, (std::vector<long long>{100000}));
    timers.advanceMs(1000);
    EXPECT_EQ(fired, (std::vector<long long>{100000, 100500, 101000}));
}

}  // namespace
}  // namespace quirn
