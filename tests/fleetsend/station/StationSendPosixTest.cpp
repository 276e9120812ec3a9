#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "fleetsend/FleetSend.h"
#include "plans/Step.h"
#include "protocol/ReadState.h"
#include "tests/support/SimProcess.h"
#include "tests/support/SimulatorPath.h"
#include "tests/validationrun/StationRunFixture.h"

namespace quirn::test {
namespace {

constexpr long long kStepMs = 250;
constexpr int kRealPollMs = 4;
constexpr int kQn510 = 0;
constexpr int kMx40 = 1;
constexpr int kStrider = 2;
constexpr int kLr40 = 3;

struct Switch {
    int group;
    int number;
    const char* address;
    int model;
    const char* modelName;
};
// Group 1: a QN510 on the radio (paged by group), an MX40 and an LR40 on WiFi, a QN510 behind
// the M2M client, and an MX40 on WiFi that goes away. Group 2: a Strider behind the M2M client.
constexpr Switch kRadioQn510{1, 1, kRadioAddress, kQn510, "QN510"};
constexpr Switch kWifiMx40{1, 2, "127.0.0.5", kMx40, "MX40"};
constexpr Switch kWifiLr40{1, 3, "127.0.0.6", kLr40, "LR40"};
constexpr Switch kM2mQn510{1, 4, kM2MAddress, kQn510, "QN510"};
constexpr Switch kGoneMx40{1, 5, "127.0.0.7", kMx40, "MX40"};
constexpr Switch kM2mStrider{2, 1, kM2MAddress, kStrider, "Strider"};
constexpr Switch kFleet[] = {kRadioQn510, kWifiMx40, kWifiLr40, kM2mQn510, kGoneMx40, kM2mStrider};

std::string addressArg(const Switch& s) {
    return "1," + std::to_string(s.group) + "," + std::to_string(s.number);
}

class StationSend : public StationRunFixture {
  protected:
    std::vector<std::unique_ptr<SimProcess>> sims;
    SimProcess* gone = nullptr;
    std::string timeFile;
    std::string radioDevice;
    unsigned port = 0;

    void SetUp() override {
        if (simulatorPath().empty()) GTEST_SKIP() << "quirn-sim is not part of this build";
        timeFile = folder.file("station-time");
        writeTime();
        port = startSims();
        ASSERT_NE(port, 0u);
        std::string locations;
        for (const Switch& s : kFleet)
            locations += locationLine(s.number, s.address, s.model, s.group);
        writeStation(locations, "RadioPort,1\r\n",
                     "[Serial]\r\nCOM1=" + radioDevice +
                         "\r\n[Commo]\r\nIPPort=" + std::to_string(port) + "\r\n");
        writeFile(folder.file("groups.csv"),
                  "Group,1,Lincoln Elementary,1\r\nGroup,2,Oak Crossing,1\r\n");
        writeFile(folder.file("imsi.csv"), "imsi,310150123456789\r\n");
        ASSERT_TRUE(startStation());
    }

    void TearDown() override {
        StationRunFixture::TearDown();
        for (auto& sim : sims) sim->stop();
    }

    void writeTime() { ASSERT_TRUE(writeSimTime(timeFile, clock.nowMs())); }

    SimProcess& startSim(std::vector<std::string> args, const std::string& errName) {
        args.insert(args.end(), {"--time-file", timeFile});
        sims.push_back(std::make_unique<SimProcess>(simulatorPath(), args, folder.file(errName)));
        return *sims.back();
    }

    unsigned startSims() {
        SimProcess& first = startSim({"--model", "MX40", "--address", addressArg(kWifiMx40),
                                      "--tcp", std::string(kWifiMx40.address) + ":0"},
                                     "mx40.err");
        const unsigned p = first.started() ? portOfLine(first.firstLine()) : 0;
        if (p == 0) return 0;
        const std::string at = ":" + std::to_string(p);
        SimProcess& lr40 = startSim({"--model", "LR40", "--address", addressArg(kWifiLr40), "--tcp",
                                     kWifiLr40.address + at},
                                    "lr40.err");
        gone = &startSim({"--model", "MX40", "--address", addressArg(kGoneMx40), "--tcp",
                          kGoneMx40.address + at},
                         "gone.err");
        SimProcess& m2m = startSim(
            {"--m2m", kM2MAddress + at, "--model", "QN510", "--address", addressArg(kM2mQn510),
             "--model", "Strider", "--address", addressArg(kM2mStrider)},
            "m2m.err");
        for (SimProcess* sim : {&lr40, gone, &m2m})
            if (!sim->started() || portOfLine(sim->firstLine()) != p) return 0;
        SimProcess& radio = startSim(
            {"--model", "QN510", "--address", addressArg(kRadioQn510), "--pty"}, "radio.err");
        radioDevice = radio.started() ? radio.firstLine() : std::string();
        return radioDevice.empty() ? 0 : p;
    }

    void step() {
        timers.advanceMs(kStepMs);
        writeTime();
        std::this_thread::sleep_for(std::chrono::milliseconds(kRealPollMs));
    }

    bool stepUntil(const std::function<bool()>& done) {
        const long long deadline = steadyMs() + kMaxRealMs;
        for (int n = 0; n < kMaxSteps && steadyMs() < deadline; ++n) {
            if (done()) return true;
            step();
        }
        return done();
    }

    FleetSend& send() { return *app->fleetSend(); }

    bool sendAndWait(const SendSelection& selection) {
        if (!send().prepareNow(selection) || !send().confirm("by the test")) return false;
        return stepUntil([&] { return !send().running(); });
    }

