#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "comms/CommoHandler.h"
#include "loader/LoaderController.h"
#include "loader/LoaderSettings.h"
#include "loader/ProtocolReadBack.h"
#include "loader/UtilitiesController.h"
#include "plans/Location.h"
#include "platform/PseudoTerminal.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReadBack.h"
#include "protocol/Validation.h"
#include "sim/PtyTransport.h"
#include "sim/SimulatedTimeSwitch.h"
#include "tests/loader/ElmStreetGroup.h"
#include "tests/loader/PtyLoaderFixture.h"
#include "tests/loader/StalledLine.h"

namespace quirn::test {
namespace {

using sim::SimModel;
using Match = LoaderController::Match;

constexpr int kMg = kPtyMasterGroup;
constexpr int kG = kPtyGroup;
constexpr int kLocation = 1;
constexpr int kNoAnswerWaitMs = 200;
// New York stays 5 hours west of UTC in standard time (the tests run with that zone).
constexpr int kHoursWest = 5;
constexpr long kTwoMinutes = 2 * 60;
constexpr long kOneDay = 24 * 60 * 60;
// 968 bytes of ten bits at 2400 baud, in loader ticks.
constexpr int kImageLineTicks = 8;

// The station's loader port, keeping a copy of every reply the loader takes, so that the
// station's own read-back handling can be run over the same bytes.
class KeepingPort final : public LoaderPort {
  public:
    explicit KeepingPort(LoaderPort& inner) : inner_(inner) {}
    bool open(int comNumber, int baud) override { return inner_.open(comNumber, baud); }
    bool reopen(int baud) override { return inner_.reopen(baud); }
    bool writeNow(const std::string& bytes) override { return inner_.writeNow(bytes); }
    std::size_t bytesWaiting() const override { return inner_.bytesWaiting(); }
    std::size_t messagesGivenUp() const override { return inner_.messagesGivenUp(); }
    std::string takeInput() override {
        lastTaken = inner_.takeInput();
        return lastTaken;
    }
    bool isSetUp() const override { return inner_.isSetUp(); }
    int comNumber() const override { return inner_.comNumber(); }
    int currentBaud() const override { return inner_.currentBaud(); }

    std::string lastTaken;

  private:
    LoaderPort& inner_;
};

// The loader and the utilities over the pseudo-terminal, the loader port keeping its replies.
class LoaderMatrixPosixTest : public PtyLoaderFixture {
  protected:
    void SetUp() override {
        PtyLoaderFixture::SetUp();
        keeping = std::make_unique<KeepingPort>(stack->port());
        port = keeping.get();
    }

    void attach(SimModel model, sim::SimFaults faults = {}, long clockOffsetSeconds = 0) {
        sim::SimSettings s;
        s.model = model;
        s.address = {kMg, kG, kLocation};
        s.zone = sim::ZoneRule::northAmerican(kHoursWest);
        s.faults = faults;
        s.clock.clockOffsetSeconds = clockOffsetSeconds;
        device = std::make_unique<sim::SimulatedTimeSwitch>(s, clock);
        device->setLogSink([this](const std::string& line) { switchLog.push_back(line); });
        transport = std::make_unique<sim::PtyTransport>(
            *pty, *device, clock, [this](const std::string& line) { switchLog.push_back(line); });
    }

    std::unique_ptr<LoaderController> makeLoader(AttachedType type) {
        profile.writeInt("Clock", "Type", static_cast<int>(type));
        auto loader = std::make_unique<LoaderController>(services(), view);
        loader->open();
        EXPECT_EQ(loader->type(), type);
        EXPECT_TRUE(loader->selectGroup(kMg, kG));
        return loader;
    }

    bool switchLogHas(const std::string& part) const {
        for (const std::string& line : switchLog)
            if (line.find(part) != std::string::npos) return true;
        return false;
    }

