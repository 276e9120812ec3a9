#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plans/DatabaseFiles.h"
#include "plans/DatabaseTextBuilder.h"
#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"
#include "tests/support/FleetGenerator.h"

namespace quirn {
namespace {

const WorkingFolder kFolder{"/station/"};

std::size_t lineCount(const std::string& text, const std::string& prefix) {
    std::size_t n = 0;
    for (std::size_t at = 0; at < text.size();) {
        if (text.compare(at, prefix.size(), prefix) == 0) ++n;
        const std::size_t end = text.find('\n', at);
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return n;
}

// How many "Group" lines name master group `mg` and group `g` (its number ends the line).
std::size_t groupLines(const std::string& text, int mg, int g) {
    const std::string head = "Group," + std::to_string(mg) + ",";
    const std::string tail = "," + std::to_string(g) + "\r";
    std::size_t n = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        const std::string line = text.substr(at, end == std::string::npos ? end : end - at);
        if (line.rfind(head, 0) == 0 && line.size() >= tail.size() &&
            line.compare(line.size() - tail.size(), tail.size(), tail) == 0)
            ++n;
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return n;
}

// Written a group at a time, the files are byte for byte those written in one go: the same
// paths in the same order, every kind of line of every group in its place.
TEST(DatabaseTextBuilder, SlicesWriteTheSameFilesAsOneGo) {
    const std::time_t now = fromLocal(2026, 12, 9, 23, 59, 0);
    PlanDatabase db;
    test::generateFleet(db, {2, 5, 6, 9, 4, 6, 2, false, 5}, now);
    db.findLocation(1, 1, 1)->setType("");  // written as "School", in either way
    const std::vector<DatabaseFile> expected = databaseFiles(db, kFolder, now);
    for (const char* kind :
         {"DayPlan,", "VacationPlan,", "DayPlanName,", "DayPlanDefault,", "SWT,"})
        ASSERT_GT(lineCount(expected[1].text, kind), 0u) << kind;  // every kind is there to order

    DatabaseTextBuilder builder;
    builder.begin(now);
    std::size_t slices = 1;
    while (!builder.step(db, SIZE_MAX, 3)) ++slices;
    EXPECT_EQ(slices, 4u);  // ten groups, three a slice
    std::vector<DatabaseFile> files = builder.take(db, kFolder).join();
    EXPECT_FALSE(builder.building());
    ASSERT_EQ(files.size(), expected.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i].path, expected[i].path);
        EXPECT_TRUE(files[i].text == expected[i].text) << files[i].path;  // not printed: long
    }
    // Each slice is bounded by the locations it wrote as well.
    builder.begin(now);
    slices = 1;
    while (!builder.step(db, 7, SIZE_MAX)) ++slices;
    EXPECT_EQ(slices, 5u);  // six locations a group: two groups a slice
    files = builder.take(db, kFolder).join();
    EXPECT_TRUE(files[1].text == expected[1].text);
    EXPECT_EQ(lineCount(files[0].text, "Location,"), 60u);
}

// A group added in front of the place a build stopped at is left to the next save, one added
// ahead of it is in this one, and no group is written twice.
TEST(DatabaseTextBuilder, GroupsAddedBetweenSlicesShiftNoGroupInOrOut) {
    const std::time_t now = fromLocal(2026, 12, 9, 23, 59, 0);
    PlanDatabase db;
    db.addLocation(Location(1, 2, 1));
    db.addLocation(Location(1, 4, 1));
    db.addLocation(Location(2, 2, 1));
    DatabaseTextBuilder builder;
    builder.begin(now);
    ASSERT_FALSE(builder.step(db, SIZE_MAX, 1));  // group 2 of master group 1
    db.addLocation(Location(1, 1, 1));            // in front of the place: the next save's
    db.addLocation(Location(1, 3, 1));            // ahead of it: this one's
    while (!builder.step(db, SIZE_MAX, 1)) {
    }
    const std::vector<DatabaseFile> files = builder.take(db, kFolder).join();
    const std::string& groups = files[3].text;
    EXPECT_EQ(lineCount(groups, "Group,"), 4u);
    EXPECT_EQ(groupLines(groups, 1, 1), 0u);
    EXPECT_EQ(groupLines(groups, 1, 2), 1u);
    EXPECT_EQ(groupLines(groups, 1, 3), 1u);
    EXPECT_EQ(groupLines(groups, 1, 4), 1u);
    EXPECT_EQ(groupLines(groups, 2, 2), 1u);
    EXPECT_EQ(lineCount(files[0].text, "Location,"), 4u);
}

}  // namespace
}  // namespace quirn
