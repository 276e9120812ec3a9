#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "comms/CommoHandler.h"
#include "fleetsend/FleetSend.h"
#include "fleetsend/SendLedger.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/VirtualTimerService.h"
#include "protocol/PlanDownload.h"
#include "tests/comms/CommsFakes.h"
#include "tests/support/PacedRadioDevice.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {

inline constexpr int kQn510 = 0;
inline constexpr int kMx40 = 1;
inline constexpr int kStrider = 2;
inline constexpr int kLr40 = 3;
inline constexpr std::size_t kAirRate = 250;

// A send on the real handler, radio port and plan download, on the manual clock, into a paced
// transmitter; IP entries as the test adds them.
class SendFixture : public ::testing::Test {
  protected:
    TempFolder folder;
    WorkingFolder working = folder.workingFolder();
    std::time_t start = fromLocal(2026, 12, 9, 10, 0, 0);
    ManualClock clock{start};
    VirtualTimerService timers{clock};
    PlanDatabase db;
    Settings settings;
    PlanDownload download{db, clock, settings};
    FakeProtocol protocol;
    RecordingErrorSink errors;
    PacedRadioDevice* radio = nullptr;
    std::unique_ptr<CommoHandler> commo;
    SendLedger ledger;
    std::unique_ptr<FleetSend> send;
    SocketFactory sockets;  // empty: the platform's

    // A group with day plan 2 and a non-standard Friday, so its pages say something.
    void addGroup(int mg, int g) {
        Group& group = db.group(mg, g);
        group.setDayPlanName(2, "Early release");
        group.addStep(Step::atTime(mg, g, 2, 7, 15, kCommandOn));
        group.addStep(Step::atTime(mg, g, 2, 12, 15, kCommandOff));
        group.setDefaultDay(6, 2);
        group.markProgrammingChanged();
    }
    Location& addLocation(int mg, int g, int number, int model,
                          const std::string& connection = kRadioAddress) {
        Location l(mg, g, number);
        l.name =
            "Site " + std::to_string(mg) + "-" + std::to_string(g) + "-" + std::to_string(number);
        l.model = model;
        l.connection = connection;
        return db.group(mg, g).addLocation(l);
    }

    void build() {
        ASSERT_TRUE(makeFolders(working.logs()));
        auto device = std::make_unique<PacedRadioDevice>(clock, kAirRate);
        radio = device.get();
        commo = std::make_unique<CommoHandler>(CommsSetup{clock, working, timers, protocol,
                                                          protocol, errors, &db, nullptr,
                                                          std::move(device), sockets});
        ASSERT_EQ(commo->openRadioPort(1, kBaud2400), 0);
        commo->start();
        ASSERT_TRUE(ledger.load(working.file(SendLedger::kFileName)));
        send = std::make_unique<FleetSend>(clock, timers, *commo, download, db, ledger,
                                           LogWriter(working));
    }

    // Steps the station's time until the send ends (bounded).
    bool runToEnd(long long maxMs = 30LL * 60 * 1000) {
        for (long long t = 0; t < maxMs && send->running(); t += 50) timers.advanceMs(50);
        return !send->running();
    }

    std::string groupPages(int mg, int g) { return SendPlanner::groupPagesOf(download, mg, g); }
    std::string programming(int mg, int g, int l) {
        return SendPlanner::programmingOf(download, *db.findLocation(mg, g, l));
    }
    std::string systemLog() {
        auto text = readWholeFile(LogWriter(working).logFileName(clock, kLogSystem));
        return text ? *text : std::string();
    }
};

}  // namespace quirn::test
