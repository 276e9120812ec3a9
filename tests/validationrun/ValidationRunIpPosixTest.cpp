#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fleethealth/ReadRecorder.h"
#include "protocol/ReadState.h"
#include "tests/support/SimProcess.h"
#include "tests/support/SimulatorPath.h"
#include "tests/validationrun/StationRunFixture.h"
#include "validationrun/RunHistoryRecorder.h"

namespace quirn::test {
namespace {

constexpr long long kStepMs = 250;
// Real time the simulators get between two steps of the station's time.
constexpr int kRealPollMs = 10;
constexpr const char* kFirstWifi = "127.0.0.5";
constexpr const char* kSecondWifi = "127.0.0.6";
constexpr const char* kSilentWifi = "127.0.0.7";
constexpr int kMx40 = 1;
constexpr int kQn510 = 0;

class RecordingRecorder final : public ReadRecorder {
  public:
    void record(const ReadRecord& read) override { reads.push_back(read); }
    std::vector<ReadRecord> reads;
};

// quirn-sim processes on loopback: two WiFi MX40s, one that never answers, and the M2M client
// with two QN510s behind it, all on the one TCP port the station's IP table uses.
class IpRun : public StationRunFixture {
  protected:
    std::vector<std::unique_ptr<SimProcess>> sims;

    void SetUp() override {
        if (simulatorPath().empty()) GTEST_SKIP() << "quirn-sim is not part of this build";
    }

    SimProcess& startSim(const std::vector<std::string>& args, const std::string& errName) {
        sims.push_back(std::make_unique<SimProcess>(simulatorPath(), args, folder.file(errName)));
        return *sims.back();
    }

    unsigned startSims() {
        SimProcess& first = startSim(
            {"--model", "MX40", "--address", "1,1,1", "--tcp", std::string(kFirstWifi) + ":0"},
            "sim1.err");
        const unsigned port = first.started() ? portOfLine(first.firstLine()) : 0;
        if (port == 0) return 0;
        const std::string p = ":" + std::to_string(port);
        const std::vector<std::vector<std::string>> others = {
            {"--model", "MX40", "--address", "1,1,2", "--tcp", kSecondWifi + p},
            {"--model", "MX40", "--address", "1,1,3", "--tcp", kSilentWifi + p, "--no-answer"},
            {"--m2m", kM2MAddress + p, "--model", "QN510", "--address", "1,1,4", "--model", "QN510",
             "--address", "1,1,5"}};
        int n = 2;
        for (const auto& args : others) {
            SimProcess& sim = startSim(args, "sim" + std::to_string(n++) + ".err");
            if (!sim.started() || portOfLine(sim.firstLine()) != port) return 0;
        }
        return port;
    }

    int readingAt(const std::string& connection) const {
        int n = 0;
        app->database().visitLocations([&](const Location& l) {
            auto s = static_cast<ReadState>(l.readState);
            if ((connection.empty() ? l.connection != kRadioAddress : l.connection == connection) &&
                (s == ReadState::Reading || s == ReadState::ReadingAgain))
                ++n;
        });
        return n;
    }

    void TearDown() override {
        StationRunFixture::TearDown();
        for (auto& sim : sims) sim->stop();
    }
};

TEST_F(IpRun, ARunReadsEveryIpSwitchOnceSeveralAtATimeAndOneAtATimeBehindTheClient) {
    const unsigned port = startSims();
    ASSERT_NE(port, 0u) << readFile(folder.file("sim1.err"));
    writeStation(locationLine(1, kFirstWifi, kMx40) + locationLine(2, kSecondWifi, kMx40) +
                     locationLine(3, kSilentWifi, kMx40) + locationLine(4, kM2MAddress, kQn510) +
                     locationLine(5, kM2MAddress, kQn510),
                 "RadioPort,0\r\nValidateOnPowerup,1\r\n",
                 "[Commo]\r\nIPPort=" + std::to_string(port) + "\r\n");
    writeFile(folder.file("imsi.csv"), "imsi,310150123456789\r\n");
    ASSERT_TRUE(startStation());
    ASSERT_TRUE(run().running());
    RecordingRecorder history;
    RunHistoryRecorder recorder(history, app->comms()->download());
    run().setSink(&recorder);

    int mostIp = 0;
    int mostBehindClient = 0;
    const bool ended =
        runUntil([&] { return !run().running(); }, kStepMs,
                 [&] {
                     std::this_thread::sleep_for(std::chrono::milliseconds(kRealPollMs));
                     mostIp = std::max(mostIp, readingAt(""));
                     mostBehindClient = std::max(mostBehindClient, readingAt(kM2MAddress));
                 });
    ASSERT_TRUE(ended) << run().progress().done << " of " << run().progress().total;

    // Every answering switch was read once; the silent one ended as a failed connection.
    for (int n : {1, 2, 4, 5})
        EXPECT_EQ(app->database().findLocation(1, 1, n)->replyCount, 1) << "location " << n;
    EXPECT_EQ(app->database().findLocation(1, 1, 3)->replyCount, 0);
    EXPECT_EQ(static_cast<ReadState>(app->database().findLocation(1, 1, 3)->readState),
              ReadState::ConnectionFailed);
    const RunSummary& summary = *run().lastSummary();
    EXPECT_EQ(summary.counts.read(), 5u);
    EXPECT_EQ(summary.counts.passed + summary.counts.validateFailed, 4u);
    EXPECT_EQ(summary.counts.connectionFailed, 1u);
    // Several links at once, never two reads through the one client.
    EXPECT_GE(mostIp, 2);
    EXPECT_LE(mostIp, static_cast<int>(ValidationRun::kIpReadsAtOnce));
    EXPECT_EQ(mostBehindClient, 1);

    // The history got each read once, with its link and how it ended.
    ASSERT_EQ(history.reads.size(), 5u);
    for (const ReadRecord& r : history.reads) {
        const bool silent = r.location.location == 3;
        const bool behindClient = r.location.location >= 4;
        EXPECT_EQ(r.source, behindClient ? ReadSource::M2M : ReadSource::WiFi);
        EXPECT_EQ(r.state == ReadState::ConnectionFailed, silent) << r.location.location;
        // An answered MX40 carries its clock with seconds; a QN510 whole minutes.
        EXPECT_EQ(r.hasClock, !silent) << r.location.location;
        if (!silent) {
            EXPECT_EQ(r.clockHasSeconds, !behindClient);
        }
        if (r.state == ReadState::ValidateFailed) {
            EXPECT_NE(r.resultBits, 0u);
        }
    }
    run().setSink(nullptr);
}

}  // namespace
}  // namespace quirn::test
