#pragma once
#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <thread>

#include "comms/CommoHandler.h"
#include "loader/LoaderController.h"
#include "loader/LoaderStack.h"
#include "platform/PseudoTerminal.h"
#include "protocol/PlanDownload.h"
#include "sim/PtyTransport.h"
#include "sim/SimulatedTimeSwitch.h"
#include "tests/loader/ElmStreetGroup.h"
#include "tests/loader/PortFixture.h"

namespace quirn::test {

inline constexpr int kPtyMasterGroup = 1;
inline constexpr int kPtyGroup = 5;
// Bounded waits for the kernel to carry bytes across the pseudo-terminal.
inline constexpr int kFirstByteWaitMs = 1000;
inline constexpr int kPollMs = 5;
// A reply is whole once no byte has come for this long.
inline constexpr int kReplyQuietMs = 60;
// Loader ticks a write or read gets to end.
inline constexpr int kMaxTicks = 40;
inline constexpr int kQuietWaitMs = 30;
inline constexpr int kMaxSwitchTurns = 100;

// The loader on the station's real serial device code, opened on a pseudo-terminal whose far
// end is a simulated time switch run in this process. The controllers' and the handler's
// ticks run on the manual clock; real time passes only while bytes cross the pseudo-terminal.
// The station writes and reads the Elm Street group.
class PtyLoaderFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        makeFolder(folder.logs());
        pty = createPseudoTerminal();
        ASSERT_TRUE(pty->open(kBaud2400)) << pty->errorText();
        profile.writeString(kSerialSection, "COM" + std::to_string(kLoaderCom), pty->devicePath());
        stack = std::make_unique<LoaderStack>(
            LoaderStackSetup{clock, timers, working, &profile, loaderSettings, db, download},
            LoaderLink{protocol, protocol, errors, nullptr});
        handler = &stack->handler();
        handler->start();
        ASSERT_EQ(handler->openRadioPort(kLoaderCom, kBaud2400), 0);
        port = &stack->port();
        addElmStreetGroup(db, kPtyMasterGroup, kPtyGroup);
    }

    // The loader's services over `port`.
    LoaderServices services() { return stack->services(*port); }

    // Lets the switch take everything the station wrote and answer it.
    void turnSwitch(int firstWaitMs) {
        int wait = firstWaitMs;
        for (int turn = 0; turn < kMaxSwitchTurns && pty->waitReadable(wait); ++turn) {
            ASSERT_TRUE(transport->step());
            wait = kQuietWaitMs;
        }
        ASSERT_TRUE(transport->step());
    }

    // Waits (bounded) until the station side holds a reply that has stopped growing, or until
    // `limitMs` passed without a byte.
    void awaitStationReply(int limitMs) {
        using namespace std::chrono;
        const auto end = steady_clock::now() + milliseconds(limitMs);
        std::size_t held = handler->serialPort().readAvailable();
        auto lastGrowth = steady_clock::now();
        for (int poll = 0; poll < limitMs / kPollMs && steady_clock::now() < end; ++poll) {
            std::this_thread::sleep_for(milliseconds(kPollMs));
            const std::size_t now = handler->serialPort().readAvailable();
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

    TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock{kLoaderStart};
    VirtualTimerService timers{clock};
    ProfileStore profile{folder.file(kProfileStoreFileName)};
    Settings settings;
    LoaderSettings loaderSettings{profile, settings, folder.file("profile.csv")};
    PlanDatabase db;
    PlanDownload download{db, clock, settings};
    FakeProtocol protocol;
    RecordingErrorSink errors;
    RecordingView view;
    std::unique_ptr<PseudoTerminal> pty;
    std::unique_ptr<LoaderStack> stack;
    CommoHandler* handler = nullptr;
    LoaderPort* port = nullptr;  // the loader's port; a test may put a wrapper in between
    std::unique_ptr<sim::SimulatedTimeSwitch> device;
    std::unique_ptr<sim::PtyTransport> transport;
};

}  // namespace quirn::test
