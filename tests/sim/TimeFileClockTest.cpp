#include <gtest/gtest.h>

#include <string>

#include "platform/LocalTime.h"
#include "sim/DeviceClock.h"
#include "sim/SimCommandLine.h"
#include "sim/TimeFileClock.h"
#include "sim/ZoneRule.h"
#include "tests/support/TempFolder.h"

namespace quirn::sim {
namespace {

using test::writeFile;

constexpr long long kMsPerSecond = 1000;
constexpr long long kSecondsPerDayLL = 24 * 60 * 60;
constexpr double kDriftSecondsPerHour = 0.25;  // six seconds a day

std::string secondsText(long long seconds) {
    return std::to_string(seconds) + "\n";
}

TEST(TimeFileClockTest, ReadsTheNumberInTheFileEachTime) {
    test::TempFolder folder;
    const std::string path = folder.file("time");
    const std::time_t start = fromLocal(2026, 12, 9, 10, 0, 5);
    ASSERT_TRUE(writeFile(path, secondsText(start)));
    TimeFileClock clock(path);
    EXPECT_EQ(clock.now(), start);
    ASSERT_TRUE(writeFile(path, "1765300000.250"));
    EXPECT_EQ(clock.nowMs(), 1765300000LL * kMsPerSecond + 250);
    EXPECT_EQ(clock.now(), 1765300000);
}

TEST(TimeFileClockTest, KeepsTheLastTimeWhileTheFileHoldsNoNumber) {
    test::TempFolder folder;
    const std::string path = folder.file("time");
    ASSERT_TRUE(writeFile(path, "1765300000"));
    TimeFileClock clock(path);
    ASSERT_EQ(clock.now(), 1765300000);
    for (const char* bad : {"", "tomorrow", "12x", "-5", "nan", "1e400"}) {
        ASSERT_TRUE(writeFile(path, bad));
        EXPECT_EQ(clock.now(), 1765300000) << bad;
    }
    TimeFileClock missing(folder.file("no such file"));
    const long long system = SystemClock().nowMs();
    EXPECT_NEAR(static_cast<double>(missing.nowMs()), static_cast<double>(system), 5000.0);
}

// The drift of a switch whose time comes from the file accrues per hour of that time, so a
// station that moves its clock on by weeks in seconds sees weeks of drift.
TEST(TimeFileClockTest, DriftAccruesOverTheFilesTimeNotTheComputers) {
    test::TempFolder folder;
    const std::string path = folder.file("time");
    const std::time_t given = fromLocal(2026, 12, 9, 10, 0, 5);
    ASSERT_TRUE(writeFile(path, secondsText(given)));
    TimeFileClock fileTime(path);
    SimClockSettings settings;
    settings.driftSecondsPerHour = kDriftSecondsPerHour;
    DeviceClock device(fileTime, ZoneRule::northAmerican(5), settings);
    device.setUtc(given);
    EXPECT_EQ(device.now(), given);
    const int days = 20;
    const std::time_t later = given + days * kSecondsPerDayLL;
    ASSERT_TRUE(writeFile(path, secondsText(later)));
    // Twenty days at a quarter second an hour: two minutes fast.
    EXPECT_EQ(device.now() - later, static_cast<std::time_t>(days * 24 * kDriftSecondsPerHour));
}

TEST(TimeFileClockTest, TheCommandLineNamesTheFile) {
    SimCommandLineResult r = parseCommandLine(
        {"--model", "MX40", "--address", "1,1,1", "--tcp", "127.0.0.5:0", "--time-file", "/t/x"});
    ASSERT_TRUE(r.line) << r.error;
    EXPECT_EQ(r.line->timeFile, "/t/x");
    EXPECT_FALSE(
        parseCommandLine({"--model", "MX40", "--address", "1,1,1", "--pty", "--time-file"}).line);
    SimCommandLineResult plain =
        parseCommandLine({"--model", "MX40", "--address", "1,1,1", "--pty"});
    ASSERT_TRUE(plain.line);
    EXPECT_TRUE(plain.line->timeFile.empty());
}

}  // namespace
}  // namespace quirn::sim
