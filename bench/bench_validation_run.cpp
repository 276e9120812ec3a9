// The validation run of the whole fleet at the largest size: how long the station's ticks take
// while the run walks the selection a slice at a time and keeps its reads going, next to the
// same ticks without a run. Every IP link points at a closed loopback port, so reads end fast
// as failed connections; the radio is off.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <vector>

#include "app/StationApp.h"
#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"
#include "platform/VirtualTimerService.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TimeZoneSwitch.h"

using namespace quirn;
using Ms = std::chrono::duration<double, std::milli>;

namespace {
constexpr int kTickMs = 500;
constexpr int kBaselineTicks = 40;
constexpr int kRunTicks = 600;  // five minutes of the station's time
constexpr double kMsPerSecond = 1000.0;

struct TickFigures {
    double worst = 0;
    double total = 0;
    int count = 0;
};

void add(TickFigures& f, double ms) {
    f.worst = std::max(f.worst, ms);
    f.total += ms;
    ++f.count;
}

double msSince(std::chrono::steady_clock::time_point began) {
    return Ms(std::chrono::steady_clock::now() - began).count();
}

// The bench ticks its own run by hand, so that the run's share of each tick is timed alone.
class HandTimers final : public TimerService {
  public:
    TimerId start(int, Callback) override { return ++last_; }
    void stop(TimerId) override {}

  private:
    TimerId last_ = 0;
};
}  // namespace

int main() {
    const test::TimeZoneSwitch zone("America/New_York", "EST5EDT");
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const std::time_t start = fromLocal(2026, 12, 9, 10, 0, 0);
    {
        PlanDatabase fleet;
        test::generateFleet(fleet, test::FleetShape::largest(), start);
        if (!saveDatabase(fleet, working, start)) return 1;
    }
    unsigned closedPort = 0;
    {
        test::LoopbackServer gone("127.0.0.1");
        if (!gone.ok()) return 1;
        closedPort = gone.port();
    }
    test::writeFile(folder.file("profile.csv"), "RadioPort,0\r\n");
    test::writeFile(folder.file("quirnradio.ini"),
                    "[Commo]\r\nIPPort=" + std::to_string(closedPort) + "\r\n");

    ManualClock clock{start};
    VirtualTimerService timers{clock};
    StationApp app(clock, timers, working);
    if (!app.startUp()) return 1;
    const std::size_t locations = app.database().locationCount();

    TickFigures baseline;
    for (int i = 0; i < kBaselineTicks; ++i) {
        const auto began = std::chrono::steady_clock::now();
        timers.advanceMs(kTickMs);
        add(baseline, msSince(began));
    }
    HandTimers handTimers;
    ValidationRun validation(clock, handTimers, app.comms()->commo(), app.database(),
                             LogWriter(working));
    auto began = std::chrono::steady_clock::now();
    validation.start(RunSelection::all(), "by the benchmark");
    const double startMs = msSince(began);
    TickFigures station;
    TickFigures run;
    // Processor time as well: on a loaded machine the wall clock also counts the waits for a core.
    TickFigures runCpu;
    int selectionTicks = 0;
    int worstRunTick = 0;
    for (int i = 0; i < kRunTicks; ++i) {
        began = std::chrono::steady_clock::now();
        timers.advanceMs(kTickMs);
        add(station, msSince(began));
        if (validation.progress().gathering) ++selectionTicks;
        began = std::chrono::steady_clock::now();
        const std::clock_t cpuBegan = std::clock();
        validation.tick();
        const double ms = msSince(began);
        add(runCpu, static_cast<double>(std::clock() - cpuBegan) * kMsPerSecond / CLOCKS_PER_SEC);
        if (ms > run.worst) worstRunTick = i;
        add(run, ms);
    }
    const RunProgress p = validation.progress();

    std::printf("validation run of %lu locations\n", static_cast<unsigned long>(locations));
    std::printf("  start (first selection slice): %.2f ms\n", startMs);
    std::printf("  the station's ticks without a run: worst %.2f ms, mean %.3f ms (%d ticks)\n",
                baseline.worst, baseline.total / baseline.count, baseline.count);
    std::printf("  the station's ticks beside the run: worst %.2f ms, mean %.3f ms\n",
                station.worst, station.total / station.count);
    std::printf(
        "  the run's own ticks: worst %.2f ms, mean %.3f ms (%d ticks, %d selecting; the worst was "
        "tick %d)\n",
        run.worst, run.total / run.count, run.count, selectionTicks, worstRunTick);
    std::printf("  the run's own ticks in processor time: worst %.2f ms, mean %.3f ms\n",
                runCpu.worst, runCpu.total / runCpu.count);
    std::printf("  after %d s: %lu selected, %lu skipped (validate disabled), %lu reads ended%s\n",
                kRunTicks * kTickMs / 1000, static_cast<unsigned long>(p.total),
                static_cast<unsigned long>(p.counts.skippedDisabled),
                static_cast<unsigned long>(p.done), p.gathering ? ", still selecting" : "");
    validation.stop();
    app.shutDown();
    return 0;
}
