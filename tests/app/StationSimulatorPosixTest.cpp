#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/StationApp.h"
#include "ops/ErrorKinds.h"
#include "ops/LogWriter.h"
#include "plans/DatabaseFiles.h"
#include "plans/Group.h"
#include "plans/PasswayStore.h"
#include "plans/PlanTypes.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/VirtualTimerService.h"
#include "protocol/Qn510Image.h"
#include "protocol/ReadState.h"
#include "protocol/TimeCommands.h"
#include "tests/support/FileTimes.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/SimProcess.h"
#include "tests/support/SimulatorPath.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::simulatorPath;

using test::readFile;
using test::SimProcess;
using test::writeFile;

// Real time the simulator gets between two steps of the station's virtual time.
constexpr int kRealPollMs = 10;
// Bounds of every wait: steps and real milliseconds, whichever runs out first.
constexpr int kMaxSteps = 1500;
constexpr long long kMaxWaitMs = 8000;

long long steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The group's programming: two day plans, weekdays on plan 1, weekends on plan 2.
void writeGroupPlans(const test::TempFolder& folder) {
    std::string dayPlans;
    for (int weekday = 1; weekday <= 7; ++weekday)
        dayPlans += "DayPlanDefault," + std::to_string(weekday) + ",1,1," +
                    std::to_string(weekday == 1 || weekday == 7 ? 2 : 1) + "\r\n";
    dayPlans += "DayPlanName,1,1,1,School Day\r\nDayPlanName,2,1,1,Weekend\r\n";
    writeFile(folder.file("dayplan.csv"), dayPlans);
    writeFile(folder.file("steps.csv"),
              "Step,1,1,435,1,1\r\nStep,1,1,495,1,0\r\nStep,1,1,870,1,1\r\nStep,1,1,930,1,0\r\n"
              "Step,2,1,600,1,1\r\nStep,2,1,660,1,0\r\n");
    writeFile(folder.file("groups.csv"), "Group,1,Lincoln Elementary,1\r\n");
}

// The whole station on the manual clock, talking to a quirn-sim process in a temporary
// working folder. The station's time moves in small virtual steps while the simulator gets
// real time between them.
class StationSimulator : public ::testing::Test {
  protected:
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock{fromLocal(2026, 12, 9, 10, 0, 5)};
    VirtualTimerService timers{clock};

    void SetUp() override {
        if (simulatorPath().empty()) GTEST_SKIP() << "quirn-sim is not part of this build";
        writeGroupPlans(folder);
    }

    std::unique_ptr<SimProcess> startSim(const std::vector<std::string>& args) {
        return std::make_unique<SimProcess>(simulatorPath(), args, folder.file("sim.err"));
    }

    // Advances the station by `stepMs` at a time, giving the simulator real time, until `done`
    // holds; false when the bounds ran out first.
    bool runUntil(const std::function<bool()>& done, long long stepMs) {
        const long long deadline = steadyMs() + kMaxWaitMs;
        for (int step = 0; step < kMaxSteps && steadyMs() < deadline; ++step) {
            if (done()) return true;
            timers.advanceMs(stepMs);
            std::this_thread::sleep_for(std::chrono::milliseconds(kRealPollMs));
        }
        return done();
    }

    // Waits in real time (the station stands still) until the simulator's log holds `text`.
    bool simLogged(const std::string& text) {
        const long long deadline = steadyMs() + kMaxWaitMs;
        while (readFile(folder.file("sim.err")).find(text) == std::string::npos) {
            if (steadyMs() >= deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(kRealPollMs));
        }
        return true;
    }

