#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "comms/CommoHandler.h"
#include "ops/LogWriter.h"
#include "plans/PlanDatabase.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/VirtualTimerService.h"
#include "tests/comms/CommsFakes.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::FakeProtocol;
using test::LoopbackServer;

// Mixed traffic for a bounded number of ticks against a table where some peers answer, some
// flood and some refuse; after every tick the handler's bookkeeping must still hold.
TEST(CommoHandlerSoakLoopback, BookkeepingHoldsUnderMixedTrafficAndFailures) {
    constexpr int kEntries = 30;
    constexpr int kListening = 12;  // the others refuse
    constexpr int kTicks = 600;
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    makeFolder(folder.logs());
    ManualClock clock(1773570000);
    VirtualTimerService timers(clock);
    FakeProtocol protocol;
    test::RecordingErrorSink errors;
    PlanDatabase db;

    std::vector<std::unique_ptr<LoopbackServer>> servers;
    servers.push_back(std::make_unique<LoopbackServer>("127.0.1.1"));
    ASSERT_TRUE(servers[0]->ok());
    const unsigned port = servers[0]->port();
    for (int i = 1; i < kListening; ++i) {
        servers.push_back(
            std::make_unique<LoopbackServer>("127.0.1." + std::to_string(i + 1), port));
        ASSERT_TRUE(servers.back()->ok());
    }
    CommoHandler handler(
        CommsSetup{clock, working, timers, protocol, protocol, errors, &db, nullptr, nullptr, {}});
    handler.start();
    handler.setIpPort(port);
    std::vector<Location*> locations;
    for (int i = 0; i < kEntries; ++i) {
        Location l(1, 1 + i % 3, 1 + i);
        l.connection = "127.0.1." + std::to_string(i + 1);
        locations.push_back(&db.addLocation(l));
        handler.addLocationAddress(*locations.back());
    }

    std::mt19937 random(12345);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    std::size_t broadcastsOut = 0;
    for (int tick = 0; tick < kTicks; ++tick) {
        switch (pick(8)) {
            case 0:
                handler.enqueueBytes(std::string(1 + pick(3000), 'b'));
                ++broadcastsOut;
                break;
            case 1:
                handler.enqueueFor(locations[pick(kEntries)]->connection,
                                   std::string(1 + pick(500), 'd'));
                break;
            case 2:
                handler.startRead(*locations[pick(kEntries)]);
                break;
            case 3: {
                std::string m(1 + pick(200), 'g');
                handler.queueGroupMessage(reinterpret_cast<const unsigned char*>(m.data()),
                                          m.size(), 1, 1 + pick(3), 0);
                break;
            }
            case 4:
                if (pick(10) == 0) handler.sendClockToAll();
                break;
            default:
                break;
        }
        // The peers answer what they got: an image, a flood or nothing.
        for (auto& s : servers) {
            s->acceptPending();
            for (std::size_t c = 0; c < s->connectionCount(); ++c) {
                if (s->peerClosed(c)) continue;
                int answer = pick(20);
                if (answer == 0) s->sendWithoutWaiting(c, FakeProtocol::image(968));
                if (answer == 1) s->sendWithoutWaiting(c, std::string(9000, 'f'));
            }
        }
        timers.advanceMs(kTickPeriodMs);
        std::this_thread::sleep_for(std::chrono::microseconds(500));

        int busy = 0;
        for (const auto& e : handler.ipTable().entries()) {
            busy += e->isBusy() ? 1 : 0;
            ASSERT_LE(e->sendCount(), kMessageBufferSize);
            ASSERT_LE(e->receiveCount(), kMessageBufferSize);
        }
        ASSERT_EQ(handler.ipTable().busyCount(), busy) << "tick " << tick;
        ASSERT_LE(handler.serialPort().transmitCount(), kMessageBufferSize);
    }
    // Refused peers were reported; the queue drains once traffic stops.
    EXPECT_FALSE(errors.added.empty());
    for (int i = 0; i < 400 && handler.queueSize() > 0; ++i) timers.advanceMs(kTickPeriodMs);
    EXPECT_EQ(handler.queueSize(), 0u);
    EXPECT_GT(broadcastsOut, 0u);
    EXPECT_FALSE(protocol.replies.empty());  // reads were answered and judged
}

}  // namespace
}  // namespace quirn
