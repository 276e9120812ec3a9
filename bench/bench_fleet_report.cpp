// Times `quirnctl report fleet` work at the largest fleet (10 x 99 x 99 locations) with a read a
// day for 400 days (the history's retention) in a real history file: the history's query of
// every location's latest state, the rows, the CSV and the HTML (with the charts of the worst
// ten). Prints the history file's size. The file is made once (minutes) and kept when a path is
// given: bench_fleet_report [FILE [DAYS]]. Not a test: nothing fails.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "bench/BenchTiming.h"
#include "fleethealth/FleetReport.h"
#include "fleethealth/FleetRows.h"
#include "fleethealth/OffsetHistory.h"
#include "fleethealth/ReadHistoryStore.h"
#include "plans/PlanDatabase.h"
#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

using namespace quirn;

namespace {

constexpr int kDefaultDays = kHistoryRetentionDays;
constexpr std::time_t kDay = 24 * 60 * 60;
constexpr std::time_t kHour = 60 * 60;
// Every 25th location has a wrong clock, every 40th another program, every 60th drifts, every
// 80th stopped answering.
constexpr int kWrongClockEvery = 25;
constexpr int kProgramEvery = 40;
constexpr int kDriftEvery = 60;
constexpr int kSilentEvery = 80;

ReadRecord readOf(const Location& l, int index, int day, std::time_t at) {
    ReadRecord r;
    r.time = at;
    r.location = {l.masterGroup, l.group, l.number};
    r.state = ReadState::ValidatePassed;
    r.source = ReadSource::WiFi;
    r.hasClock = true;
    r.clockHasSeconds = true;
    r.program = ProgramMatch::Matched;
    r.relayState = 0;
    r.bytesRead = 968;
    // Clocks are set each 30 days; a drifting one gains 3 s a day in between.
    const int sinceSet = day % 30;
    r.clockOffsetSeconds = index % kDriftEvery == 0 ? 3 * sinceSet : (index % 5) - 2;
    if (index % kWrongClockEvery == 0) {
        r.clockOffsetSeconds = 150;
        r.state = ReadState::ValidateFailed;
        r.resultBits = 2;
    }
    if (index % kProgramEvery == 0) {
        r.program = ProgramMatch::Differs;
        r.state = ReadState::ValidateFailed;
        r.resultBits |= 1;
    }
    if (index % kSilentEvery == 0 && day % 3 == 0) {
        r.state = ReadState::ConnectionFailed;
        r.hasClock = false;
        r.program = ProgramMatch::Unknown;
        r.relayState = kRelayUnknown;
        r.bytesRead = 0;
    }
    return r;
}

bool makeHistory(const std::string& path, const PlanDatabase& db, std::time_t now, int days) {
    ReadHistoryStore store;
    if (!store.open(path, now).ok()) return false;
    const std::vector<Location*> all = db.allLocations();
    std::vector<ReadRecord> batch;
    batch.reserve(all.size());
    for (int d = 0; d < days; ++d) {
        batch.clear();
        const std::time_t at = now - (days - 1 - d) * kDay - kHour;
        for (std::size_t i = 0; i < all.size(); ++i)
            batch.push_back(readOf(*all[i], static_cast<int>(i), d, at));
        if (!store.insert(batch)) {
            std::fprintf(stderr, "insert failed: %s\n", store.lastError().c_str());
            return false;
        }
        if (d % 50 == 0) std::fprintf(stderr, "  day %d of %d\n", d, days);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bench::fixTimeZone();
    const std::time_t now = fromLocal(2026, 3, 16, 9, 15, 0);
    PlanDatabase db;
    test::generateFleet(db, test::FleetShape::largest(), now);
    test::TempFolder scratch;
    const std::string path = argc > 1 ? argv[1] : scratch.file(kHistoryFileName);
    const int days = argc > 2 ? std::atoi(argv[2]) : kDefaultDays;
    std::printf("fleet: %zu locations, %d days of reads\n", db.locationCount(), days);
    if (!fileExists(path)) {
        const double made = bench::timeMs([&] { makeHistory(path, db, now, days); });
        std::printf("history file made in %.1f s\n", made / 1000);
    }
    ReadHistoryStore store;
    if (!store.openForReading(path)) {
        std::fprintf(stderr, "cannot read %s\n", path.c_str());
        return 1;
    }
    const auto size = readWholeFile(path);
    std::printf("history file: %s, %.1f MB, %lld reads\n", path.c_str(),
                size ? static_cast<double>(size->size()) / 1e6 : 0.0, store.readCount());

    std::vector<LocationHealth> health;
    std::vector<FleetRow> rows;
    FleetReport report;
    std::string csv, html;
    const double query = bench::timeMs([&] { health = store.latestOfEveryLocation(); });
    const double build = bench::timeMs([&] {
        FleetRows fleet;
        fleet.build(db, health, nullptr, now);
        rows = fleet.all();
    });
    const double order =
        bench::timeMs([&] { report = makeFleetReport(rows, now, now - 90 * kDay); });
    const double csvMs = bench::timeMs([&] { csv = fleetCsv(report.rows); });
    const double charts = bench::timeMs([&] {
        for (std::size_t i : worstRows(report.rows, kReportChartCount)) {
            const FleetRow& r = report.rows[i];
            report.charts.push_back({r, offsetHistoryOf(store.locationHistory(
                                            {r.masterGroup, r.group, r.location}, report.since))});
        }
    });
    const double htmlMs = bench::timeMs([&] { html = fleetHtml(report); });
    const double write = bench::timeMs([&] {
        replaceFileAtomically(scratch.file("fleet.csv"), csv);
        replaceFileAtomically(scratch.file("fleet.html"), html);
    });
    std::printf("latest state of every location (one query): %8.1f ms (%zu locations)\n", query,
                health.size());
    std::printf("rows joined with the database:              %8.1f ms\n", build);
    std::printf("summary and worst-first order:              %8.1f ms\n", order);
    std::printf("CSV text:                                   %8.1f ms (%.1f MB)\n", csvMs,
                static_cast<double>(csv.size()) / 1e6);
    std::printf("charts of the worst ten (their history):    %8.1f ms\n", charts);
    std::printf("HTML text:                                  %8.1f ms (%.1f MB)\n", htmlMs,
                static_cast<double>(html.size()) / 1e6);
    std::printf("both files written:                         %8.1f ms\n", write);
    std::printf("report fleet --html in all:                 %8.1f ms\n",
                query + build + order + charts + htmlMs);
    std::printf("summary: %zu wrong clock, %zu program differs, %zu not reachable, %zu drifting\n",
                report.summary.wrongClock, report.summary.programDiffers,
                report.summary.notReachable, report.summary.drifting);
    return 0;
}
