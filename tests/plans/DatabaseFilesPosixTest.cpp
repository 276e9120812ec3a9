#include <gtest/gtest.h>

#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "platform/LocalTime.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::readFile;

// A save that dies part way (the file-size limit stands in for a full disk or a crash) leaves
// every database file as it was.
TEST(DatabaseFilesPosix, AFailedSaveLeavesPreviousFilesLoadable) {
    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const std::time_t now = fromLocal(2026, 12, 9, 10, 0, 0);
    PlanDatabase db;
    test::generateFleet(db, {}, now);
    ASSERT_TRUE(saveDatabase(db, working, now));
    const std::string before =
        readFile(locationsFileName(working)) + readFile(stepsFileName(working));

    test::generateFleet(db, {3, 10, 20, 9, 16, 36, 5, false, 5}, now);  // a bigger database
    EXPECT_EQ(
        test::runWithFileSizeLimit(4096, [&] { return saveDatabase(db, working, now) ? 1 : 0; }), 0)
        << "a failed save must report failure";
    EXPECT_EQ(readFile(locationsFileName(working)) + readFile(stepsFileName(working)), before);
    PlanDatabase again;
    loadDatabase(again, working, now);
    EXPECT_EQ(again.locationCount(), 2u * 3u * 4u);
}

}  // namespace
}  // namespace quirn
