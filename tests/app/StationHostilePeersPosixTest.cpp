// The whole station reading a time switch whose far end misbehaves, in both TCP roles (a WiFi
// time switch and the M2M client): silent, trickling, flooding, closing or resetting mid-reply,
// vanishing with its listener. Each read ends within its time-out with a failed state and at
// most one error record, and no tick of the station is held meanwhile.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "app/StationApp.h"
#include "plans/PlanTypes.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/VirtualTimerService.h"
#include "protocol/ReadState.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::LoopbackServer;
using test::writeFile;
using SteadyClock = std::chrono::steady_clock;

constexpr long long kStepMs = 250;
// Bounds of every run: the longest read wait (the M2M client's) with room, in virtual time,
// and a real-time bound far above what the steps take.
constexpr std::time_t kLongestReadSeconds = 150;
constexpr auto kRealBound = std::chrono::seconds(20);
// A one-byte-per-second peer keeps it up this long, well past a read's wait.
constexpr std::time_t kTrickleSeconds = 20;

// The far end: its listener (gone when it vanished) and what it has sent so far.
struct Peer {
    std::unique_ptr<LoopbackServer> server;
    int bytesSent = 0;
};

// What the far end does once the station connects; called between the station's ticks with
// the seconds since the read started.
using PeerBehaviour = std::function<void(Peer& peer, double seconds)>;

struct HostileCase {
    const char* name;
    PeerBehaviour act;
};

bool connected(Peer& peer) {
    if (!peer.server) return false;
    peer.server->acceptPending();
    return peer.server->connectionCount() > 0;
}

const HostileCase kCases[] = {
    {"silent", [](Peer& peer, double) { connected(peer); }},
    {"trickle",
     [](Peer& peer, double seconds) {
         if (!connected(peer)) return;
         for (; peer.bytesSent < seconds && peer.bytesSent < kTrickleSeconds; ++peer.bytesSent)
             peer.server->sendWithoutWaiting(0, "R");
     }},
    {"flood",
     [](Peer& peer, double) {
         if (connected(peer)) peer.server->sendWithoutWaiting(0, std::string(65536, 'f'));
     }},
    {"close mid-reply",
     [](Peer& peer, double) {
         if (!connected(peer) || peer.server->peerClosed(0)) return;
         peer.server->send(0, "X@R0101");
         peer.server->closeConnection(0);
     }},
    {"reset mid-reply",
     [](Peer& peer, double) {
         if (!connected(peer) || peer.server->peerClosed(0)) return;
         peer.server->send(0, "X@R0101");
         peer.server->resetConnection(0);
     }},
    {"listener vanishes",
     [](Peer& peer, double) {
         if (connected(peer)) peer.server.reset();
     }},
};

bool readFinished(const Location& location) {
    auto state = static_cast<ReadState>(location.readState);
    return state != ReadState::Reading && state != ReadState::ReadingAgain;
}

class StationHostilePeers : public ::testing::TestWithParam<const char*> {
  protected:
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    ManualClock clock{fromLocal(2026, 12, 9, 10, 0, 0)};
    VirtualTimerService timers{clock};
};

TEST_P(StationHostilePeers, EveryReadEndsFailedWithinItsWaitAndNoTickIsHeld) {
    const std::string address = GetParam();
    for (const HostileCase& hostile : kCases) {
        SCOPED_TRACE(std::string(hostile.name) + " at " + address);
        Peer peer{std::make_unique<LoopbackServer>(address)};
        ASSERT_TRUE(peer.server->ok());
        writeFile(working.file("profile.csv"), "RadioPort,0\r\n");
        writeFile(working.file("quirnradio.ini"),
                  "[Commo]\r\nIPPort=" + std::to_string(peer.server->port()) + "\r\n");
        writeFile(working.file("imsi.csv"), "imsi,310150123456789\r\n");
        writeFile(working.file("errors.csv"), "");
        writeFile(working.file("locations.csv"),
                  "Location,1,1,School,Lincoln Ave,1," + address + ",1\r\n");
        StationApp app(clock, timers, working);
        ASSERT_TRUE(app.startUp());
        Location* location = app.database().findLocation(1, 1, 1);
        ASSERT_NE(location, nullptr);
        const std::size_t errorsBefore = app.errors().size();
        const std::time_t started = clock.now();
        app.comms()->commo().startRead(*location);

        long long longestTickMs = 0;
        const auto realStart = SteadyClock::now();
        while (!readFinished(*location) && clock.now() - started < kLongestReadSeconds &&
               SteadyClock::now() - realStart < kRealBound) {
            hostile.act(peer, static_cast<double>(clock.now() - started));
            const auto before = SteadyClock::now();
            timers.advanceMs(kStepMs);
            longestTickMs = std::max<long long>(
                longestTickMs,
                std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - before)
                    .count());
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const auto state = static_cast<ReadState>(location->readState);
        const std::size_t newErrors = app.errors().size() - errorsBefore;
        std::printf(
            "[ %-17s ] %s: state %d after %lld s, %zu error records, longest tick %lld ms\n",
            hostile.name, address.c_str(), location->readState,
            static_cast<long long>(location->readStateTime - started), newErrors, longestTickMs);
        ASSERT_TRUE(readFinished(*location)) << "still reading";
        EXPECT_TRUE(state == ReadState::ConnectionFailed || state == ReadState::PartialData ||
                    state == ReadState::ValidateFailed)
            << "state " << location->readState;
        // The link gives a reply two minutes at the M2M client and 12 seconds elsewhere.
        const std::time_t readWait = address == kM2MAddress ? 120 : 12;
        EXPECT_LE(location->readStateTime - started, readWait + 2);
        EXPECT_LE(newErrors, 1u);
        EXPECT_LT(longestTickMs, 100);
        // The link is free again: it takes the next read.
        app.comms()->commo().startRead(*location);
        EXPECT_FALSE(readFinished(*location)) << "state " << location->readState;
        app.shutDown();
    }
}

INSTANTIATE_TEST_SUITE_P(Roles, StationHostilePeers, ::testing::Values("127.0.0.5", kM2MAddress),
                         [](const auto& info) {
                             return std::string(info.param) == kM2MAddress ? "M2MClient"
                                                                           : "WiFiSwitch";
                         });

}  // namespace
}  // namespace quirn
