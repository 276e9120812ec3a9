#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "fleethealth/ClockDrift.h"
#include "fleethealth/FleetFilter.h"
#include "fleethealth/FleetRowTexts.h"
#include "fleethealth/FleetRows.h"
#include "fleethealth/FleetSummary.h"
#include "fleethealth/LocationHealth.h"
#include "fleethealth/ReadHistoryStore.h"
#include "platform/FileSystem.h"
#include "protocol/ReadState.h"
#include "protocol/Validation.h"
#include "tests/support/SimProcess.h"
#include "tests/support/SimulatorPath.h"
#include "tests/tools/QuirnctlRunner.h"
#include "tests/validationrun/StationRunFixture.h"

namespace quirn::test {
namespace {

using namespace std::chrono_literals;

// The station's time per step while a run reads, and the real time the simulators get between
// two steps.
constexpr long long kRunStepMs = 250;
constexpr int kRealPollMs = 4;
// Bounds of one weekday's wait for the 04:00 run to start (steps of the station's time).
constexpr long long kSchedulerStepMs = 5000;
constexpr int kMaxStartSteps = 60;
// The whole test's real time: past it the weeks stop early and the checks say so.
constexpr long long kWeeksRealLimitMs = 45000;
constexpr auto kHistoryWait = 20s;
// How every SQLite file begins.
constexpr const char* kSqliteFileStart = "SQLite format 3";
constexpr int kMx40 = 1;
constexpr int kQn510 = 0;
// The drifting switch gains a quarter second an hour, six seconds a day: three times the
// drifting limit, so validation fails its clock some twenty days after it was set.
constexpr double kDriftSecondsPerHour = 0.25;
// The clock-offset switch is five minutes fast from every time it is given.
constexpr long kOffsetSeconds = 300;
// The days the station runs: from Thursday 10 December 2026 (the day after the programming)
// to Monday 4 January 2027; the silent switch stops answering after its last read on the
// morning of Tuesday 15 December.
constexpr int kDaysRun = 26;
constexpr int kSilentAfterDay = 5;
constexpr int kSilentGoneDay = 12;
// The weekday runs before the silent switch hangs: Thursday 10 to Tuesday 15 December.
constexpr int kRunsWhileAllAnswer = 4;
// The radio switch hangs after its read on the morning of Wednesday 30 December: at the end
// it is not reached, yet was read within the week.
constexpr int kRadioHangsAfterDay = 20;
constexpr std::time_t kSecondsPerDayT = 24 * 60 * 60;

constexpr const char* kHealthyWifi = "127.0.0.5";
constexpr const char* kDriftingWifi = "127.0.0.6";
constexpr const char* kSilentWifi = "127.0.0.7";

struct FleetSwitch {
    int number;
    const char* address;
    int model;
};
constexpr FleetSwitch kHealthy{1, kHealthyWifi, kMx40};
constexpr FleetSwitch kDrifting{2, kDriftingWifi, kMx40};
constexpr FleetSwitch kOffset{3, kM2MAddress, kQn510};
constexpr FleetSwitch kSilent{4, kSilentWifi, kMx40};
constexpr FleetSwitch kRadio{5, kRadioAddress, kQn510};
constexpr FleetSwitch kFleet[] = {kHealthy, kDrifting, kOffset, kSilent, kRadio};

unsigned portOf(const std::string& line) {
    const std::size_t colon = line.rfind(':');
    if (colon == std::string::npos) return 0;
    return static_cast<unsigned>(std::stoul("0" + line.substr(colon + 1)));
}

ReadSource sourceOf(const FleetSwitch& s) {
    const std::string address = s.address;
    if (address == kRadioAddress) return ReadSource::Radio;
    return address == kM2MAddress ? ReadSource::M2M : ReadSource::WiFi;
}

LocationKey keyOf(const FleetSwitch& s) {
    return {1, 1, s.number};
}

std::string dayText(std::time_t t) {
    return formatLocal("%Y-%m-%d %H:%M:%S", toLocal(t));
}

// "2026-12-10 04:00:02 +6 s" a line per read with a clock, for a failure's message.
std::string offsetsText(const std::vector<ReadRecord>& reads) {
    std::string out;
    for (const ReadRecord& r : reads)
        if (r.hasClock)
            out += dayText(r.time) + " " + std::to_string(r.clockOffsetSeconds) + " s\n";
    return out;
}

// The cells of one CSV line (quoted fields as the report writes them).
std::vector<std::string> csvCells(const std::string& line) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            cells.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            cells.emplace_back();
        } else if (c != '\r') {
            cells.back() += c;
        }
    }
    return cells;
}

