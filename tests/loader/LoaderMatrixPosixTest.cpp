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

namespace quirn::test {
namespace {

using sim::SimModel;
using Match = LoaderController::Match;

constexpr int kMg = kPtyMasterGroup;
constexpr int kG = kPtyGroup;
constexpr int kLocation = 1;
constexpr int kPollMs = 5;
// A reply is whole once no byte has come for this long.
constexpr int kReplyQuietMs = 60;
constexpr int kNoAnswerWaitMs = 200;
constexpr int kMaxTicks = 40;
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

    // Waits (bounded) until the station side holds a reply that has stopped growing, or until
    // `limitMs` passed without a byte.
    void awaitStationReply(int limitMs) {
        using namespace std::chrono;
        auto end = steady_clock::now() + milliseconds(limitMs);
        std::size_t held = handler->serialPort().readAvailable();
        auto lastGrowth = steady_clock::now();
        for (int poll = 0; poll < limitMs / kPollMs && steady_clock::now() < end; ++poll) {
            std::this_thread::sleep_for(milliseconds(kPollMs));
            std::size_t now = handler->serialPort().readAvailable();
            if (now != held) {
                held = now;
                lastGrowth = steady_clock::now();
            } else if (held > 0 &&
                       steady_clock::now() - lastGrowth >= milliseconds(kReplyQuietMs)) {
                return;
            }
        }
    }
    void tickUntilIdle(LoaderController& loader) {
        for (int i = 0; i < kMaxTicks && loader.mode() != LoaderController::Mode::Idle; ++i)
            timers.advanceMs(LoaderController::kTickMs);
        EXPECT_EQ(loader.mode(), LoaderController::Mode::Idle);
    }
    void writeGroup(LoaderController& loader) {
        ASSERT_TRUE(loader.write());
        turnSwitch(kFirstByteWaitMs);
        tickUntilIdle(loader);
    }
    void readSwitch(LoaderController& loader, int replyWaitMs = kFirstByteWaitMs) {
        ASSERT_TRUE(loader.read());
        turnSwitch(kFirstByteWaitMs);
        awaitStationReply(replyWaitMs);
        tickUntilIdle(loader);
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
    // The loader compares the program only.
    EXPECT_EQ(loader->match(), Match::Matches);

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