    const SendItem* itemFor(const Switch& s) {
        for (const SendItem& item : send().items()) {
            if (item.key.group != s.group) continue;
            if (item.key.location == s.number) return &item;
            if (item.kind == SendItem::Kind::GroupPages && s.address == std::string(kRadioAddress))
                return &item;
        }
        return nullptr;
    }

    ReadState readState(const Switch& s) {
        return static_cast<ReadState>(
            app->database().findLocation(1, s.group, s.number)->readState);
    }

    bool validateAll() {
        if (run().start(RunSelection::all(), "by the test") != ValidationRun::StartResult::Started)
            return false;
        return stepUntil([&] { return !run().running(); });
    }
};

TEST_F(StationSend, EditedProgrammingReachesEverySwitchOverItsLinkAndSurvivesARestartUnsent) {
    // The first send: nothing was ever sent, so everything counts as changed.
    ASSERT_TRUE(send().prepareNow(SendSelection::changed()));
    const SendEstimate first = send().estimate();
    EXPECT_EQ(first.groupPages, 1u);
    EXPECT_EQ(first.wifiLocations, 3u);
    EXPECT_EQ(first.m2mLocations, 2u);
    send().cancel();
    // The gone switch is killed: its address refuses the station.
    gone->stop();
    ASSERT_TRUE(sendAndWait(SendSelection::all()));
    for (const Switch& s : kFleet) {
        const SendItem* item = itemFor(s);
        ASSERT_NE(item, nullptr) << s.number;
        if (&s == &kFleet[4]) {
            EXPECT_EQ(item->status, SendItem::Status::GivenUp);
            EXPECT_EQ(item->reason, std::string("no connection to ") + kGoneMx40.address);
        } else {
            EXPECT_EQ(item->status, SendItem::Status::Sent) << item->name << ": " << item->reason;
        }
    }
    EXPECT_NE(systemLog().find("given up: no connection to 127.0.0.7"), std::string::npos);
    ASSERT_TRUE(validateAll());
    for (const Switch& s : kFleet) {
        if (s.number != kGoneMx40.number || s.group != kGoneMx40.group) {
            EXPECT_EQ(readState(s), ReadState::ValidatePassed) << s.modelName << " " << s.number;
        }
    }

    // An edit of group 1 while the station runs, saved; then the station restarts.
    Group* lincoln = app->database().findGroup(1, 1);
    ASSERT_NE(lincoln, nullptr);
    lincoln->setDayPlanName(3, "Late start");
    lincoln->addStep(Step::atTime(1, 1, 3, 9, 30, kCommandOn));
    lincoln->addStep(Step::atTime(1, 1, 3, 15, 0, kCommandOff));
    lincoln->setDefaultDay(4, 3);
    lincoln->markProgrammingChanged();
    app->programmingEdited(1, 1);
    app->saveAll();
    app->shutDown();
    app.reset();
    ASSERT_TRUE(startStation());
    EXPECT_TRUE(app->sendLedger().isChanged({1, 1, kWifiMx40.number}));
    EXPECT_FALSE(app->sendLedger().isChanged({1, 2, kM2mStrider.number}));

    // Before the send the switches still hold last week's programming: validation says so.
    ASSERT_TRUE(validateAll());
    EXPECT_EQ(readState(kWifiMx40), ReadState::ValidateFailed);

    ASSERT_TRUE(sendAndWait(SendSelection::changed()));
    const SendEstimate& second = send().estimate();
    EXPECT_EQ(second.groupPages, 1u);
    EXPECT_EQ(second.wifiLocations, 3u);  // the gone one was never sent: still changed
    EXPECT_EQ(second.m2mLocations, 1u);   // the Strider of group 2 was not edited
    ASSERT_TRUE(send().lastSummary());
    EXPECT_EQ(send().lastSummary()->sent, 4u);
    EXPECT_EQ(send().lastSummary()->givenUp, 1u);
    ASSERT_TRUE(validateAll());
    for (const Switch& s : kFleet) {
        if (s.number != kGoneMx40.number || s.group != kGoneMx40.group) {
            EXPECT_EQ(readState(s), ReadState::ValidatePassed) << s.modelName << " " << s.number;
        }
    }
}

// The station is closed while a send is under way (the M2M client's switches take their time):
// what went out before is on record, so the next "changed" send does not send it again.
TEST_F(StationSend, ClosingTheStationMidSendKeepsWhatWentOut) {
    ASSERT_TRUE(send().prepareNow(SendSelection::all()));
    ASSERT_TRUE(send().confirm("by the test"));
    ASSERT_TRUE(stepUntil([&] { return send().progress().sent >= 2; }));
    ASSERT_TRUE(send().running());
    std::vector<LocationKey> sent;
    for (const SendItem& item : send().items())
        if (item.status == SendItem::Status::Sent && item.kind == SendItem::Kind::Location)
            sent.push_back(item.key);
    ASSERT_FALSE(sent.empty());
    app->shutDown();
    SendLedger onDisk;
    ASSERT_TRUE(onDisk.load(working.file(SendLedger::kFileName)));
    for (const LocationKey& key : sent) EXPECT_FALSE(onDisk.isChanged(key)) << key.location;
    EXPECT_TRUE(onDisk.isChanged({1, 2, kM2mStrider.number}));  // its turn had not come
    const std::string log = systemLog();
    EXPECT_NE(log.find("Sending programming to all locations stopped: "), std::string::npos) << log;
    EXPECT_NE(log.find("given up: the station closed while it was on its way."), std::string::npos)
        << log;
}

}  // namespace
}  // namespace quirn::test