// The station on its manual clock with four quirn-sim switches whose clocks follow that clock
// through a time file: a healthy MX40 and a drifting one over WiFi, a QN510 five minutes fast
// behind the M2M client, and an MX40 over WiFi that is killed part-way. The station's own
// weekday 04:00 runs take every read over the weeks.
class FleetWeeks : public StationRunFixture {
  protected:
    std::vector<std::unique_ptr<SimProcess>> sims;
    std::map<int, SimProcess*> simOf;  // location number -> its simulator
    std::string timeFile;
    std::string radioDevice;
    std::vector<SimProcess*> hung;  // stopped by the test: ended with SIGKILL at the end
    long long realStart = steadyMs();
    // Reads the station took, counted from the locations' read states after each run.
    std::map<int, int> readsTaken;
    std::map<int, std::vector<std::time_t>> readTimes;

    void SetUp() override {
        if (simulatorPath().empty()) GTEST_SKIP() << "quirn-sim is not part of this build";
        timeFile = folder.file("station-time");
        writeTime();
    }

    void TearDown() override {
        StationRunFixture::TearDown();
        for (SimProcess* sim : hung) ::kill(static_cast<pid_t>(sim->processId()), SIGKILL);
        for (auto& sim : sims) sim->stop();
    }

    // The station's time for the simulators, replaced whole so they never read half of it.
    void writeTime() {
        char text[40];
        std::snprintf(text, sizeof text, "%lld.%03lld", clock.nowMs() / 1000, clock.nowMs() % 1000);
        const std::string part = timeFile + ".new";
        ASSERT_TRUE(writeFile(part, text));
        ASSERT_EQ(std::rename(part.c_str(), timeFile.c_str()), 0);
    }

    SimProcess& startSim(std::vector<std::string> args, const std::string& errName) {
        args.insert(args.end(), {"--time-file", timeFile});
        sims.push_back(std::make_unique<SimProcess>(simulatorPath(), args, folder.file(errName)));
        return *sims.back();
    }

    // The WiFi switches and the M2M client on one TCP port (the station's IP table has one),
    // and the radio switch on a pseudo-terminal; 0 when one failed.
    unsigned startSims() {
        SimProcess& healthy = startSim(
            {"--model", "MX40", "--address", "1,1,1", "--tcp", std::string(kHealthyWifi) + ":0"},
            "healthy.err");
        const unsigned port = healthy.started() ? portOf(healthy.firstLine()) : 0;
        if (port == 0) return 0;
        simOf[kHealthy.number] = &healthy;
        const std::string p = ":" + std::to_string(port);
        const std::vector<std::pair<int, std::vector<std::string>>> others = {
            {kDrifting.number,
             {"--model", "MX40", "--address", "1,1,2", "--tcp", kDriftingWifi + p, "--drift",
              std::to_string(kDriftSecondsPerHour)}},
            {kOffset.number,
             {"--m2m", kM2MAddress + p, "--model", "QN510", "--address", "1,1,3", "--clock-offset",
              std::to_string(kOffsetSeconds)}},
            {kSilent.number, {"--model", "MX40", "--address", "1,1,4", "--tcp", kSilentWifi + p}}};
        for (const auto& [number, args] : others) {
            SimProcess& sim = startSim(args, "sim" + std::to_string(number) + ".err");
            if (!sim.started() || portOf(sim.firstLine()) != port) return 0;
            simOf[number] = &sim;
        }
        SimProcess& radio =
            startSim({"--model", "QN510", "--address", "1,1,5", "--pty"}, "radio.err");
        radioDevice = radio.started() ? radio.firstLine() : std::string();
        if (radioDevice.empty()) return 0;
        simOf[kRadio.number] = &radio;
        return port;
    }

    void writeFleet(unsigned port, const std::string& profile) {
        std::string locations;
        for (const FleetSwitch& s : kFleet) locations += locationLine(s.number, s.address, s.model);
        writeStation(locations, "RadioPort,1\r\n" + profile,
                     "[Serial]\r\nCOM1=" + radioDevice +
                         "\r\n[Commo]\r\nIPPort=" + std::to_string(port) + "\r\n");
        writeFile(folder.file("imsi.csv"), "imsi,310150123456789\r\n");
    }

    bool withinRealLimit() const { return steadyMs() - realStart < kWeeksRealLimitMs; }

    // One step of the station's time, the simulators' time file after it, a breath of real time.
    void step(long long ms) {
        timers.advanceMs(ms);
        writeTime();
        std::this_thread::sleep_for(std::chrono::milliseconds(kRealPollMs));
    }

