#include <gtest/gtest.h>

#include "fleetsend/SendPlanner.h"
#include "tests/fleetsend/SendFixture.h"
#include "tests/support/FleetGenerator.h"

namespace quirn::test {
namespace {

class SendPlannerFleet : public SendFixture {};

// The planner builds a QN510's or a Strider's programming once per group and model, and an
// image once: every item's estimate must still be the size of the programming built for it
// alone, with the walk's slices splitting groups.
TEST_F(SendPlannerFleet, EveryItemsSizeIsThatOfItsOwnProgrammingInAGeneratedFleet) {
    FleetShape shape;
    shape.masterGroups = 2;
    shape.groupsPerMasterGroup = 6;
    shape.locationsPerGroup = 30;
    generateFleet(db, shape, start);
    SendLedger none;
    SendPlanner planner(db, download, none, SendSelection::all());
    std::size_t steps = 0;
    while (!planner.step(7) && steps < 100000) ++steps;  // small slices: groups split across
    ASSERT_TRUE(planner.done());
    std::size_t covered = 0;
    std::size_t bytes = 0;
    for (const SendItem& item : planner.items()) {
        ASSERT_EQ(item.status, SendItem::Status::Waiting) << item.name;
        const std::string built =
            item.kind == SendItem::Kind::GroupPages
                ? SendPlanner::groupPagesOf(download, item.key.masterGroup, item.key.group)
                : SendPlanner::programmingOf(
                      download,
                      *db.findLocation(item.key.masterGroup, item.key.group, item.key.location));
        EXPECT_EQ(item.bytes, built.size()) << item.name;
        covered += item.kind == SendItem::Kind::GroupPages ? item.locations.size() : 1;
        bytes += item.bytes;
    }
    EXPECT_EQ(covered, db.locationCount());
    EXPECT_EQ(planner.estimate().bytes, bytes);
    EXPECT_EQ(planner.estimate().locationsCovered, db.locationCount());
}

}  // namespace
}  // namespace quirn::test
