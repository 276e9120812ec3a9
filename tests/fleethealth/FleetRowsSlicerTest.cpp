// The daily check lays out the fleet's rows a slice at a time on the station's thread: every
// location once, in database order, whatever the technician changes between slices.
#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "fleethealth/FleetRows.h"
#include "fleethealth/FleetRowsSlicer.h"
#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"
#include "tests/support/FleetGenerator.h"

namespace quirn::test {
namespace {

constexpr std::size_t kSlice = 10000;

class FleetRowsSlicerTest : public ::testing::Test {
  protected:
    void SetUp() override { generateFleet(db, FleetShape::largest(), now); }
    const std::time_t now = fromLocal(2026, 3, 16, 9, 15, 0);
    PlanDatabase db;
    FleetRowsSlicer slicer;
};

TEST_F(FleetRowsSlicerTest, SlicesOfTenThousandGiveEveryRowInDatabaseOrder) {
    slicer.begin(db);
    int slices = 0;
    while (!slicer.step(db, kSlice)) ++slices;
    ++slices;
    // 98,010 locations in groups of 99: ten slices of 10,098 or fewer.
    EXPECT_EQ(slices, 10);
    const std::vector<FleetRow> rows = slicer.take();
    FleetRows whole;
    whole.build(db, {}, nullptr, now);
    ASSERT_EQ(rows.size(), whole.all().size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].name, whole.all()[i].name);
        ASSERT_EQ(rows[i].location, whole.all()[i].location);
    }
    EXPECT_FALSE(slicer.building());
}

TEST_F(FleetRowsSlicerTest, AGroupAddedInFrontOfThePlaceMovesNothingCopiedAlready) {
    PlanDatabase small;
    for (int g : {5, 6, 7})
        for (int l = 1; l <= 2; ++l) small.addLocation(Location(1, g, l));
    slicer.begin(small);
    ASSERT_FALSE(slicer.step(small, 1));   // group 5
    small.addLocation(Location(1, 2, 1));  // sorts in front of group 5
    while (!slicer.step(small, 1)) {
    }
    const std::vector<FleetRow> rows = slicer.take();
    std::vector<int> groups;
    for (const FleetRow& r : rows) groups.push_back(r.group);
    // Group 5 once, then 6 and 7; the new group is in the next day's check.
    EXPECT_EQ(groups, (std::vector<int>{5, 5, 6, 6, 7, 7}));
}

TEST_F(FleetRowsSlicerTest, AGroupTakenOutMeanwhileStartsAfresh) {
    PlanDatabase small;
    generateFleet(small, FleetShape{}, now);
    slicer.begin(small);
    ASSERT_FALSE(slicer.step(small, 1));
    const Group* first = small.allGroups().front();
    small.removeGroup(first->masterGroup(), first->number());
    while (!slicer.step(small, 1)) {
    }
    EXPECT_EQ(slicer.take().size(), small.locationCount());
}

}  // namespace
}  // namespace quirn::test
