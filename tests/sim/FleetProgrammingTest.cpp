#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "plans/Group.h"
#include "plans/Location.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/LogEntry.h"
#include "protocol/Qn510Tables.h"
#include "protocol/RecordCommands.h"
#include "sim/SimulatedTimeSwitch.h"
#include "tests/sim/SimTestSupport.h"
#include "tests/support/FleetGenerator.h"

namespace quirn::sim {
namespace {

constexpr bool kMasterGroups = true;

// Every paged location of a generated fleet, programmed with the station's own commands built
// from the plan records, holds exactly the tables the station's validation expects of it, and
// its neighbours are not touched.
TEST(FleetProgramming, EveryPagedLocationHoldsWhatTheStationExpects) {
    PlanDatabase db;
    quirn::test::FleetShape shape;
    shape.masterGroups = 2;
    shape.groupsPerMasterGroup = 3;
    shape.locationsPerGroup = 4;
    shape.stepsPerDayPlan = 6;
    const std::time_t today = fromLocal(2026, 9, 14, 10, 0, 0);
    quirn::test::generateFleet(db, shape, today);
    ManualClock host(today);

    int programmed = 0;
    int withSteps = 0;
    for (const auto& mg : db.masterGroups()) {
        for (const auto& group : mg->groups()) {
            const auto& locations = group->locations();
            for (const auto& location : locations) {
                auto model = static_cast<TimeSwitchModel>(location->model);
                if (model != TimeSwitchModel::QN510 && model != TimeSwitchModel::Strider) continue;
                SimModel simModel =
                    model == TimeSwitchModel::QN510 ? SimModel::QN510 : SimModel::Strider;
                SimAddress address{location->masterGroup, group->number(), location->number};
                SimulatedTimeSwitch device(test::settingsFor(simModel, address, today), host);
                SimAddress neighbour = address;
                neighbour.location = address.location == 99 ? 98 : address.location + 1;
                SimulatedTimeSwitch other(test::settingsFor(simModel, neighbour, today), host);

                std::string text =
                    defaultWeekCommand(*group, *location, today, kMasterGroups).text();
                device.receive(text);
                other.receive(text);
                Qn510Tables expected = Qn510Tables::fresh(toLocal(today));
                applyTo(decodeMessage(text), expected);
                std::vector<Qn510Tables::Entry> e = expected.entries(Qn510Tables::Table::Default);
                const auto& mine = device.qn510().table(Qn510Memory::Table::Default);
                ASSERT_EQ(mine.size(), e.size()) << text;
                for (size_t i = 0; i < e.size(); ++i) {
                    EXPECT_EQ(mine[i].days, e[i].days) << text;
                    EXPECT_EQ(mine[i].hour, e[i].hour) << text;
                    EXPECT_EQ(mine[i].minute, e[i].minute) << text;
                }
                EXPECT_TRUE(other.qn510().table(Qn510Memory::Table::Default).empty()) << text;

                std::string reply = device.receive(readCommand(*location, kMasterGroups).text());
                EXPECT_EQ(reply.size(), 16u + 3u * e.size()) << text;
                ++programmed;
                if (!e.empty()) ++withSteps;
            }
        }
    }
    EXPECT_GT(programmed, 0);
    EXPECT_GT(withSteps, 0);
}

}  // namespace
}  // namespace quirn::sim
