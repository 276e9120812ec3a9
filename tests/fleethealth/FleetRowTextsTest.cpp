#include <gtest/gtest.h>

#include <string>

#include "fleethealth/ClockDrift.h"
#include "fleethealth/FleetMailText.h"
#include "fleethealth/FleetRowTexts.h"
#include "fleethealth/LocationHistoryReport.h"
#include "platform/LocalTime.h"
#include "protocol/ReadState.h"

namespace quirn {
namespace {

constexpr std::time_t kDay = 24 * 3600;

TEST(FleetRowTexts, AClockThatKeepsTimeNeverReadsAsASlowLoss) {
    FleetRow row;
    row.driftSecondsPerDay = -0.001;
    EXPECT_EQ(fleetDriftText(row), "+0.00 s/day");
    EXPECT_EQ(driftRateText(-0.004), "+0.00 s/day");
    EXPECT_EQ(driftRateText(-0.006), "-0.01 s/day");
    EXPECT_EQ(signedSecondsText(-0.02), "+0 s");
    EXPECT_EQ(signedSecondsText(-0.5), "-0.5 s");
}

// A switch that stopped answering: the mail says since when it last answered, not when the
// station last tried (which reads as if it had been read then).
TEST(FleetRowTexts, TheMailSaysWhenASilentSwitchLastAnswered) {
    const std::time_t now = fromLocal(2026, 3, 16, 6, 30, 0);
    FleetRow row;
    row.state = ReadState::ConnectionFailed;
    row.lastReadTime = fromLocal(2026, 3, 16, 4, 0, 0);
    row.lastAnswered = fromLocal(2026, 3, 6, 4, 0, 0);
    const std::string text = fleetProblemsText(row, now);
    EXPECT_NE(text.find("not reached at 2026-03-16 04:00"), std::string::npos) << text;
    EXPECT_NE(text.find("no answer since 2026-03-06 04:00"), std::string::npos) << text;
}

TEST(FleetRowTexts, ALimitCenturiesAwayIsNotGivenAsADate) {
    const std::time_t now = fromLocal(2026, 3, 16, 8, 0, 0);
    FleetRow row;
    DriftFit fit;
    fit.known = true;
    fit.points = 12;
    fit.since = now - 30 * kDay;
    fit.lastSample = now;
    fit.secondsPerDay = 0.0001;
    fit.crossesLimitAt = now + 1000 * 365 * kDay;
    std::string text = locationHistoryText(row, {}, fit, now);
    EXPECT_EQ(text.find("Reaches"), std::string::npos) << text;
    EXPECT_NE(text.find("Does not reach validation's clock limit within a year"), std::string::npos)
        << text;
    fit.crossesLimitAt = now + 40 * kDay;
    text = locationHistoryText(row, {}, fit, now);
    EXPECT_NE(text.find("Reaches validation's clock limit about 2026-04-25"), std::string::npos)
        << text;
}

}  // namespace
}  // namespace quirn
