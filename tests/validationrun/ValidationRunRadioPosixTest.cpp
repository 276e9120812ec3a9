#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "fleethealth/ReadRecorder.h"
#include "protocol/ReadState.h"
#include "tests/validationrun/PosixRadioChannel.h"
#include "tests/validationrun/StationRunFixture.h"
#include "validationrun/RunHistoryRecorder.h"

namespace quirn::test {
namespace {

constexpr long long kStepMs = 100;
constexpr int kRealWaitMs = 3;
constexpr int kQuietSteps = 200;

class RecordingRecorder final : public ReadRecorder {
  public:
    void record(const ReadRecord& read) override { reads.push_back(read); }
    std::vector<ReadRecord> reads;
};

// Radio switches at locations 1..4 of group 1, heard over one pseudo-terminal.
class RadioRun : public StationRunFixture {
  protected:
    RadioChannel radio{clock};

    // Locations 1..`count` on the radio; `ignored` (0: none) is validate-disabled.
    void writeRadioStation(int count, int ignored, const std::string& settings) {
        std::string locations;
        for (int n = 1; n <= count; ++n) locations += locationLine(n, kRadioAddress);
        if (ignored != 0) locations += "Ignore,1,1," + std::to_string(ignored) + "\r\n";
        writeStation(locations, "RadioPort,1\r\n" + settings,
                     "[Serial]\r\nCOM1=" + radio.devicePath() + "\r\n");
    }

    // Radio locations whose read the station has under way now.
    int radioReadsUnderWay() const {
        int n = 0;
        app->database().visitLocations([&n](const Location& l) {
            auto s = static_cast<ReadState>(l.readState);
            if (l.connection == kRadioAddress &&
                (s == ReadState::Reading || s == ReadState::ReadingAgain))
                ++n;
        });
        return n;
    }