    // Writes the group's programming to the location through the handler, waits until it went
    // out, then reads the location back; the read's final state, or nothing when no reply came.
    std::optional<ReadState> programAndRead(StationApp& app, Location& location, long long stepMs,
                                            const std::function<bool()>& written) {
        CommoHandler& commo = app.comms()->commo();
        EXPECT_GT(commo.startDownload(&location), 0u);
        if (!runUntil(written, stepMs)) {
            ADD_FAILURE() << "the programming did not go out";
            return std::nullopt;
        }
        const int repliesBefore = location.replyCount;
        commo.startRead(location);
        bool finished = runUntil(
            [&] {
                auto s = static_cast<ReadState>(location.readState);
                return location.replyCount > repliesBefore &&
                       (s == ReadState::ValidatePassed || s == ReadState::ValidateFailed);
            },
            stepMs);
        if (!finished) {
            ADD_FAILURE() << "no finished read; state " << location.readState << ", replies "
                          << location.replyCount
                          << "\nsimulator: " << readFile(folder.file("sim.err"));
            return std::nullopt;
        }
        return static_cast<ReadState>(location.readState);
    }

    std::string stateText(StationApp& app, const Location& location) {
        const Group* group = app.database().findGroup(location.masterGroup, location.group);
        return readStateText(static_cast<ReadState>(location.readState),
                             group ? group->name() : std::string(), location.name);
    }

    static bool errorsAt(StationApp& app, const Location& l) {
        for (size_t i = 0; i < app.errors().size(); ++i)
            if (app.errors().at(i)->isAt(l.masterGroup, l.group, l.number)) return true;
        return false;
    }

    // The Location log record of this location: "HH:MM,<name>,<number> MG, G, L,<count>,".
    std::string locationLogIdentity(const Location& l) {
        char numbers[48];
        std::snprintf(numbers, sizeof numbers, " %02d, %02d, %02d,", l.masterGroup, l.group,
                      l.number);
        return "," + l.name + "," + std::to_string(l.number) + numbers;
    }

    // Checks a passed read: its text, the Location log record, and no error left for it.
    void expectPassed(StationApp& app, const Location& location) {
        EXPECT_NE(stateText(app, location).find("Validate Passed"), std::string::npos)
            << stateText(app, location);
        std::string log = readFile(logWriter.logFileName(clock, kLogLocation));
        EXPECT_NE(log.find(locationLogIdentity(location)), std::string::npos) << log;
        EXPECT_FALSE(errorsAt(app, location));
    }

    // An old failure of the location, which a passing read must clear.
    void seedOldFailure(StationApp& app, const Location& l) {
        app.errors().addError(std::make_unique<ErrorValidateLocation>(
            clock.now() - 3600, l.masterGroup, l.group, l.number, "old failure"));
        ASSERT_TRUE(errorsAt(app, l));
    }
};

TEST_F(StationSimulator, RadioSwitchOnAPseudoTerminalIsProgrammedAndValidates) {
    auto sim = startSim({"--model", "QN510", "--address", "1,1,1", "--pty"});
    ASSERT_TRUE(sim->started());
    const std::string device = sim->firstLine();
    ASSERT_FALSE(device.empty()) << readFile(folder.file("sim.err"));
    writeFile(folder.file("quirnradio.ini"), "[Serial]\r\nCOM1=" + device + "\r\n");
    writeFile(folder.file("profile.csv"), "RadioPort,1\r\n");
    writeFile(folder.file("locations.csv"),
              std::string("Location,1,1,School,Lincoln Ave North,1,") + kRadioAddress + ",0\r\n");

    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    CommoHandler& commo = app.comms()->commo();
    ASSERT_TRUE(commo.serialPort().isOpen());
    // The port that opened is remembered: profile.csv now holds every setting, not only ours.
    const std::string settings = readFile(folder.file("profile.csv"));
    EXPECT_NE(settings.find("RadioPort,1\r\n"), std::string::npos) << settings;
    EXPECT_GT(settings.size(), std::string("RadioPort,1\r\n").size()) << settings;
    Location* location = app.database().findLocation(1, 1, 1);
    ASSERT_NE(location, nullptr);
    seedOldFailure(app, *location);

    auto state = programAndRead(app, *location, 100, [&] {
        return commo.queueSize() == 0 && commo.serialPort().transmitWaiting() == 0 &&
               commo.serialPort().state() == SerialPort::State::Idle;
    });
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(*state, ReadState::ValidatePassed);
    expectPassed(app, *location);
    app.shutDown();
    EXPECT_EQ(sim->stop(), 0);
}

