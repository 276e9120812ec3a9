#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/SimCommandLine.h"

namespace quirn::sim {
namespace {

using Args = std::vector<std::string>;

TEST(SimCommandLineTest, ReadsAPtySwitchWithClockAndFaults) {
    SimCommandLineResult r = parseCommandLine({"--model",
                                               "Strider",
                                               "--address",
                                               "3,12,45",
                                               "--pty",
                                               "--clock",
                                               "2026-02-28 23:59:58",
                                               "--speed",
                                               "2.5",
                                               "--no-answer",
                                               "--cut-answer",
                                               "7",
                                               "--bad-checksum",
                                               "--clock-offset",
                                               "-90",
                                               "--drift",
                                               "4.5",
                                               "--slow-bytes",
                                               "20",
                                               "--ignore-baud",
                                               "--miss-step",
                                               "75",
                                               "--hold-date",
                                               "--ignore-dst",
                                               "--manual-holds",
                                               "--baud",
                                               "4800",
                                               "--activation",
                                               "2026-01-02 03:04:05",
                                               "--confirmation-flag",
                                               "--log",
                                               "/tmp/x.log"});
    ASSERT_TRUE(r.line) << r.error;
    const SimCommandLine& c = *r.line;
    EXPECT_EQ(c.transport, SimTransport::Pty);
    ASSERT_EQ(c.switches.size(), 1u);
    EXPECT_EQ(c.switches[0].model, SimModel::Strider);
    EXPECT_EQ(c.switches[0].address.masterGroup, 3);
    EXPECT_EQ(c.switches[0].address.group, 12);
    EXPECT_EQ(c.switches[0].address.location, 45);
    ASSERT_TRUE(c.startLocal);
    EXPECT_EQ(*c.startLocal, (LocalDateTime{2026, 2, 28, 23, 59, 58}));
    EXPECT_EQ(c.startLocal->weekday, 7);
    EXPECT_DOUBLE_EQ(c.clock.speed, 2.5);
    EXPECT_EQ(c.clock.clockOffsetSeconds, -90);
    EXPECT_DOUBLE_EQ(c.clock.driftSecondsPerHour, 4.5);
    EXPECT_TRUE(c.faults.noAnswer);
    EXPECT_TRUE(c.manualHoldsUntilStep);
    EXPECT_EQ(c.faults.cutAnswer, 7);
    EXPECT_TRUE(c.faults.badChecksum);
    EXPECT_EQ(c.faults.slowBytesMs, 20);
    EXPECT_TRUE(c.faults.ignoreBaud);
    EXPECT_EQ(c.faults.missedStepMinute, 75);
    EXPECT_TRUE(c.clock.holdsDate);
    EXPECT_TRUE(c.clock.ignoresDaylightSaving);
    EXPECT_EQ(c.lineRate, 4800);
    ASSERT_EQ(c.activations.size(), 1u);
    EXPECT_EQ(c.activations[0].when, (LocalDateTime{2026, 1, 2, 3, 4, 5}));
    EXPECT_TRUE(c.confirmationFlag);
    EXPECT_EQ(c.logFile, "/tmp/x.log");
}

TEST(SimCommandLineTest, M2mTakesSeveralSwitchesEachWithItsModel) {
    SimCommandLineResult r =
        parseCommandLine({"--m2m", "127.0.0.1:2001", "--model", "MX40", "--address", "1,1,1",
                          "--address", "1,1,2", "--model", "LR40", "--address", "2,3,4"});
    ASSERT_TRUE(r.line) << r.error;
    EXPECT_EQ(r.line->transport, SimTransport::M2m);
    EXPECT_EQ(r.line->host, "127.0.0.1");
    EXPECT_EQ(r.line->port, 2001u);
    ASSERT_EQ(r.line->switches.size(), 3u);
    EXPECT_EQ(r.line->switches[1].model, SimModel::MX40);
    EXPECT_EQ(r.line->switches[2].model, SimModel::LR40);
    EXPECT_EQ(r.line->switches[2].address.location, 4);
}

TEST(SimCommandLineTest, RefusesWhatItCannotServe) {
    const Args base = {"--model", "QN510", "--address", "1,1,1"};
    auto with = [&](Args extra) {
        Args a = base;
        a.insert(a.end(), extra.begin(), extra.end());
        return a;
    };
    struct Row {
        Args args;
        const char* mentions;
    };
    const std::vector<Row> rows = {
        {with({}), "--pty"},
        {with({"--pty", "--tcp", "127.0.0.1:1"}), "exactly one"},
        {with({"--tcp", "0.0.0.0:2001"}), "loopback"},
        {with({"--tcp", "192.0.2.7:2001"}), "loopback"},
        {with({"--m2m", "198.51.100.4:2001"}), "loopback"},
        {with({"--tcp", "127.0.0.1"}), "HOST:PORT"},
        {with({"--tcp", "127.0.0.1:70000"}), "HOST:PORT"},
        {with({"--pty", "--address", "1,1,2"}), "--m2m"},
        {{"--address", "1,1,1", "--pty"}, "--model"},
        {{"--model", "QN511", "--address", "1,1,1", "--pty"}, "--model"},
        {{"--model", "QN510", "--address", "11,1,1", "--pty"}, "--address"},
        {{"--model", "QN510", "--address", "1,0,1", "--pty"}, "--address"},
        {{"--model", "QN510", "--address", "1,1,100", "--pty"}, "--address"},
        {{"--model", "QN510", "--address", "1,1", "--pty"}, "--address"},
        {with({"--pty", "--clock", "2026-02-30 10:00:00"}), "--clock"},
        {with({"--pty", "--clock", "2026-02-01"}), "--clock"},
        {with({"--pty", "--speed", "0"}), "--speed"},
        {with({"--pty", "--speed", "fast"}), "--speed"},
        {with({"--pty", "--cut-answer", "-1"}), "--cut-answer"},
        // Past the int range it would have wrapped to a negative count.
        {with({"--pty", "--cut-answer", "93333333348"}), "--cut-answer"},
        {with({"--pty", "--baud", "9600"}), "--baud"},
        {with({"--pty", "--activations", "201"}), "--activations"},
        {with({"--pty", "--bogus"}), "--bogus"},
        {with({"--pty", "--log"}), "--log"},
        {with({"--pty", "--miss-step", "1440"}), "--miss-step"},
        {with({"--pty", "--miss-step"}), "--miss-step"},
    };
    for (const Row& row : rows) {
        SimCommandLineResult r = parseCommandLine(row.args);
        std::string joined;
        for (const auto& a : row.args) joined += a + " ";
        EXPECT_FALSE(r.line) << joined;
        EXPECT_NE(r.error.find(row.mentions), std::string::npos) << joined << ": " << r.error;
    }
}

TEST(SimCommandLineTest, LoopbackAddresses) {
    for (const char* good : {"127.0.0.1", "127.0.0.2", "127.255.1.9"})
        EXPECT_TRUE(isLoopbackAddress(good)) << good;
    for (const char* bad : {"128.0.0.1", "0.0.0.0", "192.0.2.1", "127.0.0", "127.0.0.1.5",
                            "127.0.0.256", "localhost", "", "127.0.0.1x"})
        EXPECT_FALSE(isLoopbackAddress(bad)) << bad;
}

TEST(SimCommandLineTest, GeneratedActivationsAndHelp) {
    SimCommandLineResult r = parseCommandLine(
        {"--model", "Strider", "--address", "1,1,1", "--pty", "--activations", "3"});
    ASSERT_TRUE(r.line);
    ASSERT_EQ(r.line->activations.size(), 3u);
    EXPECT_EQ(r.line->activations[0].when, (LocalDateTime{2025, 12, 31, 23, 0, 0}));
    EXPECT_EQ(r.line->activations[2].when, (LocalDateTime{2025, 12, 31, 21, 0, 0}));
    EXPECT_TRUE(r.line->activations[1].sideFlag);
    SimCommandLineResult help = parseCommandLine({"--help"});
    ASSERT_TRUE(help.line);
    EXPECT_TRUE(help.line->help);
    EXPECT_NE(std::string(usageText()).find("--m2m"), std::string::npos);
}

}  // namespace
}  // namespace quirn::sim
