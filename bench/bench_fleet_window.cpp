// bench_fleet_window [HISTORY-FILE]. Times the fleet window over the largest fleet the numbering
// allows (10 x 99 x 99 locations) on Qt's offscreen platform: opening it (rows built from the
// database and the history's latest read of every location, the table shown), then each filter, a
// sort, a find and a location's chart. The bare baseline is what a table that made one widget item
// per cell up front would pay. Not a test: nothing fails.
#include <QApplication>
#include <QTableWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "bench/BenchWindowTiming.h"
#include "fleethealth/FleetRowTexts.h"
#include "fleethealth/HistoryFileSource.h"
#include "fleethealth/ui/FleetWindow.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "tests/support/FleetGenerator.h"

using namespace quirn;

namespace {

constexpr int kRuns = 3;
constexpr std::time_t kDay = 24 * 60 * 60;
// Every 25th location has a wrong clock, every 40th another program, every 60th drifts.
constexpr int kWrongClockEvery = 25;
constexpr int kProgramEvery = 40;
constexpr int kDriftEvery = 60;
constexpr int kReadsPerChart = 400;

// The history's answers kept in memory: the window's own cost, without the database's.
class GeneratedHistory final : public FleetHistorySource {
  public:
    GeneratedHistory(const PlanDatabase& db, std::time_t now) : now_(now) {
        int i = 0;
        db.visitLocations([&](const Location& l) {
            LocationHealth h;
            ReadRecord& r = h.latest;
            r.location = {l.masterGroup, l.group, l.number};
            r.time = now - (i % 9) * kDay;
            r.state = ReadState::ValidatePassed;
            r.hasClock = true;
            r.clockHasSeconds = true;
            r.clockOffsetSeconds = (i % kWrongClockEvery == 0) ? 180 : (i % 7) - 3;
            r.program = (i % kProgramEvery == 0) ? ProgramMatch::Differs : ProgramMatch::Matched;
            h.lastAnswered = r.time;
            const double perDay = (i % kDriftEvery == 0) ? 6.5 : 0.2;
            for (int d = 0; d < 10; ++d)
                h.drift.add({r.time - (9 - d) * kDay, perDay * d, false, false});
            latest_.push_back(h);
            ++i;
        });
    }
    std::vector<LocationHealth> latestOfEveryLocation() const override { return latest_; }
    std::vector<ReadRecord> locationHistory(const LocationKey& key, std::time_t) const override {
        std::vector<ReadRecord> reads;
        const std::time_t start = now_ - kReadsPerChart * kDay;
        for (int d = 0; d < kReadsPerChart; ++d) {
            ReadRecord r;
            r.location = key;
            r.time = start + d * kDay;
            r.state = ReadState::ValidatePassed;
            r.hasClock = true;
            r.clockHasSeconds = true;
            r.clockOffsetSeconds = -30 + d / 5;
            reads.push_back(r);
        }
        return reads;
    }

  private:
    std::time_t now_;
    std::vector<LocationHealth> latest_;
};

}  // namespace

int main(int argc, char** argv) {
    bench::fixWindowEnvironment();
    QApplication app(argc, argv);
    const std::time_t now = fromLocal(2026, 3, 16, 9, 15, 0);
    ManualClock clock(now);
    PlanDatabase db;
    test::generateFleet(db, test::FleetShape::largest(), now);
    GeneratedHistory generated(db, now);
    // With a history file (bench_fleet_report makes one), the window reads it as the station's
    // does: one query when it opens, one per chart.
    const HistoryFileSource file(argc > 1 ? argv[1] : "");
    const FleetHistorySource& history =
        argc > 1 ? static_cast<const FleetHistorySource&>(file) : generated;
    std::printf("fleet: %zu locations; history: %s\n", db.locationCount(),
                argc > 1 ? argv[1] : "generated in memory");
    const FleetWindowServices services{db, nullptr, clock, &history};

    const double open = bench::bestWindowStepOf(kRuns, [&] {
        FleetWindow window(services);
        window.show();
        QApplication::processEvents();
    });
    // The naive table: one widget item per cell, made before the window shows.
    const double naive = bench::bestWindowStepOf(1, [&] {
        FleetRows rows;
        rows.build(db, history.latestOfEveryLocation(), nullptr, now);
        QTableWidget table(static_cast<int>(rows.all().size()), kFleetColumnCount);
        int r = 0;
        for (const FleetRow& row : rows.all()) {
            table.setItem(r, 0, new QTableWidgetItem(QString::number(row.masterGroup)));
            table.setItem(r, 1, new QTableWidgetItem(QString::number(row.group)));
            table.setItem(r, 2, new QTableWidgetItem(QString::number(row.location)));
            table.setItem(r, 3, new QTableWidgetItem(QString::fromStdString(row.name)));
            table.setItem(r, 7, new QTableWidgetItem(QString::fromStdString(fleetStateText(row))));
            ++r;
        }
        table.show();
    });
    std::printf("open the fleet window (best of %d):     %8.1f ms\n", kRuns, open);
    std::printf("bare baseline, a widget item per cell:  %8.1f ms (%.1fx)\n", naive, naive / open);

    FleetWindow window(services);
    window.show();
    QApplication::processEvents();
    std::printf("steps of the window's thread at the largest fleet:\n");
    auto step = [&](const std::string& name, const std::function<void()>& fn) {
        std::printf("  %-40s %8.2f ms\n", name.c_str(), bench::windowStepMs(fn));
    };
    for (FleetFilter f : kFleetFilters)
        step(std::string("filter \"") + fleetFilterText(f) + "\"", [&] { window.setFilter(f); });
    step("sort by clock offset", [&] {
        window.table()->sortByColumn(static_cast<int>(FleetColumn::ClockOffset),
                                     Qt::DescendingOrder);
    });
    step("sort by name", [&] {
        window.table()->sortByColumn(static_cast<int>(FleetColumn::Name), Qt::AscendingOrder);
    });
    step("find a name", [&] { window.findNext("Main"); });
    step("chart of the last location (400 reads)", [&] { window.pick(10, 99, 99); });
    step("refresh", [&] { window.refresh(); });
    return 0;
}