    std::unique_ptr<KeepingPort> keeping;
    std::vector<std::string> switchLog;
};

struct TypeCase {
    AttachedType type;
    SimModel model;
};

void PrintTo(const TypeCase& c, std::ostream* os) {
    *os << "type " << static_cast<int>(c.type) << " on " << sim::modelName(c.model);
}

std::string typeCaseName(const ::testing::TestParamInfo<TypeCase>& info) {
    return std::string("Type") + std::to_string(static_cast<int>(info.param.type)) +
           sim::modelName(info.param.model);
}

// --- Read back: matches after the write, differs once the plan changed ----------------------

class LoaderMatrixReadBack : public LoaderMatrixPosixTest,
                             public ::testing::WithParamInterface<TypeCase> {};

TEST_P(LoaderMatrixReadBack, MatchesAfterTheWriteAndDiffersOnceThePlanOrTheSwitchChanged) {
    const TypeCase& c = GetParam();
    attach(c.model);
    auto loader = makeLoader(c.type);

    writeGroup(*loader);
    readSwitch(*loader);
    ASSERT_TRUE(loader->lastRead().valid) << loader->statusText();
    EXPECT_EQ(loader->match(), Match::Matches);

    // The plan in the database moves away from what the switch holds.
    Group& g = db.group(kMg, kG);
    ASSERT_TRUE(g.addStep(Step::atTime(kMg, kG, 1, 12, 10, 1)));
    ASSERT_TRUE(g.addStep(Step::atTime(kMg, kG, 1, 12, 40, 0)));
    g.markProgrammingChanged();
    readSwitch(*loader);
    ASSERT_TRUE(loader->lastRead().valid) << loader->statusText();
    EXPECT_EQ(loader->match(), Match::Differs);

    // The switch takes the changed plan: it matches again.
    writeGroup(*loader);
    readSwitch(*loader);
    ASSERT_TRUE(loader->lastRead().valid) << loader->statusText();
    EXPECT_EQ(loader->match(), Match::Matches);
    EXPECT_EQ(view.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(AllTypes, LoaderMatrixReadBack,
                         ::testing::Values(TypeCase{AttachedType::Qn510, SimModel::QN510},
                                           TypeCase{AttachedType::Mx40, SimModel::MX40},
                                           TypeCase{AttachedType::Mx40WithLr40, SimModel::LR40},
                                           TypeCase{AttachedType::Qn510WithLr40, SimModel::LR40}),
                         typeCaseName);

// --- Manual ON and OFF -------------------------------------------------------------------

class LoaderMatrixManual : public LoaderMatrixPosixTest,
                           public ::testing::WithParamInterface<TypeCase> {};

TEST_P(LoaderMatrixManual, ManualOnAndOffSwitchTheRelayOfTheSwitch) {
    const TypeCase& c = GetParam();
    attach(c.model);
    auto loader = makeLoader(c.type);
    // Monday 09:15: the program written holds the relay off (07:50 OFF was the last step).
    writeGroup(*loader);
    ASSERT_FALSE(device->relayOn());

    ASSERT_TRUE(loader->manual(true));
    turnSwitch(kFirstByteWaitMs);
    EXPECT_TRUE(device->relayOn());

    ASSERT_TRUE(loader->manual(false));
    turnSwitch(kFirstByteWaitMs);
    EXPECT_FALSE(device->relayOn());
    EXPECT_EQ(view.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(Types, LoaderMatrixManual,
                         ::testing::Values(TypeCase{AttachedType::Qn510, SimModel::QN510},
                                           TypeCase{AttachedType::Mx40, SimModel::MX40}),
                         typeCaseName);

// --- A baud change the switch does not follow ----------------------------------------------

class LoaderMatrixBaud : public LoaderMatrixPosixTest,
                         public ::testing::WithParamInterface<TypeCase> {};

TEST_P(LoaderMatrixBaud, AnIgnoredChangeTo4800FailsAndTheStationPortIsBackAtItsRate) {
    const TypeCase& c = GetParam();
    sim::SimFaults faults;
    faults.ignoreBaud = true;
    attach(c.model, faults);
    UtilitiesController utilities(timers, *port, loaderSettings, view, c.type);
    utilities.open();
    const int configured = utilities.configuredBaud();
    ASSERT_EQ(configured, kBaud2400);
    view.answers = {true};
    utilities.changeSwitchBaud(kBaud4800);
    ASSERT_TRUE(utilities.baudChange().running());

    int highestStationRate = 0;
    for (int i = 0; i < 2 * kMaxTicks && utilities.baudChange().running(); ++i) {
        timers.advanceMs(UtilitiesController::kTickMs);
        turnSwitch(kQuietWaitMs);
        highestStationRate = std::max(highestStationRate, pty->deviceBaud());
    }
    EXPECT_FALSE(utilities.baudChange().running());
    EXPECT_FALSE(utilities.baudChange().succeeded());
    // The station did go to 4800 on the way, and its page there found no listener.
    EXPECT_EQ(highestStationRate, kBaud4800);
    EXPECT_TRUE(switchLogHas("lost")) << "nothing was sent at the new rate";
    EXPECT_EQ(device->lineRate(), kBaud2400);
    EXPECT_EQ(port->currentBaud(), configured);
    EXPECT_EQ(pty->deviceBaud(), configured);
    ASSERT_FALSE(view.messages.empty());
    EXPECT_EQ(view.messages.back().text,
              "Baud rate change FAILURE.  Please check cabling and try again.");
}

INSTANTIATE_TEST_SUITE_P(Lr40Types, LoaderMatrixBaud,
                         ::testing::Values(TypeCase{AttachedType::Mx40WithLr40, SimModel::LR40},
                                           TypeCase{AttachedType::Qn510WithLr40, SimModel::LR40}),
                         typeCaseName);

// --- The station's validation of what the loader read -------------------------------------

struct ClockCase {
    const char* name;
    AttachedType type;
    SimModel model;
    TimeSwitchModel stationModel;
    long clockOffsetSeconds;
    unsigned expected;
};

void PrintTo(const ClockCase& c, std::ostream* os) {
    *os << c.name;
}

class LoaderMatrixClock : public LoaderMatrixPosixTest,
                          public ::testing::WithParamInterface<ClockCase> {};

TEST_P(LoaderMatrixClock, TheStationsValidationJudgesTheClockOfTheReadBack) {
    const ClockCase& c = GetParam();
    attach(c.model, {}, c.clockOffsetSeconds);
    Location& location = db.group(kMg, kG).addLocation(Location(kMg, kG, kLocation));
    location.model = static_cast<int32_t>(c.stationModel);
    auto loader = makeLoader(c.type);

    // The program image needs about 4 seconds on a 2400 baud line and the station sets its
    // clock that much ahead; the switch takes it when it would have arrived.
    ASSERT_TRUE(loader->write());
    for (int i = 0; i < kImageLineTicks; ++i) timers.advanceMs(LoaderController::kTickMs);
    turnSwitch(kFirstByteWaitMs);
    tickUntilIdle(*loader);
    // The station takes the moment the reply arrives as the read time.
    ASSERT_TRUE(loader->read());
    turnSwitch(kFirstByteWaitMs);
    awaitStationReply(kFirstByteWaitMs);
    const std::time_t replyTime = clock.now();
    tickUntilIdle(*loader);
    ASSERT_TRUE(loader->lastRead().valid) << loader->statusText();
    // The loader judges the clock as the station's validation does.
    EXPECT_EQ(loader->match(), c.expected == 0 ? Match::Matches : Match::ClockWrong)
        << loader->clockOffsetLine();

    Validation validation(download);
    ReadBack stationReadBack(validation);
    const std::string& reply = keeping->lastTaken;
    ASSERT_FALSE(reply.empty());
    EXPECT_EQ(stationReadBack.onReadData(location, reinterpret_cast<const uint8_t*>(reply.data()),
                                         reply.size(), replyTime),
              1);
    ASSERT_NE(location.image.get(), nullptr);
    EXPECT_EQ(validation.compare(location), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Clocks, LoaderMatrixClock,
    ::testing::Values(ClockCase{"Qn510OnTime", AttachedType::Qn510, SimModel::QN510,
                                TimeSwitchModel::QN510, 0, 0},
                      ClockCase{"Qn510TwoMinutesAhead", AttachedType::Qn510, SimModel::QN510,
                                TimeSwitchModel::QN510, kTwoMinutes, kClockWrong},
                      ClockCase{"Qn510TwoMinutesBehind", AttachedType::Qn510, SimModel::QN510,
                                TimeSwitchModel::QN510, -kTwoMinutes, kClockWrong},
                      ClockCase{"Qn510WrongWeekday", AttachedType::Qn510, SimModel::QN510,
                                TimeSwitchModel::QN510, kOneDay, kClockWrong},
                      ClockCase{"Mx40OnTime", AttachedType::Mx40, SimModel::MX40,
                                TimeSwitchModel::MX40, 0, 0},
                      ClockCase{"Mx40TwoMinutesAhead", AttachedType::Mx40, SimModel::MX40,
                                TimeSwitchModel::MX40, kTwoMinutes, kClockWrong},
                      ClockCase{"Mx40TwoMinutesBehind", AttachedType::Mx40, SimModel::MX40,
                                TimeSwitchModel::MX40, -kTwoMinutes, kClockWrong}),
    [](const ::testing::TestParamInfo<ClockCase>& info) { return std::string(info.param.name); });

// --- What the loader itself says about the switch's clock -----------------------------------

struct FastClockCase {
    const char* name;
    AttachedType type;
    SimModel model;
    long clockOffsetSeconds;
    Match match;
    const char* clockLine;   // only what the switch reported
    const char* offsetLine;  // how far that is from the computer's time of the read
};

void PrintTo(const FastClockCase& c, std::ostream* os) {
    *os << c.name;
}

class LoaderMatrixFastClock : public LoaderMatrixPosixTest,
                              public ::testing::WithParamInterface<FastClockCase> {};

// The switch takes the written program and time, but its clock runs off by the case's offset
// from then on. The read is at 09:15:05: a QN510 answers with its weekday, hour and minute, an
// MX40 with its full clock.
TEST_P(LoaderMatrixFastClock, TheResultJudgesTheClockAndShowsOnlyWhatTheSwitchReported) {
    const FastClockCase& c = GetParam();
    attach(c.model, {}, c.clockOffsetSeconds);
    auto loader = makeLoader(c.type);
    ASSERT_TRUE(loader->write());
    for (int i = 0; i < kImageLineTicks; ++i) timers.advanceMs(LoaderController::kTickMs);
    turnSwitch(kFirstByteWaitMs);
    tickUntilIdle(*loader);
    readSwitch(*loader);
    ASSERT_TRUE(loader->lastRead().valid) << loader->statusText();

    EXPECT_EQ(loader->match(), c.match) << loader->matchText();
    EXPECT_EQ(loader->clockLine(), c.clockLine);
    EXPECT_EQ(loader->clockOffsetLine(), c.offsetLine);
    const std::string verdict = c.match == Match::Matches
                                    ? "Program matches the group."
                                    : "Program matches the group, but the switch clock is wrong.";
    EXPECT_EQ(loader->matchText(), verdict + " Compared with Elm Street,5.");
}

constexpr long kFiveMinutesTwoSeconds = 5 * 60 + 2;
constexpr long kJustInside = 60 + 59;

INSTANTIATE_TEST_SUITE_P(
    Offsets, LoaderMatrixFastClock,
    ::testing::Values(FastClockCase{"Qn510FiveMinutesFast", AttachedType::Qn510, SimModel::QN510,
                                    kFiveMinutesTwoSeconds, Match::ClockWrong,
                                    "Clock Data read at 09:20 Monday.", "Switch clock 5 min fast."},
                      FastClockCase{"Qn510FiveMinutesSlow", AttachedType::Qn510, SimModel::QN510,
                                    -kFiveMinutesTwoSeconds, Match::ClockWrong,
                                    "Clock Data read at 09:09 Monday.", "Switch clock 6 min slow."},
                      FastClockCase{"Mx40FiveMinutesFast", AttachedType::Mx40, SimModel::MX40,
                                    kFiveMinutesTwoSeconds, Match::ClockWrong,
                                    "Clock Data read at 09:20.07 Monday, March 16, 2026.",
                                    "Switch clock 5 min 02 s fast."},
                      FastClockCase{"Mx40OneMinuteFiftyNineFast", AttachedType::Mx40,
                                    SimModel::MX40, kJustInside, Match::Matches,
                                    "Clock Data read at 09:17.04 Monday, March 16, 2026.",
                                    "Switch clock 1 min 59 s fast."},
                      FastClockCase{"Lr40FiveMinutesSlow", AttachedType::Mx40WithLr40,
                                    SimModel::LR40, -kFiveMinutesTwoSeconds, Match::ClockWrong,
                                    "Clock Data read at 09:10.03 Monday, March 16, 2026.",
                                    "Switch clock 5 min 02 s slow."}),
    [](const ::testing::TestParamInfo<FastClockCase>& info) {
        return std::string(info.param.name);
    });

// --- "Sent" once the bytes have left the port ------------------------------------------------

// The far end stops reading: the program waits in the station for the port. The window says
// so, and "sent" (with the time it set) only once the far end reads again and the bytes left.
TEST_F(LoaderMatrixPosixTest, AProgramIsSaidSentOnlyOnceItsBytesHaveLeftThePort) {
    attach(SimModel::MX40);
    auto loader = makeLoader(AttachedType::Mx40);
    StalledLine line(*pty);
    ASSERT_TRUE(line.stall());

    ASSERT_TRUE(loader->write());
    tickUntilIdle(*loader);
    const std::size_t waiting = port->bytesWaiting();
    ASSERT_GT(waiting, 0u) << "the line took the program although it was full";
    EXPECT_EQ(loader->sentLine(), "Program for group Elm Street,5: " + std::to_string(waiting) +
                                      " bytes still wait for the serial port.");
    // Nothing new is queued behind it; the button says why.
    EXPECT_NE(loader->busyReason(), "");
    EXPECT_FALSE(loader->sendTime());
    ASSERT_FALSE(view.messages.empty());
    EXPECT_EQ(view.messages.back().text, loader->busyReason());
    EXPECT_TRUE(view.messages.back().warning);

    ASSERT_TRUE(line.release());
    for (int i = 0; i < kMaxTicks && port->bytesWaiting() > 0; ++i)
        timers.advanceMs(LoaderController::kTickMs);
    timers.advanceMs(LoaderController::kTickMs);
    EXPECT_EQ(loader->sentLine(),
              "Program sent to group Elm Street,5, with the switch clock set to 09:15:04 Monday, "
              "March 16, 2026.");
    EXPECT_EQ(loader->busyReason(), "");
    turnSwitch(kFirstByteWaitMs);
    readSwitch(*loader);
    EXPECT_EQ(loader->match(), Match::Matches) << loader->clockOffsetLine();
}

// A port that never takes the bytes gives them up after five minutes: the loader says so
// itself, not only the System log, and its buttons work again.
TEST_F(LoaderMatrixPosixTest, AProgramThePortGivesUpIsSaidInTheLoader) {
    attach(SimModel::QN510);
    auto loader = makeLoader(AttachedType::Qn510);
    StalledLine line(*pty);
    ASSERT_TRUE(line.stall());
    ASSERT_TRUE(loader->write());
    tickUntilIdle(*loader);
    const std::size_t waiting = port->bytesWaiting();
    ASSERT_GT(waiting, 0u);

    constexpr long long kPastGiveUpMs = 5 * 60 * 1000 + LoaderController::kTickMs;
    timers.advanceMs(kPastGiveUpMs);
    EXPECT_EQ(port->bytesWaiting(), 0u);
    EXPECT_EQ(loader->sentLine(),
              "Program for group Elm Street,5 was given up: " + std::to_string(waiting) +
                  " bytes had not left the serial port after 5 minutes.  Check the port in "
                  "Utilities and send it again.");
    EXPECT_EQ(loader->busyReason(), "");
}

// --- Buttons during a read or write count ---------------------------------------------------

// While the loader counts a read or a write, the buttons that send say why they do nothing and
// nothing more goes to the switch.
TEST_F(LoaderMatrixPosixTest, DuringTheCountTheSendingButtonsSayWhyNothingHappens) {
    attach(SimModel::QN510);
    auto loader = makeLoader(AttachedType::Qn510);
    ASSERT_TRUE(loader->read());
    turnSwitch(kFirstByteWaitMs);
    const std::size_t linesBefore = switchLog.size();
    EXPECT_FALSE(loader->read());
    EXPECT_FALSE(loader->write());
    EXPECT_FALSE(loader->manual(true));
    EXPECT_FALSE(loader->manual(false));
    EXPECT_FALSE(loader->sendTime());
    ASSERT_EQ(view.messages.size(), 5u);
    for (const RecordingView::Shown& m : view.messages) {
        EXPECT_EQ(m.text, "Reading the time switch: wait until the 7 seconds are over.");
        EXPECT_TRUE(m.warning);
    }
    EXPECT_FALSE(pty->waitReadable(kQuietWaitMs)) << "a refused button sent something";
    EXPECT_EQ(switchLog.size(), linesBefore);
    awaitStationReply(kFirstByteWaitMs);
    tickUntilIdle(*loader);
    EXPECT_TRUE(loader->lastRead().valid) << "the refused buttons spoilt the read";

    view.messages.clear();
    ASSERT_TRUE(loader->write());
    EXPECT_EQ(loader->busyReason(), "Writing the time switch: wait until the 7 seconds are over.");
    EXPECT_FALSE(loader->manual(true));
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, loader->busyReason());
    turnSwitch(kFirstByteWaitMs);
    tickUntilIdle(*loader);
    EXPECT_EQ(loader->busyReason(), "");
    EXPECT_TRUE(loader->manual(true));
}

// The relay line of a read no longer holds once a relay was switched by hand; a new read shows
// the relay as it is.
TEST_F(LoaderMatrixPosixTest, ManualOnReplacesTheRelayLineOfTheLastRead) {
    attach(SimModel::QN510);
    auto loader = makeLoader(AttachedType::Qn510);
    writeGroup(*loader);
    readSwitch(*loader);
    const auto has = [&loader](const std::string& line) {
        const auto& d = loader->description();
        return std::find(d.begin(), d.end(), line) != d.end();
    };
    ASSERT_TRUE(has("Relay status is OFF."));
    ASSERT_TRUE(loader->manual(true));
    EXPECT_FALSE(has("Relay status is OFF."));
    EXPECT_TRUE(
        has("Relay status not known: Manual ON was sent after the read.  Read again to see it."));
    turnSwitch(kFirstByteWaitMs);
    readSwitch(*loader);
    EXPECT_TRUE(has("Relay status is ON."));
}

// A failed baud change leaves its line in the dialog; a later change that works takes it away.
TEST_F(LoaderMatrixPosixTest, TheFailureLineOfABaudChangeGoesWhenALaterChangeWorks) {
    sim::SimFaults faults;
    faults.ignoreBaud = true;
    attach(SimModel::LR40, faults);
    UtilitiesController utilities(timers, *port, loaderSettings, view, AttachedType::Mx40WithLr40);
    utilities.open();
    view.answers = {true};
    utilities.changeSwitchBaud(kBaud4800);
    for (int i = 0; i < 2 * kMaxTicks && utilities.baudChange().running(); ++i) {
        timers.advanceMs(UtilitiesController::kTickMs);
        turnSwitch(kQuietWaitMs);
    }
    ASSERT_FALSE(utilities.baudChange().succeeded());
    EXPECT_EQ(utilities.baudChange().headline(),
              "Baud rate change FAILURE.  Please check cabling and try again.");

    utilities.changePcBaud(kBaud4800);
    EXPECT_EQ(view.messages.back().text, "Baud rate changed to 4800 for PC.");
    EXPECT_EQ(pty->deviceBaud(), kBaud4800);
    EXPECT_EQ(utilities.baudChange().headline(), "") << "the failure is stale now";
}

// --- A read nobody answers ------------------------------------------------------------------

struct SilentCase {
    AttachedType type;
    SimModel model;
    const char* status;  // after the 7 seconds of the read, on the manual clock
};

void PrintTo(const SilentCase& c, std::ostream* os) {
    *os << "type " << static_cast<int>(c.type) << " on " << sim::modelName(c.model);
}

class LoaderMatrixNoAnswer : public LoaderMatrixPosixTest,
                             public ::testing::WithParamInterface<SilentCase> {};

TEST_P(LoaderMatrixNoAnswer, AReadWithoutAnswerShowsTheTypesFailure) {
    const SilentCase& c = GetParam();
    sim::SimFaults faults;
    faults.noAnswer = true;
    attach(c.model, faults);
    auto loader = makeLoader(c.type);

    readSwitch(*loader, kNoAnswerWaitMs);
    EXPECT_TRUE(switchLogHas(" rx ")) << "the request did not reach the switch";
    EXPECT_EQ(loader->lastRead().bytes, 0u);
    EXPECT_FALSE(loader->lastRead().valid);
    EXPECT_EQ(loader->match(), Match::None);
    EXPECT_EQ(loader->statusText(), c.status);
    EXPECT_TRUE(loader->clockLine().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Types, LoaderMatrixNoAnswer,
    ::testing::Values(SilentCase{AttachedType::Qn510, SimModel::QN510,
                                 "Quirn Clock Read FAILED 09:15 Monday, March 16, 2026."},
                      SilentCase{AttachedType::Mx40, SimModel::MX40,
                                 "MX40 Clock Read FAILED 09:15 Monday, March 16, 2026."}),
    [](const ::testing::TestParamInfo<SilentCase>& info) {
        return std::string("Type") + std::to_string(static_cast<int>(info.param.type)) +
               sim::modelName(info.param.model);
    });

}  // namespace
}  // namespace quirn::test