    // Runs the station until the run ended, serving the radio; the most radio reads seen under
    // way at once.
    int runToEnd() {
        int most = 0;
        const bool ended = runUntil([&] { return !run().running(); }, kStepMs,
                                    [&] {
                                        radio.serve(kRealWaitMs);
                                        most = std::max(most, radioReadsUnderWay());
                                    });
        EXPECT_TRUE(ended) << "the run did not end; " << run().progress().done << " of "
                           << run().progress().total;
        return most;
    }
};

TEST_F(RadioRun, ARunAtStartUpReadsEverySwitchOnceOneAtATimeAndSkipsTheDisabledOne) {
    ASSERT_TRUE(radio.ok());
    for (int n = 1; n <= 4; ++n) radio.addSwitch(n, n == 2);
    writeRadioStation(4, 4, "ValidateOnPowerup,1\r\n");
    ASSERT_TRUE(startStation());
    ASSERT_TRUE(app->comms()->commo().serialPort().isOpen());
    // Started by start-up itself, before any tick.
    EXPECT_TRUE(run().running());
    EXPECT_NE(systemLog().find("Validation run of all locations started at start-up."),
              std::string::npos)
        << systemLog();
    // Every radio read ends in the read-back handler, the silent one's too (with nothing): the
    // handler's listener records them all, and the run adds none.
    RecordingRecorder history;
    RunHistoryRecorder recorder(history, app->comms()->download(),
                                RunHistoryRecorder::Records::NotHandled);
    run().setSink(&recorder);

    const int most = runToEnd();
    EXPECT_EQ(most, 1) << "radio reads overlapped";
    EXPECT_EQ(radio.answers(1), 1);
    EXPECT_EQ(radio.answers(3), 1);
    // The silent switch was asked once, gave nothing, and the run went on past it.
    EXPECT_EQ(radio.readRequests(2), 1);
    EXPECT_EQ(radio.answers(2), 0);
    EXPECT_EQ(radio.readRequests(4), 0) << "a validate-disabled switch was read";
    EXPECT_EQ(static_cast<ReadState>(app->database().findLocation(1, 1, 2)->readState),
              ReadState::ConnectionFailed);
    EXPECT_TRUE(history.reads.empty()) << history.reads.size() << " recorded twice";
    run().setSink(nullptr);

    ASSERT_TRUE(run().lastSummary().has_value());
    const RunSummary& summary = *run().lastSummary();
    EXPECT_FALSE(summary.stopped);
    EXPECT_EQ(summary.counts.read(), 3u);
    EXPECT_EQ(summary.counts.passed + summary.counts.validateFailed, 2u);
    EXPECT_EQ(summary.counts.connectionFailed, 1u);
    EXPECT_EQ(summary.counts.skippedDisabled, 1u);
    EXPECT_NE(systemLog().find("Validation run of all locations ended: 3 read: "),
              std::string::npos)
        << systemLog();
    EXPECT_NE(systemLog().find("1 connection failed, 0 partial data, 1 skipped"), std::string::npos)
        << systemLog();
}

TEST_F(RadioRun, ARadioReadWaitsUntilTheTransmitterIsQuiet) {
    ASSERT_TRUE(radio.ok());
    radio.addSwitch(1);
    writeRadioStation(1, 0, "");
    ASSERT_TRUE(startStation());
    CommoHandler& commo = app->comms()->commo();
    // A page for everyone that keeps the transmitter busy for eight seconds.
    const std::size_t pageBytes = 2000;
    commo.enqueueBytes(std::string(pageBytes, 'x'));
    const std::time_t queued = clock.now();
    const std::time_t onAir = SerialPort::onAirSeconds(pageBytes);
    ASSERT_EQ(run().start(RunSelection::all(), "by the technician"),
              ValidationRun::StartResult::Started);
    const Location& location = *app->database().findLocation(1, 1, 1);
    // When the run handed the read to the handler: the location shows "Reading" from then on.
    std::time_t readStarted = 0;
    const bool ended =
        runUntil([&] { return !run().running(); }, kStepMs,
                 [&] {
                     radio.serve(kRealWaitMs);
                     if (readStarted == 0 &&
                         static_cast<ReadState>(location.readState) == ReadState::ReadingAgain)
                         readStarted = clock.now();
                 });
    ASSERT_TRUE(ended);
    EXPECT_EQ(radio.answers(1), 1);
    ASSERT_NE(readStarted, 0);
    EXPECT_GE(readStarted - queued, onAir)
        << "the read was started while the page was still on the air";
}

TEST_F(RadioRun, NoRunAtStartUpWithoutTheSetting) {
    ASSERT_TRUE(radio.ok());
    radio.addSwitch(1);
    writeRadioStation(1, 0, "ValidateOnPowerup,0\r\n");
    ASSERT_TRUE(startStation());
    EXPECT_FALSE(run().running());
    // Twenty seconds of the station's time: a run would have asked the switch long before.
    int steps = 0;
    runUntil([&] { return ++steps > kQuietSteps; }, kStepMs, [&] { radio.serve(kRealWaitMs); });
    EXPECT_EQ(radio.readRequests(1), 0);
    EXPECT_EQ(systemLog().find("Validation run"), std::string::npos) << systemLog();
}

TEST_F(RadioRun, StopDropsWhatIsQueuedAndLetsTheReadInFlightEnd) {
    ASSERT_TRUE(radio.ok());
    for (int n = 1; n <= 3; ++n) radio.addSwitch(n);
    writeRadioStation(3, 0, "");
    ASSERT_TRUE(startStation());
    ASSERT_EQ(run().start(RunSelection::all(), "by the technician"),
              ValidationRun::StartResult::Started);
    ASSERT_TRUE(runUntil([&] { return run().readsInFlight() == 1; }, kStepMs,
                         [&] { radio.serve(kRealWaitMs); }));
    // A second request while it runs is refused and said so.
    EXPECT_EQ(run().start(RunSelection::failing(), "by the technician"),
              ValidationRun::StartResult::AlreadyRunning);
    EXPECT_NE(systemLog().find("Validation run of failing locations by the technician not "
                               "started: the run of all locations is still under way."),
              std::string::npos)
        << systemLog();

    run().stop();
    EXPECT_TRUE(run().running()) << "the read in flight must end first";
    runToEnd();
    EXPECT_EQ(radio.answers(1), 1) << "the read in flight did not end with its answer";
    EXPECT_EQ(radio.readRequests(2), 0);
    EXPECT_EQ(radio.readRequests(3), 0);
    ASSERT_TRUE(run().lastSummary().has_value());
    EXPECT_TRUE(run().lastSummary()->stopped);
    EXPECT_EQ(run().lastSummary()->notRead, 2u);
    EXPECT_EQ(run().lastSummary()->counts.read(), 1u);
    EXPECT_NE(systemLog().find("Validation run of all locations stopped: 1 read: "),
              std::string::npos)
        << systemLog();
    EXPECT_NE(systemLog().find(", 2 not read."), std::string::npos) << systemLog();
}

}  // namespace
}  // namespace quirn::test
