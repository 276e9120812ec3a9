#include <gtest/gtest.h>

#include <filesystem>

#include "plans/DatabaseFiles.h"
#include "plans/PasswayStore.h"
#include "plans/PlanDatabase.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::readFile;

class Passway : public ::testing::Test {
  protected:
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    PlanDatabase db;
    std::time_t now = fromLocal(2026, 12, 9, 10, 0, 0);

    void SetUp() override {
        ASSERT_TRUE(makeFolder(folder.logs()));
        db.group(1, 3).setName("North");
        Location l(1, 3, 7);
        l.name = "Main St";
        l.model = static_cast<int>(TimeSwitchModel::Strider);
        db.addLocation(l).setConfirmedStriderTimeCode(4);
        db.addLocation(Location(1, 3, 8));  // a QN510: no Strider record
    }
    PasswayActivation at(int y, int m, int d, int side = 1, int location = 7) {
        return {1, 3, location, side, fromLocal(y, m, d, 8, 15, 30)};
    }
};

TEST_F(Passway, FileRoundTripKeepsActivationsAndConfirmedCodes) {
    PasswayStore store{working};
    store.addActivation(at(2026, 12, 1));
    store.addActivation(at(2026, 12, 2, 0));
    ASSERT_TRUE(store.save(db, now));
    std::string bytes = readFile(passwayFileName(working));
    EXPECT_EQ(bytes.size(), 4u + 2u * 20u + 4u + 1u * 16u);

    PlanDatabase fresh;
    Location l(1, 3, 7);
    l.model = static_cast<int>(TimeSwitchModel::Strider);
    fresh.addLocation(l);
    PasswayStore loaded{working};
    ASSERT_TRUE(loaded.load(fresh));
    EXPECT_EQ(loaded.activations(), store.activations());
    EXPECT_EQ(fresh.findLocation(1, 3, 7)->confirmedStriderTimeCode(), 4);
}

TEST_F(Passway, MonthlyLogsGetTheirMonthsAndOldActivationsLeaveTheStore) {
    PasswayStore store{working};
    store.addActivation(at(2026, 12, 1));         // this month
    store.addActivation(at(2026, 11, 30));        // previous month
    store.addActivation(at(2026, 10, 31));        // the month before: logged, dropped
    store.addActivation(at(2026, 7, 4));          // older still: oldest file, dropped
    store.addActivation(at(2026, 12, 2, 1, 50));  // location gone: no line, kept
    ASSERT_TRUE(store.save(db, now));
    std::string december = readFile(folder.logs() + "Passway_Log_December_2026.csv");
    std::string november = readFile(folder.logs() + "Passway_Log_November_2026.csv");
    std::string october = readFile(folder.logs() + "Passway_Log_October_2026.csv");
    const std::string header =
        "Group Name, Location Name, Master Group, Group, Location, Commo, Year, Month, Date, "
        "Hour, Minute, Second\r\n";
    EXPECT_EQ(december, header + "North,Main St,1,3,7,1,2026,12,1,8,15,30\r\n");
    EXPECT_EQ(november, header + "North,Main St,1,3,7,1,2026,11,30,8,15,30\r\n");
    EXPECT_EQ(october, header + "North,Main St,1,3,7,1,2026,10,31,8,15,30\r\n" +
                           "North,Main St,1,3,7,1,2026,7,4,8,15,30\r\n");
    ASSERT_EQ(store.activations().size(), 3u);
    EXPECT_EQ(store.activations()[2].location, 50);

    // Each save appends a header and the kept activations again.
    ASSERT_TRUE(store.save(db, now));
    EXPECT_EQ(readFile(folder.logs() + "Passway_Log_October_2026.csv"), october + header);
}

TEST_F(Passway, UnwritableLogsLeaveThePasswayFileAsItWas) {
    PasswayStore store{working};
    store.addActivation(at(2026, 12, 1));
    ASSERT_TRUE(store.save(db, now));
    std::string before = readFile(passwayFileName(working));
    store.addActivation(at(2026, 12, 3));
    std::filesystem::remove_all(folder.logs());
    EXPECT_FALSE(store.save(db, now));
    EXPECT_EQ(readFile(passwayFileName(working)), before);
    EXPECT_EQ(store.activations().size(), 2u);
}

TEST_F(Passway, DamagedFilesAreReadAsFarAsTheyAreWhole) {
    PasswayStore store{working};
    store.addActivation(at(2026, 12, 1));
    store.addActivation(at(2026, 12, 2));
    std::string bytes = store.fileBytes(db);
    PasswayStore damaged{working};
    EXPECT_FALSE(damaged.applyFileBytes(db, bytes.substr(0, 4 + 20 + 7)));
    EXPECT_EQ(damaged.activations().size(), 1u);
    std::string huge = bytes;
    huge[3] = 0x7f;  // claims billions of activations: no more are read than the file holds
    EXPECT_FALSE(damaged.applyFileBytes(db, huge));
    EXPECT_LE(damaged.activations().size(), (huge.size() - 4) / 20);
    EXPECT_FALSE(damaged.applyFileBytes(db, ""));
    EXPECT_EQ(PasswayStore(working).monthlyLogName(now),
              folder.logs() + "Passway_Log_December_2026.csv");
}

}  // namespace
}  // namespace quirn
