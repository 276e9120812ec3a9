// How close a send of group pages comes to the radio's own limit: the whole largest fleet's
// QN510 groups paged by radio (and the first 100 groups), on the manual clock, through the real
// handler and radio port into a transmitter that puts 250 bytes a second on the air behind a
// 4 KB driver queue. Prints the time from the first byte on the air to the last one off it, the
// bytes' own air time, their ratio and the transmitter's idle time; and how long the station's
// ticks took meanwhile.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <memory>
#include <vector>

#include "comms/CommoHandler.h"
#include "fleetsend/FleetSend.h"
#include "fleetsend/SendLedger.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "platform/LocalTime.h"
#include "platform/VirtualTimerService.h"
#include "protocol/PlanDownload.h"
#include "tests/comms/CommsFakes.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/PacedRadioDevice.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TimeZoneSwitch.h"

using namespace quirn;
using Ms = std::chrono::duration<double, std::milli>;

namespace {
constexpr std::size_t kAirBytesPerSecond = 250;
// The station's time moves in steps this long, so that every timer fires at its own period.
constexpr int kStepMs = 50;
// Bound of one send: ten hours of the station's time.
constexpr long long kMaxSteps = 10LL * 60 * 60 * 1000 / kStepMs;
constexpr double kMsPerSecond = 1000.0;

struct Figures {
    std::size_t groups = 0;
    std::size_t locations = 0;
    std::size_t bytes = 0;
    double planMs = 0;
    double spanS = 0;
    double airS = 0;
    double idleS = 0;
    double worstStepCpuMs = 0;
    double worstStepWallMs = 0;
    std::size_t sent = 0;
    std::size_t givenUp = 0;
    bool ended = false;
};

double cpuMsSince(std::clock_t began) {
    return static_cast<double>(std::clock() - began) * kMsPerSecond / CLOCKS_PER_SEC;
}

Figures sendPages(PlanDatabase& db, const std::vector<LocationKey>& locations, std::time_t start,
                  const WorkingFolder& working) {
    Figures f;
    ManualClock clock{start};
    VirtualTimerService timers{clock};
    Settings settings;
    PlanDownload download(db, clock, settings);
    test::FakeProtocol protocol;
    test::RecordingErrorSink errors;
    auto device = std::make_unique<test::PacedRadioDevice>(clock, kAirBytesPerSecond);
    test::PacedRadioDevice& radio = *device;
    CommoHandler commo(CommsSetup{
        clock, working, timers, protocol, protocol, errors, &db, nullptr, std::move(device), {}});
    commo.openRadioPort(1, kBaud2400);
    commo.start();
    SendLedger ledger;
    ledger.load(working.file("bench-sent.csv"));
    FleetSend send(clock, timers, commo, download, db, ledger, LogWriter(working));

    auto began = std::chrono::steady_clock::now();
    send.prepareNow(SendSelection::ofLocations(locations));
    f.planMs = Ms(std::chrono::steady_clock::now() - began).count();
    f.groups = send.estimate().groupPages;
    f.locations = send.estimate().locationsCovered;
    send.confirm("by the benchmark");
    for (long long step = 0; step < kMaxSteps && send.running(); ++step) {
        const std::clock_t cpu = std::clock();
        began = std::chrono::steady_clock::now();
        timers.advanceMs(kStepMs);
        f.worstStepWallMs =
            std::max(f.worstStepWallMs, Ms(std::chrono::steady_clock::now() - began).count());
        f.worstStepCpuMs = std::max(f.worstStepCpuMs, cpuMsSince(cpu));
    }
    f.ended = !send.running();
    if (send.lastSummary()) {
        f.sent = send.lastSummary()->sent;
        f.givenUp = send.lastSummary()->givenUp;
    }
    f.bytes = radio.bytesTaken();
    f.spanS = static_cast<double>(radio.lastOffAirMs() - radio.firstOnAirMs()) / kMsPerSecond;
    f.airS = static_cast<double>(f.bytes) / kAirBytesPerSecond;
    f.idleS = static_cast<double>(radio.idleMs()) / kMsPerSecond;
    return f;
}

void print(const char* title, const Figures& f) {
    std::printf("%s: %lu groups paged for %lu QN510 locations, %lu bytes%s\n", title,
                static_cast<unsigned long>(f.groups), static_cast<unsigned long>(f.locations),
                static_cast<unsigned long>(f.bytes), f.ended ? "" : " (NOT ENDED in the bound)");
    std::printf("  planned in %.1f ms; %lu sent, %lu given up\n", f.planMs,
                static_cast<unsigned long>(f.sent), static_cast<unsigned long>(f.givenUp));
    std::printf(
        "  first byte on the air to the last off it: %.1f s; the bytes' own air time: "
        "%.1f s; ratio %.4f; transmitter idle in between: %.1f s\n",
        f.spanS, f.airS, f.airS > 0 ? f.spanS / f.airS : 0.0, f.idleS);
    std::printf(
        "  the station's steps of %d ms (handler, radio and send): worst %.2f ms of "
        "processor time, %.2f ms wall\n",
        kStepMs, f.worstStepCpuMs, f.worstStepWallMs);
}
}  // namespace

