#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/StationApp.h"
#include "fleethealth/HistorySetAside.h"
#include "ops/LogWriter.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/VirtualTimerService.h"
#include "protocol/ReadState.h"
#include "protocol/Validation.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/SimProcess.h"
#include "tests/support/SimulatorPath.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using namespace std::chrono_literals;
using test::readFile;
using test::simulatorPath;
using test::writeFile;

constexpr int kRealPollMs = 10;
constexpr int kMaxSteps = 1500;
constexpr long long kMaxWaitMs = 8000;
constexpr auto kHistoryWait = 20s;
constexpr long long kClockOffset = 300;  // the simulated switch's clock, seconds fast

long long steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The whole station on the manual clock with a quirn-sim switch over loopback TCP: what its
// read paths hand the read history.
class StationReadHistory : public ::testing::Test {
  protected:
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock{fromLocal(2026, 12, 9, 10, 0, 5)};
    VirtualTimerService timers{clock};

    void SetUp() override {
        if (simulatorPath().empty()) GTEST_SKIP() << "quirn-sim is not part of this build";
        writeFile(folder.file("groups.csv"), "Group,1,Lincoln Elementary,1\r\n");
        writeFile(folder.file("profile.csv"), "RadioPort,0\r\n");
        writeFile(folder.file("locations.csv"),
                  "Location,1,1,School,Lincoln Ave North,1,127.0.0.5,1\r\n");
    }

    bool runUntil(const std::function<bool()>& done, long long stepMs) {
        const long long deadline = steadyMs() + kMaxWaitMs;
        for (int step = 0; step < kMaxSteps && steadyMs() < deadline; ++step) {
            if (done()) return true;
            timers.advanceMs(stepMs);
            std::this_thread::sleep_for(std::chrono::milliseconds(kRealPollMs));
        }
        return done();
    }

    // Reads the location until the read ends in a state other than reading.
    bool readOnce(StationApp& app, Location& location) {
        app.comms()->commo().startRead(location);
        return runUntil(
            [&] {
                auto s = static_cast<ReadState>(location.readState);
                return s != ReadState::Reading && s != ReadState::ReadingAgain;
            },
            250);
    }
};

TEST_F(StationReadHistory, AWifiReadIsRecordedWithTheSwitchsClockOffset) {
    auto sim = std::make_unique<test::SimProcess>(
        simulatorPath(),
        std::vector<std::string>{"--model", "MX40", "--address", "1,1,1", "--tcp", "127.0.0.5:0",
                                 "--clock-offset", std::to_string(kClockOffset)},
        folder.file("sim.err"));
    ASSERT_TRUE(sim->started());
    const unsigned port = test::portOfLine(sim->firstLine());
    ASSERT_NE(port, 0u) << readFile(folder.file("sim.err"));
    writeFile(folder.file("quirnradio.ini"), "[Commo]\r\nIPPort=" + std::to_string(port) + "\r\n");

    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    Location* location = app.database().findLocation(1, 1, 1);
    ASSERT_NE(location, nullptr);
    // The programming sets the switch's clock to the station's (the simulator then keeps its
    // offset): without it the simulator tells its real time against the station's manual one.
    CommoHandler& commo = app.comms()->commo();
    IpConnection* entry = commo.findConnection("127.0.0.5");
    ASSERT_NE(entry, nullptr);
    ASSERT_GT(commo.startDownload(location), 0u);
    ASSERT_TRUE(runUntil(
        [&] { return commo.queueSize() == 0 && entry->state() == IpConnection::State::Idle; },
        250));
    const std::time_t before = clock.now();
    ASSERT_TRUE(readOnce(app, *location));
    ASSERT_TRUE(app.readHistory().flush(kHistoryWait));

    std::vector<ReadRecord> history = app.readHistory().locationHistory({1, 1, 1});
    ASSERT_EQ(history.size(), 1u);
    const ReadRecord& read = history.front();
    EXPECT_EQ(read.state, static_cast<ReadState>(location->readState));
    EXPECT_EQ(read.state, ReadState::ValidateFailed);
    EXPECT_EQ(read.source, ReadSource::WiFi);
    EXPECT_GE(read.time, before);
    EXPECT_EQ(read.time, location->readStateTime);
    ASSERT_TRUE(read.hasClock);
    EXPECT_TRUE(read.clockHasSeconds);
    // The station's virtual time runs a little ahead of the simulator's real time.
    EXPECT_NEAR(static_cast<double>(read.clockOffsetSeconds), kClockOffset, 30);
    EXPECT_TRUE(read.resultBits & kClockWrong);
    EXPECT_EQ(app.readHistory().latestOfEveryLocation().size(), 1u);
    app.shutDown();
    EXPECT_EQ(sim->stop(), 0);
    EXPECT_TRUE(fileExists(folder.file(kHistoryFileName)));
}

TEST_F(StationReadHistory, ASwitchThatDoesNotAnswerIsRecordedAsAFailedConnection) {
    unsigned closedPort = 0;
    {
        test::LoopbackServer gone("127.0.0.5");
        ASSERT_TRUE(gone.ok());
        closedPort = gone.port();
    }
    writeFile(folder.file("quirnradio.ini"),
              "[Commo]\r\nIPPort=" + std::to_string(closedPort) + "\r\n");
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    Location* location = app.database().findLocation(1, 1, 1);
    ASSERT_NE(location, nullptr);
    ASSERT_TRUE(readOnce(app, *location));
    ASSERT_TRUE(app.readHistory().flush(kHistoryWait));
    std::vector<LocationHealth> fleet = app.readHistory().latestOfEveryLocation();
    ASSERT_EQ(fleet.size(), 1u);
    EXPECT_EQ(fleet[0].latest.state, ReadState::ConnectionFailed);
    EXPECT_FALSE(fleet[0].latest.hasClock);
    EXPECT_EQ(fleet[0].lastAnswered, 0);
    app.shutDown();
}

TEST_F(StationReadHistory, ADamagedHistoryIsSetAsideAndTheStationRunsOn) {
    const std::string garbage(10000, '\x42');
    writeFile(folder.file(kHistoryFileName), garbage);
    writeFile(folder.file("quirnradio.ini"), "[Commo]\r\nIPPort=9\r\n");
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    std::optional<HistoryOpenResult> opened = app.readHistory().waitOpened(kHistoryWait);
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->outcome, HistoryOpenResult::Outcome::Replaced);
    // The station's own poll takes the worker's news to the System log.
    const std::string systemLog = logWriter.logFileName(clock, kLogSystem);
    EXPECT_TRUE(
        runUntil([&] { return readFile(systemLog).find("was damaged") != std::string::npos; }, 250))
        << readFile(systemLog);
    EXPECT_EQ(readFile(opened->setAsidePath), garbage);
    Location* location = app.database().findLocation(1, 1, 1);
    ASSERT_NE(location, nullptr);
    ASSERT_TRUE(readOnce(app, *location));
    ASSERT_TRUE(app.readHistory().flush(kHistoryWait));
    EXPECT_EQ(app.readHistory().locationHistory({1, 1, 1}).size(), 1u);
    app.shutDown();
}

}  // namespace
}  // namespace quirn
