#include <gtest/gtest.h>

#include <string>

#include "tests/validationrun/StationRunFixture.h"

namespace quirn::test {
namespace {

constexpr long long kSchedulerStepMs = 10000;
constexpr const char* kWeekdayStart =
    "Validation run of all locations started on the weekday schedule.";

// One radio location and no radio port: each read of it ends at once as a failed connection,
// so a run is short and its lines say whether it happened.
class WeekdayValidation : public StationRunFixture {
  protected:
    // Runs the station from 03:58:30 of `day` (December 2026) to 04:02.
    void runThroughFourOClock(int day, const std::string& settings) {
        clock.set(fromLocal(2026, 12, day, 3, 58, 30));
        writeStation(locationLine(1, kRadioAddress), "RadioPort,0\r\n" + settings);
        ASSERT_TRUE(startStation());
        const std::time_t end = fromLocal(2026, 12, day, 4, 2, 0);
        ASSERT_TRUE(runUntil([&] { return clock.now() >= end; }, kSchedulerStepMs));
    }
};

TEST_F(WeekdayValidation, ValidateMFStartsARunAtFourOnAFriday) {
    runThroughFourOClock(11, "ValidateMF,1\r\n");
    const std::string log = systemLog();
    EXPECT_EQ(occurrences(log, kWeekdayStart), 1u) << log;
    const std::size_t at = log.find(kWeekdayStart);
    ASSERT_NE(at, std::string::npos);
    // Started in the 04:00 minute, then ended with its one read.
    EXPECT_EQ(log.compare(at - 9, 6, "04:00."), 0) << log.substr(at - 9, 9);
    EXPECT_NE(log.find("Validation run of all locations ended: 1 read: 0 passed, 0 validate "
                       "failed, 1 connection failed"),
              std::string::npos)
        << log;
    EXPECT_FALSE(run().running());
}

TEST_F(WeekdayValidation, ValidateMFStartsARunAtFourOnAMonday) {
    runThroughFourOClock(7, "ValidateMF,1\r\n");
    EXPECT_EQ(occurrences(systemLog(), kWeekdayStart), 1u) << systemLog();
}

TEST_F(WeekdayValidation, NoWeekdayRunOnASaturday) {
    runThroughFourOClock(12, "ValidateMF,1\r\n");
    EXPECT_EQ(systemLog().find("Validation run"), std::string::npos) << systemLog();
}

TEST_F(WeekdayValidation, NoWeekdayRunOnASunday) {
    runThroughFourOClock(13, "ValidateMF,1\r\n");
    EXPECT_EQ(systemLog().find("Validation run"), std::string::npos) << systemLog();
}

TEST_F(WeekdayValidation, NoWeekdayRunWithoutTheSetting) {
    runThroughFourOClock(11, "ValidateMF,0\r\n");
    EXPECT_EQ(systemLog().find("Validation run"), std::string::npos) << systemLog();
}

}  // namespace
}  // namespace quirn::test