    bool stepUntil(const std::function<bool()>& done, long long stepMs, int maxSteps) {
        for (int n = 0; n < maxSteps && withinRealLimit(); ++n) {
            if (done()) return true;
            step(stepMs);
        }
        return done();
    }

    // Programs every switch (which sets its clock to the station's) and waits for the links.
    bool programFleet() {
        CommoHandler& commo = app->comms()->commo();
        for (const FleetSwitch& s : kFleet) {
            Location* l = app->database().findLocation(1, 1, s.number);
            if (l == nullptr || commo.startDownload(l) == 0) return false;
        }
        return stepUntil(
            [&] {
                const SerialPort& radio = commo.serialPort();
                if (commo.queueSize() != 0 || radio.isWriting() || radio.transmitWaiting() != 0)
                    return false;
                for (const char* a : {kHealthyWifi, kDriftingWifi, kM2MAddress, kSilentWifi}) {
                    IpConnection* c = commo.findConnection(a);
                    if (c == nullptr || c->state() != IpConnection::State::Idle) return false;
                }
                return true;
            },
            kRunStepMs, kMaxSteps);
    }

    // Moves the station to 03:59:40 of `day` and on through 04:00; a weekday's run is then
    // followed to its end. False when a run started but did not end within the bounds.
    bool runMorning(std::time_t day) {
        const LocalDateTime d = toLocal(day);
        clock.set(fromLocal(d.year, d.month, d.day, 3, 59, 40));
        writeTime();
        const std::time_t past = fromLocal(d.year, d.month, d.day, 4, 1, 0);
        if (!stepUntil([&] { return run().running() || clock.now() >= past; }, kSchedulerStepMs,
                       kMaxStartSteps))
            return false;
        if (!run().running()) return true;
        const std::time_t started = clock.now();
        if (!stepUntil([&] { return !run().running(); }, kRunStepMs, kMaxSteps)) return false;
        countReads(started);
        return app->readHistory().flush(kHistoryWait);
    }

    // Every location whose read state was set by this run's read.
    void countReads(std::time_t since) {
        for (const FleetSwitch& s : kFleet) {
            const Location* l = app->database().findLocation(1, 1, s.number);
            const auto state = static_cast<ReadState>(l->readState);
            if (l->readStateTime >= since && state != ReadState::Reading &&
                state != ReadState::ReadingAgain && state != ReadState::NotRead) {
                ++readsTaken[s.number];
                readTimes[s.number].push_back(l->readStateTime);
            }
        }
    }

    FleetRows fleetRows() {
        FleetRows rows;
        rows.build(app->database(), app->readHistory().latestOfEveryLocation(), &app->errors(),
                   clock.now());
        return rows;
    }

    static const FleetRow* rowOf(const FleetRows& rows, const FleetSwitch& s) {
        for (const FleetRow& r : rows.all())
            if (r.location == s.number) return &r;
        return nullptr;
    }

    // The switch hangs: its connections stay open but nothing answers.
    void hangSwitch(const FleetSwitch& s) {
        SimProcess* sim = simOf[s.number];
        ASSERT_NE(sim, nullptr);
        ASSERT_EQ(::kill(static_cast<pid_t>(sim->processId()), SIGSTOP), 0);
        hung.push_back(sim);
    }

    // The switch is gone: its port refuses the station.
    void killSwitch(const FleetSwitch& s) {
        SimProcess* sim = simOf[s.number];
        ASSERT_NE(sim, nullptr);
        ASSERT_EQ(::kill(static_cast<pid_t>(sim->processId()), SIGKILL), 0);
        std::erase(hung, sim);
        EXPECT_FALSE(sim->waitExit().has_value());  // ended by the signal, not by itself
    }
};

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
    for (int n = 0; n < kDaysRun && withinRealLimit(); ++n) {
        const std::time_t day = firstDay + n * kSecondsPerDayT;
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
    ASSERT_GE(weekdayRuns, 15) << "runs of the weekday schedule";

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
    std::printf("drifting switch: flagged %s at %+.2f s/day; clock first failed %s at %+.0f s\n",
                dayText(*firstFlagged).c_str(), *driftAtFlag, dayText(*firstClockFailure).c_str(),
                *offsetAtFailure);
    EXPECT_LT(*firstFlagged, *firstClockFailure)
        << "flagged " << dayText(*firstFlagged) << ", failed " << dayText(*firstClockFailure)
        << "\n"
        << offsetsText(app->readHistory().locationHistory(keyOf(kDrifting)));
    EXPECT_NEAR(*driftAtFlag, kDriftSecondsPerHour * 24, 1.0);

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