class StationSimulatorWifi : public StationSimulator {
  protected:
    // Starts an MX40 on 127.0.0.5 (with `extra` options) and the station pointed at its port;
    // the read's final state.
    std::optional<ReadState> programAndReadMx40(const std::vector<std::string>& extra,
                                                bool expectPass) {
        std::vector<std::string> args = {"--model", "MX40",  "--address",
                                         "1,1,1",   "--tcp", "127.0.0.5:0"};
        args.insert(args.end(), extra.begin(), extra.end());
        auto sim = startSim(args);
        EXPECT_TRUE(sim->started());
        const unsigned port = test::portOfLine(sim->firstLine());
        EXPECT_NE(port, 0u) << readFile(folder.file("sim.err"));
        if (port == 0) return std::nullopt;
        writeFile(folder.file("quirnradio.ini"),
                  "[Commo]\r\nIPPort=" + std::to_string(port) + "\r\n");
        writeFile(folder.file("profile.csv"), "RadioPort,0\r\n");
        writeFile(folder.file("locations.csv"),
                  "Location,1,1,School,Lincoln Ave North,1,127.0.0.5,1\r\n");

        StationApp app(clock, timers, working);
        EXPECT_TRUE(app.startUp());
        CommoHandler& commo = app.comms()->commo();
        IpConnection* entry = commo.findConnection("127.0.0.5");
        EXPECT_NE(entry, nullptr);
        Location* location = app.database().findLocation(1, 1, 1);
        EXPECT_NE(location, nullptr);
        if (!entry || !location) return std::nullopt;
        seedOldFailure(app, *location);

        auto state = programAndRead(app, *location, 250, [&] {
            return commo.queueSize() == 0 && entry->state() == IpConnection::State::Idle;
        });
        if (state && expectPass) expectPassed(app, *location);
        if (state && !expectPass) {
            EXPECT_NE(stateText(app, *location).find("Validate Failed"), std::string::npos)
                << stateText(app, *location);
            EXPECT_NE(readFile(logWriter.logFileName(clock, kLogLocation))
                          .find(locationLogIdentity(*location)),
                      std::string::npos);
        }
        app.shutDown();
        EXPECT_EQ(sim->stop(), 0);
        return state;
    }
};

TEST_F(StationSimulatorWifi, WifiSwitchOnLoopbackIsProgrammedAndValidates) {
    auto state = programAndReadMx40({}, true);
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(*state, ReadState::ValidatePassed);
}

TEST_F(StationSimulatorWifi, WifiSwitchWithAWrongClockFailsValidation) {
    // Five minutes: well outside the tolerance however far the station's virtual time ran
    // ahead of the simulator's real time during the exchange.
    auto state = programAndReadMx40({"--clock-offset", "300"}, false);
    ASSERT_TRUE(state.has_value());
    EXPECT_EQ(*state, ReadState::ValidateFailed);
}

