#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "fleethealth/ClockDrift.h"
#include "fleethealth/FleetFilter.h"
#include "fleethealth/FleetRowTexts.h"
#include "fleethealth/FleetRows.h"
#include "fleethealth/FleetSummary.h"
#include "fleethealth/LocationHealth.h"
#include "fleethealth/ReadHistoryStore.h"
#include "protocol/ReadState.h"
#include "protocol/Validation.h"
#include "tests/fleetweeks/FleetWeeksStation.h"
#include "tests/tools/QuirnctlRunner.h"

namespace quirn::test {
namespace {

TEST_F(FleetWeeks, TheHistoryTheFlagsAndTheReportFollowTheFleetOverWeeks) {
    const unsigned port = startSims();
    ASSERT_NE(port, 0u) << readFile(folder.file("healthy.err"));
    writeFleet(port, "ValidateMF,1\r\n");
    ASSERT_TRUE(startStation());
    ASSERT_TRUE(programFleet()) << systemLog();

    // Day by day: the 04:00 run of each weekday, the drift flag and the clock's first failure
    // of the drifting switch as the station saw them that morning.
    std::optional<std::time_t> firstFlagged, firstClockFailure;
    std::optional<double> driftAtFlag, offsetAtFailure;
    std::optional<std::time_t> silentSince, silentFlagged;
    const std::time_t firstDay = fromLocal(2026, 12, 10, 12, 0, 0);
    int weekdayRuns = 0;
    int weekdays = 0;  // Monday to Friday, by the calendar
    std::optional<std::time_t> limitPredictedAtFlag;
    for (int n = 0; n < kDaysRun && withinRealLimit(); ++n) {
        const std::time_t day = firstDay + n * kSecondsPerDayT;
        const int weekday = toLocal(day).weekday;
        if (weekday != kSunday && weekday != kSaturday) ++weekdays;
        const int runsBefore = weekdayRuns;
        ASSERT_TRUE(runMorning(day)) << dayText(clock.now()) << "\n" << systemLog();
        if (run().lastSummary() && run().lastSummary()->started >= day - kSecondsPerDayT / 2)
            ++weekdayRuns;
        if (weekdayRuns == runsBefore) continue;
        const FleetRows rows = fleetRows();
        const FleetRow* silent = rowOf(rows, kSilent);
        ASSERT_NE(silent, nullptr);
        if (!silentFlagged && fleetFilterAccepts(FleetFilter::NotReadForWeek, *silent, rows.now()))
            silentFlagged = clock.now();
        if (n == kSilentAfterDay) {
            hangSwitch(kSilent);
            silentSince = silent->lastAnswered;
        }
        if (n == kSilentGoneDay) killSwitch(kSilent);
        if (n == kRadioHangsAfterDay) hangSwitch(kRadio);
        const FleetRow* drifting = rowOf(rows, kDrifting);
        ASSERT_NE(drifting, nullptr);
        if (!firstFlagged && drifting->drifting) {
            firstFlagged = clock.now();
            driftAtFlag = drifting->driftSecondsPerDay;
            limitPredictedAtFlag = drifting->clockLimitAt;
        }
        const std::vector<ReadRecord> reads =
            app->readHistory().locationHistory(keyOf(kDrifting), clock.now() - kSecondsPerDayT);
        for (const ReadRecord& r : reads) {
            if (!firstClockFailure && !r.clockSent && r.state == ReadState::ValidateFailed &&
                (r.resultBits & kClockWrong) != 0) {
                firstClockFailure = r.time;
                offsetAtFailure = static_cast<double>(r.clockOffsetSeconds);
            }
        }
    }
    ASSERT_TRUE(withinRealLimit()) << "the weeks ran out of real time after " << weekdayRuns
                                   << " runs, at " << dayText(clock.now());
    ASSERT_EQ(weekdayRuns, weekdays) << "runs of the weekday schedule";

    // 1. The history holds every read the station took, each at the time its read ended.
    for (const FleetSwitch& s : kFleet) {
        std::vector<ReadRecord> reads = app->readHistory().locationHistory(keyOf(s));
        std::vector<std::time_t> times;
        int answeredReads = 0;
        for (const ReadRecord& r : reads) {
            if (r.clockSent) continue;
            times.push_back(r.time);
            EXPECT_EQ(r.source, sourceOf(s)) << "location " << s.number;
            if (answered(r.state)) ++answeredReads;
        }
        // Each switch answered the station before any went silent.
        EXPECT_GE(answeredReads, kRunsWhileAllAnswer) << "location " << s.number;
        EXPECT_EQ(static_cast<int>(times.size()), readsTaken[s.number]) << "location " << s.number;
        EXPECT_EQ(times, readTimes[s.number]) << "location " << s.number;
        EXPECT_EQ(readsTaken[s.number], weekdayRuns) << "location " << s.number;
    }

    // 2. The drifting switch was flagged on a morning before the one its clock first failed.
    ASSERT_TRUE(firstFlagged.has_value()) << "never flagged drifting";
    ASSERT_TRUE(firstClockFailure.has_value()) << "its clock never failed validation";
    ASSERT_TRUE(limitPredictedAtFlag.has_value()) << "flagged without a crossing of the limit";
    std::printf(
        "drifting switch: flagged %s at %+.2f s/day, the limit predicted for %s; clock first "
        "failed %s at %+.0f s\n",
        dayText(*firstFlagged).c_str(), *driftAtFlag, dayText(*limitPredictedAtFlag).c_str(),
        dayText(*firstClockFailure).c_str(), *offsetAtFailure);
    EXPECT_LT(*firstFlagged, *firstClockFailure)
        << "flagged " << dayText(*firstFlagged) << ", failed " << dayText(*firstClockFailure)
        << "\n"
        << offsetsText(app->readHistory().locationHistory(keyOf(kDrifting)));
    EXPECT_NEAR(*driftAtFlag, kDriftSecondsPerHour * 24, 1.0);
    // The fit foresaw the failure two weeks ahead, to within the reads' own spacing (a second
    // of timing in the first few reads moves the crossing by most of a day).
    EXPECT_NEAR(static_cast<double>(*limitPredictedAtFlag), static_cast<double>(*firstClockFailure),
                static_cast<double>(kPredictionTolerance))
        << dayText(*limitPredictedAtFlag);

    // The silent switch was not called unread while it answered, and was a week after.
    ASSERT_TRUE(silentSince.has_value());
    ASSERT_TRUE(silentFlagged.has_value()) << "the silent switch was never not read for 7 days";
    EXPECT_GE(*silentFlagged, *silentSince + kNotReadSeconds) << dayText(*silentFlagged);
    EXPECT_LT(*silentFlagged, *silentSince + kNotReadSeconds + 4 * kSecondsPerDayT)
        << dayText(*silentFlagged);

    // 3. The fleet's rows: the offset switch's wrong clock, the silent one not reached for a
    // week, the radio one not reached since it hung days ago, the drifting one flagged, the
    // healthy one in none of the filters.
    const FleetRows rows = fleetRows();
    const FleetRow* healthy = rowOf(rows, kHealthy);
    const FleetRow* drifting = rowOf(rows, kDrifting);
    const FleetRow* offset = rowOf(rows, kOffset);
    const FleetRow* silent = rowOf(rows, kSilent);
    const FleetRow* radio = rowOf(rows, kRadio);
    ASSERT_TRUE(healthy && drifting && offset && silent && radio);
    for (FleetFilter f : {FleetFilter::WrongClock, FleetFilter::ProgramDiffers,
                          FleetFilter::NotReadForWeek, FleetFilter::Drifting})
        EXPECT_FALSE(fleetFilterAccepts(f, *healthy, rows.now())) << fleetFilterText(f);
    EXPECT_EQ(healthy->state, ReadState::ValidatePassed);
    EXPECT_TRUE(fleetFilterAccepts(FleetFilter::WrongClock, *offset, rows.now()));
    ASSERT_TRUE(offset->clockOffsetSeconds.has_value());
    EXPECT_NEAR(*offset->clockOffsetSeconds, kOffsetSeconds, 60);
    EXPECT_FALSE(fleetFilterAccepts(FleetFilter::Drifting, *offset, rows.now()));
    EXPECT_TRUE(fleetFilterAccepts(FleetFilter::Drifting, *drifting, rows.now()));
    EXPECT_TRUE(fleetFilterAccepts(FleetFilter::WrongClock, *drifting, rows.now()));
    EXPECT_TRUE(fleetFilterAccepts(FleetFilter::NotReadForWeek, *silent, rows.now()));
    EXPECT_TRUE(isNotReachable(*silent));
    EXPECT_EQ(silent->state, ReadState::ConnectionFailed);
    EXPECT_LT(silent->lastAnswered, rows.now() - kNotReadSeconds);
    EXPECT_TRUE(isNotReachable(*radio));
    EXPECT_FALSE(fleetFilterAccepts(FleetFilter::NotReadForWeek, *radio, rows.now()));
    EXPECT_FALSE(fleetFilterAccepts(FleetFilter::WrongClock, *radio, rows.now()));
    EXPECT_GT(radio->lastAnswered, 0);
    const FleetSummary summary = summarizeFleet(rows.all(), rows.now());
    EXPECT_EQ(summary.locations, std::size(kFleet));
    EXPECT_EQ(summary.validated, 1u);
    EXPECT_EQ(summary.wrongClock, 2u);
    EXPECT_EQ(summary.notReachable, 2u);
    EXPECT_EQ(summary.drifting, 1u);
    EXPECT_EQ(summary.notReadForWeek, 1u);

    // The same as a manager gets it: quirnctl's fleet report on the station's folder.
    const std::string csvPath = folder.file("fleet.csv");
    const ToolRun report = runQuirnctl({"report", "fleet", "--root", folder.path(), "--now",
                                        dayText(clock.now()), "--csv", csvPath},
                                       folder.path());
    ASSERT_EQ(report.exitCode, 0) << report.err;
    for (const std::string line : {"Locations: 5", "Validated: 1", "Wrong clock: 2",
                                   "Not reachable: 2", "Drifting: 1", "Not read for 7 days: 1"})
        EXPECT_NE(report.out.find(line + "\n"), std::string::npos) << line << "\n" << report.out;
    std::istringstream csv(readFile(csvPath));
    std::string line;
    int csvRows = 0;
    std::getline(csv, line);  // the titles
    while (std::getline(csv, line) && csvRows < 100) {
        const std::vector<std::string> cells = csvCells(line);
        ASSERT_EQ(cells.size(), static_cast<std::size_t>(kFleetColumnCount + 1)) << line;
        const FleetRow* r = nullptr;
        for (const FleetSwitch& s : kFleet)
            if (cells[2] == std::to_string(s.number)) r = rowOf(rows, s);
        ASSERT_NE(r, nullptr) << line;
        ++csvRows;
        EXPECT_EQ(cells[static_cast<int>(FleetColumn::State)], fleetStateText(*r)) << line;
        EXPECT_EQ(cells[static_cast<int>(FleetColumn::ClockOffset)], fleetOffsetText(*r)) << line;
        EXPECT_EQ(cells[static_cast<int>(FleetColumn::Drift)], fleetDriftText(*r)) << line;
        EXPECT_EQ(cells[static_cast<int>(FleetColumn::LastRead)], fleetLastReadText(*r)) << line;
        EXPECT_EQ(cells[kFleetColumnCount], r->drifting ? "Yes" : "No") << line;
    }
    EXPECT_EQ(csvRows, static_cast<int>(std::size(kFleet)));

    // 4. A history damaged while the station is stopped is set aside; a fresh one starts and
    // the station goes on recording its reads. The radio's port went with its hung switch, so
    // the restarted station cannot open it: the radio read is refused and never reaches the
    // read-back handler, and the run itself hands it to the history.
    app->shutDown();
    app.reset();
    killSwitch(kRadio);
    const std::string historyPath = folder.file(kHistoryFileName);
    const std::string garbage(20000, '\x5a');
    ASSERT_TRUE(writeFile(historyPath, garbage));
    for (const char* side : {"-wal", "-shm"}) std::remove((historyPath + side).c_str());
    const std::time_t restart = clock.now();
    ASSERT_TRUE(startStation());
    std::optional<HistoryOpenResult> opened = app->readHistory().waitOpened(kHistoryWait);
    ASSERT_TRUE(opened.has_value());
    EXPECT_EQ(opened->outcome, HistoryOpenResult::Outcome::Replaced);
    EXPECT_EQ(opened->setAsidePath,
              historyPath + ".damaged-" + formatLocal("%Y%m%d-%H%M%S", toLocal(restart)));
    EXPECT_TRUE(readFile(opened->setAsidePath) == garbage) << "the damaged file was not kept";
    EXPECT_EQ(readFile(historyPath).rfind(kSqliteFileStart, 0), 0u) << "no fresh history file";
    const std::time_t nextMorning = clock.now() + kSecondsPerDayT;
    ASSERT_TRUE(runMorning(nextMorning)) << systemLog();
    EXPECT_NE(systemLog().find("Read history " + historyPath + " was damaged"), std::string::npos)
        << systemLog();
    ASSERT_TRUE(run().lastSummary().has_value());
    EXPECT_GE(run().lastSummary()->started, nextMorning - kSecondsPerDayT / 2);
    EXPECT_FALSE(app->comms()->commo().serialPort().isOpen());
    for (const FleetSwitch& s : kFleet) {
        std::vector<ReadRecord> fresh = app->readHistory().locationHistory(keyOf(s));
        EXPECT_EQ(fresh.size(), 1u) << "location " << s.number;
        if (!fresh.empty()) {
            EXPECT_EQ(fresh.back().time, readTimes[s.number].back());
        }
    }
    std::printf("%d weekday runs over %d days in %.1f s\n", weekdayRuns + 1, kDaysRun + 1,
                static_cast<double>(steadyMs() - realStart) / 1000.0);
}

}  // namespace
}  // namespace quirn::test
