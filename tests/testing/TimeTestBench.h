#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "comms/CommoHandler.h"
#include "comms/ProtocolMessages.h"
#include "comms/ProtocolReplyJudge.h"
#include "ops/LogWriter.h"
#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/ProfileStore.h"
#include "platform/VirtualTimerService.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReadBack.h"
#include "protocol/Validation.h"
#include "sim/PtyTransport.h"
#include "sim/SimulatedTimeSwitch.h"
#include "testing/SwitchUnderTest.h"
#include "testing/TestProgrammingStore.h"
#include "testing/TestRunner.h"
#include "tests/comms/CommsFakes.h"
#include "tests/support/TempFolder.h"
#include "tests/testing/CountingLine.h"

namespace quirn::test {

// A Monday morning in the middle of March, after the spring change.
inline const std::time_t kBenchStart = fromLocal(2026, 3, 16, 9, 15, 0);
inline constexpr int kBenchCom = 1;
inline constexpr int kNewYorkHoursWest = 5;
// Real time the kernel gets to carry bytes across the pseudo-terminal, per step of the loop.
inline constexpr int kCarryLimitMs = 2000;
inline constexpr int kStepMs = 100;

struct RecordedLine {
    std::string text;
    LineKind kind;
};

// The lines of the tests as they came.
class RecordingLines final : public TestLineSink {
  public:
    void testLine(const std::string& text, LineKind kind) override {
        lines.push_back({text, kind});
    }
    std::vector<std::string> of(LineKind kind) const {
        std::vector<std::string> out;
        for (const RecordedLine& l : lines)
            if (l.kind == kind) out.push_back(l.text);
        return out;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const RecordedLine& l : lines) out.push_back(l.text);
        return out;
    }
    bool has(const std::string& text) const {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const RecordedLine& l) { return l.text == text; });
    }
    std::string dump() const {
        std::string out;
        for (const RecordedLine& l : lines) out += l.text + "\n";
        return out;
    }
    std::vector<RecordedLine> lines;
};

// The station's side of a test bench: the plan database with the time switch under test at
// master group 1, group 1, location 1 on the radio, the real communications handler on the
// station's serial device code, opened on a pseudo-terminal whose far end is a simulated time
// switch run in this process. Everything runs on the manual clock, the switch's clock too; the
// loop waits in real time only for the kernel to carry bytes across the pseudo-terminal.
class TimeTestBench : public ::testing::Test {
  protected:
    // Builds the bench with the station's clock at `start` and a switch of `model`, with
    // whatever faults `adjust` gives it.
    void attachSwitch(sim::SimModel model, std::time_t start = kBenchStart,
                      const std::function<void(sim::SimSettings&)>& adjust = {}) {
        clock.set(start);
        sim::SimSettings s;
        s.model = model;
        s.address = {SwitchUnderTest::kMasterGroup, SwitchUnderTest::kGroup,
                     SwitchUnderTest::kLocation};
        s.zone = sim::ZoneRule::northAmerican(kNewYorkHoursWest);
        s.clock.start = start;
        if (adjust) adjust(s);
        device = std::make_unique<sim::SimulatedTimeSwitch>(s, clock);
        ASSERT_TRUE(pty.open(kBaud2400)) << pty.errorText();
        transport = std::make_unique<sim::PtyTransport>(pty, *device, clock, nullptr);
        profile.writeString("Serial", "COM" + std::to_string(kBenchCom), pty.devicePath());

        Location l(SwitchUnderTest::kMasterGroup, SwitchUnderTest::kGroup,
                   SwitchUnderTest::kLocation);
        l.name = "Bench Switch";
        l.model = static_cast<int32_t>(locationModel(model));
        db.addLocation(l);
        db.group(1, 1).setName("Bench");

        auto owned = std::make_unique<CountingSerialDevice>();
        station = owned.get();
        handler = std::make_unique<CommoHandler>(CommsSetup{
            clock, working, timers, messages, judge, errors, &db, &profile, std::move(owned), {}});
        handler->start();
        ASSERT_EQ(handler->openRadioPort(kBenchCom, kBaud2400), 0);
        timeSwitch = std::make_unique<SwitchUnderTest>(clock, *handler, db, download);
        runner = std::make_unique<TestRunner>(
            TestRunnerSetup{clock, timers, *timeSwitch, db, store}, lines);
    }

