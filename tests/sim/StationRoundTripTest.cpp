#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plans/Group.h"
#include "plans/Location.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReadBack.h"
#include "protocol/ReadState.h"
#include "protocol/RecordCommands.h"
#include "protocol/Validation.h"
#include "sim/SimulatedTimeSwitch.h"
#include "tests/sim/SimTestSupport.h"
#include "tests/support/FleetGenerator.h"

namespace quirn::sim {
namespace {

constexpr bool kMasterGroups = true;

Settings withMasterGroups() {
    Settings settings;
    settings.hasMasterGroups = kMasterGroups ? 1 : 0;
    return settings;
}
constexpr size_t kBufferSize = 4000;

SimModel simModelOf(int32_t model) {
    switch (static_cast<TimeSwitchModel>(model)) {
        case TimeSwitchModel::MX40:
            return SimModel::MX40;
        case TimeSwitchModel::Strider:
            return SimModel::Strider;
        case TimeSwitchModel::LR40:
            return SimModel::LR40;
        default:
            return SimModel::QN510;
    }
}

std::string readRequest(const Location& location) {
    switch (static_cast<TimeSwitchModel>(location.model)) {
        case TimeSwitchModel::MX40:
            return mx40ReadCommand(location).bytes();
        case TimeSwitchModel::LR40:
            return lr40ReadCommand(location).bytes();
        default:
            return readCommand(location, kMasterGroups).text();
    }
}

// The whole way round: the station's plan download programs each simulated switch of a fleet,
// the station reads it back with its own request, decodes the reply with its own decoders and
// validates it against its own plans. Every model must validate; a switch with a wrong clock
// must fail on the clock alone.
class StationRoundTrip : public ::testing::Test {
  protected:
    void SetUp() override {
        quirn::test::FleetShape shape;
        shape.masterGroups = 2;
        shape.groupsPerMasterGroup = 3;
        shape.locationsPerGroup = 4;
        shape.stepsPerDayPlan = 6;
        shape.annualPlansPerGroup = 8;
        quirn::test::generateFleet(db, shape, today);
    }

    // Programs and reads one location; the comparison result after the reply (and, for a
    // Strider, after its activation log) was taken.
    unsigned roundTrip(Location& location, const SimSettings& settings) {
        SimulatedTimeSwitch device(settings, clock);
        std::vector<char> buffer(kBufferSize);
        size_t n = download.locationProgram(location, buffer.data(), buffer.size());
        EXPECT_GT(n, 0u);
        device.receive(std::string(buffer.data(), n));
        clock.advance(2);
        device.tick();
        std::string reply = device.receive(readRequest(location));
        EXPECT_FALSE(reply.empty()) << device.label();
        int matched = readBack.onReadData(location, reinterpret_cast<const uint8_t*>(reply.data()),
                                          reply.size(), clock.now());
        EXPECT_EQ(matched, 1) << device.label();
        if (settings.model == SimModel::Strider) {
            for (int block = 0, guard = 0; block >= 0 && guard < 20; ++guard) {
                std::string b =
                    device.receive(logRequestCommand(location, block, kMasterGroups).text());
                block = readBack.takeLogBlock(
                    location,
                    std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(b.data()), b.size()));
            }
        }
        return validation.compare(location);
    }

    const std::time_t today = fromLocal(2026, 10, 6, 9, 30, 0);
    ManualClock clock{today};
    PlanDatabase db;
    Settings settings = withMasterGroups();
    PlanDownload download{db, clock, settings};
    Validation validation{download};
    ReadBack readBack{validation};
};

TEST_F(StationRoundTrip, EveryModelValidatesAfterItsProgramming) {
    std::vector<int> perModel(4, 0);
    for (const auto& mg : db.masterGroups()) {
        for (const auto& group : mg->groups()) {
            for (const auto& location : group->locations()) {
                SimAddress address{location->masterGroup, group->number(), location->number};
                SimSettings s =
                    test::settingsFor(simModelOf(location->model), address, clock.now());
                EXPECT_EQ(roundTrip(*location, s), 0u)
                    << modelName(s.model) << " " << address.masterGroup << "," << address.group
                    << "," << address.location;
                ++perModel[static_cast<size_t>(location->model) % perModel.size()];
            }
        }
    }
    for (int count : perModel) EXPECT_GT(count, 0) << "every model takes part";
}

TEST_F(StationRoundTrip, WrongClockFailsOnTheClockOnly) {
    int tried = 0;
    for (const auto& mg : db.masterGroups()) {
        for (const auto& group : mg->groups()) {
            for (const auto& location : group->locations()) {
                SimAddress address{location->masterGroup, group->number(), location->number};
                SimSettings s =
                    test::settingsFor(simModelOf(location->model), address, clock.now());
                s.clock.clockOffsetSeconds = 5 * 60;
                EXPECT_EQ(roundTrip(*location, s), kClockWrong) << modelName(s.model);
                ++tried;
            }
        }
    }
    EXPECT_GT(tried, 0);
}

TEST_F(StationRoundTrip, UnconfirmedStriderFailsOnItsFlag) {
    int tried = 0;
    for (const auto& mg : db.masterGroups()) {
        for (const auto& group : mg->groups()) {
            for (const auto& location : group->locations()) {
                if (location->model != static_cast<int32_t>(TimeSwitchModel::Strider)) continue;
                SimAddress address{location->masterGroup, group->number(), location->number};
                SimSettings s = test::settingsFor(SimModel::Strider, address, clock.now());
                s.confirmationFlag = true;
                EXPECT_EQ(roundTrip(*location, s), kStriderUnconfirmed);
                ++tried;
            }
        }
    }
    EXPECT_GT(tried, 0);
}

TEST_F(StationRoundTrip, SpoiltRepliesAreNotTaken) {
    struct Fault {
        const char* name;
        void (*apply)(SimFaults&);
    };
    const Fault faults[] = {
        {"bad checksum", [](SimFaults& f) { f.badChecksum = true; }},
        {"cut answer", [](SimFaults& f) { f.cutAnswer = 12; }},
        {"no answer", [](SimFaults& f) { f.noAnswer = true; }},
    };
    int tried = 0;
    for (const auto& mg : db.masterGroups()) {
        for (const auto& group : mg->groups()) {
            for (const auto& location : group->locations()) {
                if (location->model != static_cast<int32_t>(TimeSwitchModel::QN510) &&
                    location->model != static_cast<int32_t>(TimeSwitchModel::LR40))
                    continue;
                for (const Fault& fault : faults) {
                    SimAddress address{location->masterGroup, group->number(), location->number};
                    SimSettings s =
                        test::settingsFor(simModelOf(location->model), address, clock.now());
                    fault.apply(s.faults);
                    SimulatedTimeSwitch device(s, clock);
                    std::vector<char> buffer(kBufferSize);
                    size_t n = download.locationProgram(*location, buffer.data(), buffer.size());
                    device.receive(std::string(buffer.data(), n));
                    std::string reply = device.receive(readRequest(*location));
                    int matched = readBack.onReadData(
                        *location, reinterpret_cast<const uint8_t*>(reply.data()), reply.size(),
                        clock.now());
                    EXPECT_EQ(matched, 0) << fault.name << " " << modelName(s.model);
                    ReadState expected =
                        reply.empty() ? ReadState::ConnectionFailed : ReadState::PartialData;
                    EXPECT_EQ(static_cast<ReadState>(location->readState), expected)
                        << fault.name << " " << modelName(s.model);
                    ++tried;
                }
            }
        }
    }
    EXPECT_GT(tried, 0);
}

}  // namespace
}  // namespace quirn::sim