int main() {
    const test::TimeZoneSwitch zone("America/New_York", "EST5EDT");
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const std::time_t start = fromLocal(2026, 12, 9, 10, 0, 0);
    PlanDatabase db;
    test::generateFleet(db, test::FleetShape::largest(), start);

    std::vector<LocationKey> all;
    std::vector<LocationKey> first100;
    std::vector<std::pair<int, int>> groupsSeen;
    db.visitLocations([&](Location& l) {
        if (!l.isModel(TimeSwitchModel::QN510) || l.connection != kRadioAddress) return;
        all.push_back({l.masterGroup, l.group, l.number});
        const std::pair<int, int> g{l.masterGroup, l.group};
        if (groupsSeen.empty() || groupsSeen.back() != g) groupsSeen.push_back(g);
        if (groupsSeen.size() <= 100) first100.push_back(all.back());
    });
    std::printf("fleet: %lu locations, %lu of them QN510 by radio\n",
                static_cast<unsigned long>(db.locationCount()),
                static_cast<unsigned long>(all.size()));
    print("100 groups", sendPages(db, first100, start, working));
    print("the largest fleet", sendPages(db, all, start, working));

    // What an edit costs once every location was sent: the group marked, the record written.
    SendLedger ledger;
    ledger.load(working.file("ledger-bench.csv"));
    db.visitLocations([&](Location& l) {
        ledger.recordSent({l.masterGroup, l.group, l.number}, start, 100);
    });
    auto began = std::chrono::steady_clock::now();
    ledger.save();
    const double saveMs = Ms(std::chrono::steady_clock::now() - began).count();
    began = std::chrono::steady_clock::now();
    const std::size_t textBytes = ledger.text().size();
    const double textMs = Ms(std::chrono::steady_clock::now() - began).count();
    began = std::chrono::steady_clock::now();
    ledger.markGroupChanged(5, 50);
    ledger.save();
    const double editMs = Ms(std::chrono::steady_clock::now() - began).count();
    began = std::chrono::steady_clock::now();
    SendLedger again;
    again.load(working.file("ledger-bench.csv"));
    const double loadMs = Ms(std::chrono::steady_clock::now() - began).count();
    std::printf(
        "record of what was sent at %lu locations: written in %.1f ms, an edit marked and "
        "written in %.1f ms, read at start-up in %.1f ms; its text (%lu bytes) alone %.1f "
        "ms\n",
        static_cast<unsigned long>(again.size()), saveMs, editMs, loadMs,
        static_cast<unsigned long>(textBytes), textMs);
    return 0;
}