TEST_F(StationSimulator, StriderBehindTheM2MClientHandsOverItsActivationLog) {
    // The made-up presses are the last hours of 2025: a week later they belong to the previous
    // month, which the Passway store keeps.
    clock.set(fromLocal(2026, 1, 7, 10, 0, 5));
    auto sim = startSim(
        {"--m2m", "127.0.0.1:0", "--model", "Strider", "--address", "1,1,1", "--activations", "3"});
    ASSERT_TRUE(sim->started());
    const unsigned port = test::portOfLine(sim->firstLine());
    ASSERT_NE(port, 0u) << readFile(folder.file("sim.err"));
    writeFile(folder.file("quirnradio.ini"), "[Commo]\r\nIPPort=" + std::to_string(port) + "\r\n");
    writeFile(folder.file("profile.csv"), "RadioPort,0\r\n");
    writeFile(folder.file("imsi.csv"), "agencyID,77\r\nimsi,310170000000001\r\n");
    writeFile(folder.file("locations.csv"),
              std::string("Location,1,1,Signal,Oak St at 5th,1,") + kM2MAddress + ",2\r\n");

    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    CommoHandler& commo = app.comms()->commo();
    ASSERT_TRUE(commo.m2mEnabled());
    IpConnection* entry = commo.findConnection(kM2MAddress);
    ASSERT_NE(entry, nullptr);
    Location* location = app.database().findLocation(1, 1, 1);
    ASSERT_NE(location, nullptr);
    ASSERT_TRUE(app.passway().activations().empty());

    auto state = programAndRead(app, *location, 500, [&] {
        return commo.queueSize() == 0 && entry->state() == IpConnection::State::Idle;
    });
    ASSERT_TRUE(state.has_value());
    // The log exchange runs after the reply: wait for the clear command to have gone out and
    // the entry to be idle again.
    ASSERT_TRUE(runUntil(
        [&] {
            return entry->state() == IpConnection::State::Idle &&
                   app.passway().activations().size() >= 3;
        },
        500))
        << "state " << location->readState << ", activations " << app.passway().activations().size()
        << ", entry " << static_cast<int>(entry->state())
        << "\nsimulator: " << readFile(folder.file("sim.err"))
        << "\ntransmit: " << readFile(logWriter.logFileName(clock, kLogTransmit));

    std::vector<std::time_t> times;
    for (const PasswayActivation& a : app.passway().activations()) {
        EXPECT_EQ(a.masterGroup, 1);
        EXPECT_EQ(a.group, 1);
        EXPECT_EQ(a.location, 1);
        times.push_back(a.time);
    }
    std::sort(times.begin(), times.end());
    const std::vector<std::time_t> expected = {fromLocal(2025, 12, 31, 21, 0, 0),
                                               fromLocal(2025, 12, 31, 22, 0, 0),
                                               fromLocal(2025, 12, 31, 23, 0, 0)};
    EXPECT_EQ(times, expected);
    // The log was asked for and then cleared in the switch.
    EXPECT_TRUE(simLogged("activation log block 0")) << readFile(folder.file("sim.err"));
    EXPECT_TRUE(simLogged("activation log cleared")) << readFile(folder.file("sim.err"));
    // Saved at the end of the exchange: the previous month's Passway log holds the presses.
    const std::string monthly = readFile(PasswayStore(working).monthlyLogName(expected.back()));
    EXPECT_EQ(std::count(monthly.begin(), monthly.end(), '\n'), 4) << monthly;  // header + 3
    EXPECT_NE(monthly.find("Oak St at 5th"), std::string::npos) << monthly;
    EXPECT_EQ(*state, ReadState::ValidatePassed);
    expectPassed(app, *location);

    // The switch's log was cleared: with the station's copy dropped, a second read brings
    // none of the presses back.
    app.passway().clear();
    const int replies = location->replyCount;
    commo.startRead(*location);
    ASSERT_TRUE(runUntil(
        [&] {
            return location->replyCount > replies && entry->state() == IpConnection::State::Idle;
        },
        500));
    EXPECT_TRUE(app.passway().activations().empty());
    app.shutDown();
    EXPECT_EQ(sim->stop(), 0);
}

TEST_F(StationSimulator, AReadOverAConnectionThatCannotBeMadeEndsAsAFailedConnection) {
    unsigned closedPort = 0;
    {
        test::LoopbackServer gone("127.0.0.5");
        ASSERT_TRUE(gone.ok());
        closedPort = gone.port();
    }
    writeFile(folder.file("quirnradio.ini"),
              "[Commo]\r\nIPPort=" + std::to_string(closedPort) + "\r\n");
    writeFile(folder.file("profile.csv"), "RadioPort,0\r\n");
    writeFile(folder.file("locations.csv"),
              "Location,1,1,School,Lincoln Ave North,1,127.0.0.5,1\r\n");
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    Location* location = app.database().findLocation(1, 1, 1);
    ASSERT_NE(location, nullptr);
    const std::time_t started = clock.now();
    app.comms()->commo().startRead(*location);
    ASSERT_NE(static_cast<ReadState>(location->readState), ReadState::ConnectionFailed);
    // Well inside the time a read may take: the refused connection decides it at once.
    EXPECT_TRUE(runUntil(
        [&] { return static_cast<ReadState>(location->readState) == ReadState::ConnectionFailed; },
        100))
        << "state " << location->readState;
    EXPECT_LT(location->readStateTime - started, kReadTimeout);
    EXPECT_NE(stateText(app, *location).find("Connection Failed, 0 bytes read."),
              std::string::npos);
    app.shutDown();
}

