#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "comms/CommoHandler.h"
#include "loader/LoaderController.h"
#include "loader/LoaderSettings.h"
#include "loader/ProtocolReadBack.h"
#include "loader/UtilitiesController.h"
#include "platform/PseudoTerminal.h"
#include "protocol/PlanDownload.h"
#include "sim/PtyTransport.h"
#include "sim/SimulatedTimeSwitch.h"
#include "tests/loader/ElmStreetGroup.h"
#include "tests/loader/PtyLoaderFixture.h"

namespace quirn::test {
namespace {

using sim::SimModel;

constexpr int kMg = kPtyMasterGroup;
constexpr int kG = kPtyGroup;
// The compact QN510 reply to the group below: 16 bytes and four default-week entries of 3
// (06:45 ON and 07:50 OFF on four weekdays, 14:05 ON and 15:00 OFF on Wednesday).
constexpr std::size_t kCompactReply = 16 + 3 * 4;

// The loader over the pseudo-terminal; the switch is turned after every tick.
class LoaderPtyPosixTest : public PtyLoaderFixture {
  protected:
    void attach(SimModel model) {
        sim::SimSettings s;
        s.model = model;
        s.address = {kMg, kG, 1};
        s.zone = sim::ZoneRule::northAmerican(5);
        device = std::make_unique<sim::SimulatedTimeSwitch>(s, clock);
        transport = std::make_unique<sim::PtyTransport>(*pty, *device, clock, nullptr);
    }

    // Waits (bounded) until the station side holds `count` received bytes.
    void awaitStationBytes(std::size_t count) {
        auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kFirstByteWaitMs);
        while (handler->serialPort().readAvailable() < count &&
               std::chrono::steady_clock::now() < end) {
        }
    }
    void tickUntilIdle(LoaderController& loader) {
        for (int i = 0; i < 20 && loader.mode() != LoaderController::Mode::Idle; ++i)
            timers.advanceMs(LoaderController::kTickMs);
    }
};

struct PtyCase {
    AttachedType type;
    SimModel model;
    std::size_t replySize;
};

class LoaderPtyRoundTrip : public LoaderPtyPosixTest,
                           public ::testing::WithParamInterface<PtyCase> {};

TEST_P(LoaderPtyRoundTrip, AGroupWrittenOverAPseudoTerminalReadsBackEqual) {
    const PtyCase& c = GetParam();
    attach(c.model);
    profile.writeInt("Clock", "Type", static_cast<int>(c.type));
    LoaderController loader(services(), view);
    loader.open();
    ASSERT_TRUE(loader.selectGroup(kMg, kG));

    ASSERT_TRUE(loader.write());
    turnSwitch(kFirstByteWaitMs);
    tickUntilIdle(loader);
    EXPECT_EQ(loader.statusText(), "No Clock Data Read Yet");

    ASSERT_TRUE(loader.read());
    turnSwitch(kFirstByteWaitMs);
    awaitStationBytes(c.replySize);
    tickUntilIdle(loader);
    EXPECT_EQ(loader.lastRead().bytes, c.replySize);
    ASSERT_TRUE(loader.lastRead().valid) << loader.statusText();
    EXPECT_EQ(loader.match(), LoaderController::Match::Matches);
    EXPECT_FALSE(loader.description().empty());
    EXPECT_EQ(view.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(Types, LoaderPtyRoundTrip,
                         ::testing::Values(PtyCase{AttachedType::Qn510, SimModel::QN510,
                                                   kCompactReply},
                                           PtyCase{AttachedType::Mx40, SimModel::MX40, 968}));

// The technician turns master groups on in the utilities while the station runs: every
// message of the next Write is addressed with the master group, the paged programming too, so
// the switch of master group 2 takes all of it and the read matches.
TEST_F(LoaderPtyPosixTest, MasterGroupsSwitchedOnInTheUtilitiesAddressTheWholeProgramming) {
    constexpr int kSecondMasterGroup = 2;
    addElmStreetGroup(db, kSecondMasterGroup, kG);
    sim::SimSettings s;
    s.model = SimModel::QN510;
    s.address = {kSecondMasterGroup, kG, 1};
    s.zone = sim::ZoneRule::northAmerican(5);
    device = std::make_unique<sim::SimulatedTimeSwitch>(s, clock);
    transport = std::make_unique<sim::PtyTransport>(*pty, *device, clock, nullptr);
    profile.writeInt("Clock", "Type", static_cast<int>(AttachedType::Qn510));
    settings.hasMasterGroups = 0;

    LoaderController loader(services(), view);
    loader.open();
    {
        UtilitiesController utilities(timers, *port, loaderSettings, view, AttachedType::Qn510);
        utilities.open();
        utilities.setMasterGroupsEnabled(true);
        utilities.close();
    }
    ASSERT_TRUE(loader.selectGroup(kSecondMasterGroup, kG));
    ASSERT_TRUE(loader.write());
    turnSwitch(kFirstByteWaitMs);
    tickUntilIdle(loader);
    ASSERT_TRUE(loader.read());
    turnSwitch(kFirstByteWaitMs);
    awaitStationBytes(kCompactReply);
    tickUntilIdle(loader);
    ASSERT_TRUE(loader.lastRead().valid) << loader.statusText();
    EXPECT_EQ(loader.match(), LoaderController::Match::Matches) << loader.statusText();
}

TEST_F(LoaderPtyPosixTest, TheBaudChangeMovesAnLr40To4800AndTheStationBackTo2400) {
    attach(SimModel::LR40);
    UtilitiesController utilities(timers, *port, loaderSettings, view, AttachedType::Mx40WithLr40);
    utilities.open();
    view.answers = {true};
    utilities.changeSwitchBaud(4800);
    for (int i = 0; i < 10 && utilities.baudChange().running(); ++i) {
        timers.advanceMs(UtilitiesController::kTickMs);
        turnSwitch(kQuietWaitMs);
        awaitStationBytes(utilities.baudChange().step() == 204 ? 10 : 0);
    }
    EXPECT_FALSE(utilities.baudChange().running());
    EXPECT_TRUE(utilities.baudChange().succeeded());
    EXPECT_EQ(device->lineRate(), 4800);
    EXPECT_EQ(port->currentBaud(), 2400);
    EXPECT_EQ(pty->deviceBaud(), 2400);
    ASSERT_FALSE(view.messages.empty());
    EXPECT_EQ(view.messages.back().text, "Baud rate changed to 4800 in attached time switch.");
}

}  // namespace
}  // namespace quirn::test