    static TimeSwitchModel locationModel(sim::SimModel model) {
        switch (model) {
            case sim::SimModel::QN510:
                return TimeSwitchModel::QN510;
            case sim::SimModel::Strider:
                return TimeSwitchModel::Strider;
            case sim::SimModel::LR40:
                return TimeSwitchModel::LR40;
            case sim::SimModel::MX40:
                break;
        }
        return TimeSwitchModel::MX40;
    }

    // One step of the station's time; the switch takes everything the station wrote on the
    // way and its answers reach the station's device before the next step. False when the
    // kernel did not carry the bytes in time.
    bool advance(long long ms = kStepMs) {
        const long long wroteBefore = station->written();
        timers.advanceMs(ms);
        const long long due = pty.bytesRead() + (station->written() - wroteBefore);
        const long long answeredBefore = pty.bytesWritten();
        const long long heldBefore = std::max(0L, station->waiting());
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(kCarryLimitMs);
        if (!transport->step()) return false;
        while (pty.bytesRead() < due) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            if (pty.waitReadable(1) && !transport->step()) return false;
        }
        const long long heldDue = heldBefore + (pty.bytesWritten() - answeredBefore);
        while (station->waiting() < heldDue) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::yield();
        }
        return true;
    }

    // Runs until `done` holds, at most `limitMs` of the station's time.
    bool runUntil(const std::function<bool()>& done, long long limitMs) {
        for (long long t = 0; t < limitMs; t += kStepMs) {
            if (done()) return true;
            if (!advance()) {
                ADD_FAILURE() << "bytes did not cross the pseudo-terminal";
                return false;
            }
        }
        return done();
    }

    // Starts a test and runs it to its end; false when it did not start or end in time.
    bool runTest(TestKind kind, long long limitMs, TestChoices choices = {}) {
        if (choices.dateFlipStart == 0) choices.dateFlipStart = clock.now();
        if (!runner->start(kind, choices)) return false;
        return runUntil([&] { return !runner->running(); }, limitMs);
    }

    Location& location() { return *db.findLocation(1, 1, 1); }

    TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock{kBenchStart};
    VirtualTimerService timers{clock};
    ProfileStore profile{folder.file(kProfileStoreFileName)};
    Settings settings;
    PlanDatabase db;
    PlanDownload download{db, clock, settings};
    Validation validation{download};
    ReadBack readBack{validation};
    ProtocolMessages messages{clock, db, settings, ProtocolMessages::fromPlanDownload(download)};
    ProtocolReplyJudge judge{clock, readBack, download};
    RecordingErrorSink errors;
    ArchivingProgrammingStore store{clock, working,
                                    [this] { saveDatabase(db, working, clock.now()); }};
    RecordingLines lines;
    CountingPseudoTerminal pty;
    std::unique_ptr<sim::SimulatedTimeSwitch> device;
    std::unique_ptr<sim::PtyTransport> transport;
    CountingSerialDevice* station = nullptr;
    std::unique_ptr<CommoHandler> handler;
    std::unique_ptr<SwitchUnderTest> timeSwitch;
    std::unique_ptr<TestRunner> runner;

    // The System log of the bench's working folder today.
    std::string systemLog() const { return readFile(logWriter.logFileName(clock, kLogSystem)); }
    // A step of the group's own programming, and the first step Step 16 puts in its place.
    static constexpr const char* kRealStep = "Step,1,1,435,1,1";
    static constexpr const char* kTestStep = "Step,1,1,62,1,1";
};

// How often `what` stands in `text`.
inline std::size_t occurrences(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

}  // namespace quirn::test
