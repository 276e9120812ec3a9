// Times the communications handler at fleet scale: the idle tick over a large IP table, the
// tick while a long queue drains, and building the IP table from every location at start-up.
// Each figure is printed beside a bare pass over the same data. Not a test: nothing fails.
// Nothing connects: the entries stay idle and the radio is not used.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "comms/CommoHandler.h"
#include "comms/IpTableFile.h"
#include "platform/VirtualTimerService.h"
#include "platform/WorkingFolder.h"
#include "tests/comms/CommsFakes.h"
#include "tests/support/TempFolder.h"

using namespace quirn;

namespace {

using Ms = std::chrono::duration<double, std::milli>;

double timeMs(const std::function<void()>& fn) {
    auto start = std::chrono::steady_clock::now();
    fn();
    return Ms(std::chrono::steady_clock::now() - start).count();
}

double bestOf(int runs, const std::function<void()>& fn) {
    double best = 1e300;
    for (int i = 0; i < runs; ++i) best = std::min(best, timeMs(fn));
    return best;
}

// Distinct loopback addresses as data: 127.x.y.z from a running number.
std::string addressFor(int n) {
    return "127." + std::to_string((n >> 16) & 0xFF) + "." + std::to_string((n >> 8) & 0xFF) + "." +
           std::to_string((n & 0xFF));
}

struct Rig {
    explicit Rig(const WorkingFolder& folder) {
        handler = std::make_unique<CommoHandler>(CommsSetup{
            clock, folder, timers, protocol, protocol, errors, nullptr, nullptr, nullptr, {}});
        handler->start();
    }
    ManualClock clock{1773570000};
    VirtualTimerService timers{clock};
    test::FakeProtocol protocol;
    test::RecordingErrorSink errors;
    std::unique_ptr<CommoHandler> handler;
    // Ticks per call of tick(); the clock moves as the timer would move it.
    void tick() {
        clock.advanceMs(kTickPeriodMs);
        handler->tick();
    }
};

void idleTick(const WorkingFolder& folder) {
    constexpr int kEntries = 10000;
    constexpr int kTicks = 2000;  // 1000 s of ticks: well inside the sync pulse interval
    Rig rig(folder);
    rig.handler->beginTableBatch();
    for (int i = 1; i <= kEntries; ++i) rig.handler->addIpAddress(addressFor(i + 256));
    rig.handler->endTableBatch();
    double ms = bestOf(3, [&] {
        for (int i = 0; i < kTicks; ++i) rig.tick();
    });
    // Bare pass: one virtual call per entry, the least a step of every entry costs.
    std::vector<const CommoLink*> links;
    for (const auto& e : rig.handler->ipTable().entries()) links.push_back(e.get());
    std::size_t writing = 0;
    double bare = bestOf(3, [&] {
        for (int i = 0; i < kTicks; ++i)
            for (const CommoLink* l : links) writing += l->isWriting();
    });
    std::printf(
        "idle tick, %d enabled idle IP entries: %.4f ms per tick (bare pass %.4f ms, "
        "ratio %.1f)%s\n",
        kEntries, ms / kTicks, bare / kTicks, ms / std::max(bare, 1e-9), writing ? " !" : "");
}

void queuedTick(const WorkingFolder& folder) {
    constexpr int kMessages = 10000;
    constexpr int kTicks = 200;
    Rig rig(folder);
    const std::string message(500, 'q');  // eight fit a broadcast batch
    double ms = 0;
    for (int run = 0; run < 3; ++run) {
        rig.handler->clearQueue();
        for (int i = 0; i < kMessages; ++i) rig.handler->enqueueBytes(message);
        double t = timeMs([&] {
            for (int i = 0; i < kTicks; ++i) rig.tick();
        });
        ms = run == 0 ? t : std::min(ms, t);
    }
    std::size_t left = rig.handler->queueSize();

    // The same removal done by restarting from the head after each removal, for comparison.
    std::deque<std::unique_ptr<QueuedMessage>> queue;
    const auto* bytes = reinterpret_cast<const unsigned char*>(message.data());
    for (int i = 0; i < kMessages; ++i)
        queue.push_back(std::make_unique<QueuedMessage>(bytes, 500));
    double restart = timeMs([&] {
        for (int t = 0; t < kTicks; ++t) {
            for (int k = 0; k < 8 && k < static_cast<int>(queue.size()); ++k) queue[k]->markSent();
            for (bool removed = true; removed;) {
                removed = false;
                for (auto it = queue.begin(); it != queue.end(); ++it)
                    if ((*it)->sent()) {
                        queue.erase(it);
                        removed = true;
                        break;
                    }
            }
        }
    });
    std::printf(
        "tick with %d queued broadcasts: %.4f ms per tick (restart-from-head sweep "
        "alone %.4f ms per tick); %zu left after %d ticks\n",
        kMessages, ms / kTicks, restart / kTicks, left, kTicks);
}

void addLocations(const WorkingFolder& folder) {
    constexpr int kLocations = 10 * 99 * 99;
    std::vector<Location> locations;
    locations.reserve(kLocations);
    for (int i = 0; i < kLocations; ++i) {
        Location l(1 + i / (99 * 99), 1 + (i / 99) % 99, 1 + i % 99);
        l.connection = addressFor(i + 256);
        locations.push_back(std::move(l));
    }
    double batched = 1e300;
    for (int run = 0; run < 3; ++run) {
        Rig rig(folder);
        batched = std::min(batched, timeMs([&] {
                               rig.handler->beginTableBatch();
                               for (const auto& l : locations) rig.handler->addLocationAddress(l);
                               rig.handler->endTableBatch();
                           }));
    }
    auto file = IpTableFile::read(folder.file(IpTableFile::kFileName));
    // Bare pass: the same number of inserts into a plain list and hash index, and one write.
    double bare = bestOf(3, [&] {
        std::vector<IpTableRecord> records;
        std::unordered_map<std::string, std::size_t> index;
        for (const auto& l : locations)
            if (index.emplace(l.connection, records.size()).second)
                records.push_back({l.connection, true, l.connection});
        IpTableFile::write(folder.file("bare.quirn"), records);
    });
    // One by one, each addition saving the file as it goes, on a smaller table.
    constexpr int kUnbatched = 200;  // each save is a synced whole-file replace
    Rig rig(folder);
    double unbatched = timeMs([&] {
        for (int i = 0; i < kUnbatched; ++i) rig.handler->addLocationAddress(locations[i]);
    });
    std::printf(
        "addLocationAddress x %d distinct addresses, one file write: %.1f ms "
        "(bare inserts + write %.1f ms, ratio %.1f); file holds %zu entries\n",
        kLocations, batched, bare, batched / std::max(bare, 1e-9), file ? file->size() : 0);
    std::printf("addLocationAddress x %d, saving the file at every addition: %.1f ms\n", kUnbatched,
                unbatched);
}

}  // namespace

int main() {
    test::TempFolder temp;
    const WorkingFolder folder = temp.workingFolder();
    idleTick(folder);
    queuedTick(folder);
    addLocations(folder);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident memory of the run: %.1f MB\n", usage.ru_maxrss / 1024.0);
    return 0;
}