// Broadcasts skip the M2M client, so an override enabled today must be handed to it directly:
// the QN510 behind it gets the override at 23:58, and its read-back then validates with it.
TEST_F(StationSimulator, AnOverrideReachesTheTimeSwitchBehindTheM2MClient) {
    clock.set(fromLocal(2026, 12, 9, 23, 50, 0));
    auto sim = startSim({"--model", "QN510", "--address", "1,1,1", "--m2m", "127.0.0.1:0"});
    ASSERT_TRUE(sim->started());
    const unsigned port = test::portOfLine(sim->firstLine());
    ASSERT_NE(port, 0u) << readFile(folder.file("sim.err"));
    writeFile(folder.file("quirnradio.ini"), "[Commo]\r\nIPPort=" + std::to_string(port) + "\r\n");
    writeFile(folder.file("profile.csv"), "RadioPort,0\r\n");
    writeFile(folder.file("imsi.csv"), "imsi,310150123456789\r\n");
    writeFile(folder.file("locations.csv"),
              std::string("Location,1,1,School,Lincoln Ave North,1,") + kM2MAddress + ",0\r\n");

    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    CommoHandler& commo = app.comms()->commo();
    IpConnection* client = commo.findConnection(kM2MAddress);
    ASSERT_NE(client, nullptr);
    Location* location = app.database().findLocation(1, 1, 1);
    ASSERT_NE(location, nullptr);
    auto idle = [&] {
        return commo.queueSize() == 0 && client->state() == IpConnection::State::Idle;
    };
    auto programmed = programAndRead(app, *location, 250, idle);
    ASSERT_EQ(programmed, ReadState::ValidatePassed);

    // The technician enables an override for the group this evening; the 23:58 reload pages it.
    writeFile(overrideFileName(working),
              "Step,1,1,0,1320,1\r\nStep,1,1,0,1380,0\r\nEnabled,1,1,0\r\n");
    ASSERT_TRUE(test::setModifiedTime(overrideFileName(working), clock.now() - 60));
    ASSERT_TRUE(runUntil([&] { return clock.now() >= fromLocal(2026, 12, 9, 23, 58, 20); }, 1000));
    ASSERT_TRUE(runUntil(idle, 250));
    ASSERT_TRUE(simLogged("override for today")) << readFile(folder.file("sim.err"));
    // The simulator's clock runs on real time, far behind the station's virtual minutes: set
    // it again, through the client, so the read judges the programming and not the drift.
    commo.enqueueFor(kM2MAddress, TimeCommand(1, 1, clock, false).bytes());
    ASSERT_TRUE(runUntil(idle, 250));

    const int repliesBefore = location->replyCount;
    commo.startRead(*location);
    ASSERT_TRUE(runUntil(
        [&] {
            auto s = static_cast<ReadState>(location->readState);
            return location->replyCount > repliesBefore &&
                   (s == ReadState::ValidatePassed || s == ReadState::ValidateFailed);
        },
        250));
    EXPECT_EQ(static_cast<ReadState>(location->readState), ReadState::ValidatePassed)
        << stateText(app, *location) << "\n"
        << readFile(folder.file("sim.err"));
    // The read-back carries the override: active, 22:00 ON and 23:00 OFF on every day.
    const auto* image = dynamic_cast<const Qn510Image*>(location->image.get());
    ASSERT_NE(image, nullptr);
    EXPECT_NE(image->tables().flags() & Qn510Tables::kOverrideActive, 0);
    EXPECT_EQ(image->tables().entries(Qn510Tables::Table::Override).size(), 2u);
    app.shutDown();
    EXPECT_EQ(sim->stop(), 0);
}

}  // namespace
}  // namespace quirn
