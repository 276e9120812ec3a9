#pragma once
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fleethealth/FleetRows.h"
#include "fleethealth/ReadHistoryStore.h"
#include "fleethealth/ReadRecord.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "protocol/ReadState.h"
#include "tests/support/SimProcess.h"
#include "tests/support/SimulatorPath.h"
#include "tests/validationrun/StationRunFixture.h"

namespace quirn::test {

// The station's time per step while a run reads, and the real time the simulators get between
// two steps.
inline constexpr long long kRunStepMs = 250;
inline constexpr int kRealPollMs = 4;
// Bounds of one weekday's wait for the 04:00 run to start (steps of the station's time).
inline constexpr long long kSchedulerStepMs = 5000;
inline constexpr int kMaxStartSteps = 60;
// The whole test's real time: past it the weeks stop early and the checks say so.
inline constexpr long long kWeeksRealLimitMs = 45000;
inline constexpr std::chrono::seconds kHistoryWait{20};
// How every SQLite file begins.
inline constexpr const char* kSqliteFileStart = "SQLite format 3";
inline constexpr int kMx40 = 1;
inline constexpr int kQn510 = 0;
// The drifting switch gains a quarter second an hour, six seconds a day: three times the
// drifting limit, so validation fails its clock some twenty days after it was set.
inline constexpr double kDriftSecondsPerHour = 0.25;
// The clock-offset switch is five minutes fast from every time it is given.
inline constexpr long kOffsetSeconds = 300;
// The days the station runs: from Thursday 10 December 2026 (the day after the programming)
// to Monday 4 January 2027. The silent switch hangs after its read on the morning of Tuesday
// 15 December (its connections stay open, nothing answers) and is killed after the read of
// Tuesday 22 December (its port refuses the station).
inline constexpr int kDaysRun = 26;
inline constexpr int kSilentAfterDay = 5;
inline constexpr int kSilentGoneDay = 12;
// The weekday runs before the silent switch hangs: Thursday 10 to Tuesday 15 December.
inline constexpr int kRunsWhileAllAnswer = 4;
// The radio switch hangs after its read on the morning of Wednesday 30 December: at the end
// it is not reached, yet was read within the week.
inline constexpr int kRadioHangsAfterDay = 20;
inline constexpr std::time_t kSecondsPerDayT = 24 * 60 * 60;
// How near the drift fit at the flag must foresee the clock's first failing read.
inline constexpr std::time_t kPredictionTolerance = 2 * kSecondsPerDayT;
inline constexpr int kSunday = 1;
inline constexpr int kSaturday = 7;

inline constexpr const char* kHealthyWifi = "127.0.0.5";
inline constexpr const char* kDriftingWifi = "127.0.0.6";
inline constexpr const char* kSilentWifi = "127.0.0.7";

struct FleetSwitch {
    int number;
    const char* address;
    int model;
};
inline constexpr FleetSwitch kHealthy{1, kHealthyWifi, kMx40};
inline constexpr FleetSwitch kDrifting{2, kDriftingWifi, kMx40};
inline constexpr FleetSwitch kOffset{3, kM2MAddress, kQn510};
inline constexpr FleetSwitch kSilent{4, kSilentWifi, kMx40};
inline constexpr FleetSwitch kRadio{5, kRadioAddress, kQn510};
inline constexpr FleetSwitch kFleet[] = {kHealthy, kDrifting, kOffset, kSilent, kRadio};

inline ReadSource sourceOf(const FleetSwitch& s) {
    const std::string address = s.address;
    if (address == kRadioAddress) return ReadSource::Radio;
    return address == kM2MAddress ? ReadSource::M2M : ReadSource::WiFi;
}

inline LocationKey keyOf(const FleetSwitch& s) {
    return {1, 1, s.number};
}

inline std::string dayText(std::time_t t) {
    return formatLocal("%Y-%m-%d %H:%M:%S", toLocal(t));
}

// "2026-12-10 04:00:02 +6 s" a line per read with a clock, for a failure's message.
inline std::string offsetsText(const std::vector<ReadRecord>& reads) {
    std::string out;
    for (const ReadRecord& r : reads)
        if (r.hasClock)
            out += dayText(r.time) + " " + std::to_string(r.clockOffsetSeconds) + " s\n";
    return out;
}

// The cells of one CSV line (quoted fields as the report writes them).
inline std::vector<std::string> csvCells(const std::string& line) {
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
    void writeTime() { ASSERT_TRUE(writeSimTime(timeFile, clock.nowMs())); }

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
        const unsigned port = healthy.started() ? portOfLine(healthy.firstLine()) : 0;
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
            if (!sim.started() || portOfLine(sim.firstLine()) != port) return 0;
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

}  // namespace quirn::test
