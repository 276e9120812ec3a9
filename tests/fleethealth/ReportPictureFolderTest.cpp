// The working folder of the guide's picture of the manager's report (docs/fleet-report.png): the
// picture fleet's database, its settings and its real read history file, for `quirnctl report
// fleet --html` to read. Made only when QUIRN_REPORT_FOLDER names an empty folder to fill
// (scripts/fleet-report-picture.sh).
#include <gtest/gtest.h>

#include <cstdlib>

#include "fleethealth/ReadHistoryStore.h"
#include "plans/DatabaseFiles.h"
#include "plans/Settings.h"
#include "platform/LocalTime.h"
#include "platform/WorkingFolder.h"
#include "tests/fleethealth/PictureFleet.h"

namespace quirn::test {
namespace {

constexpr const char* kAgency = "Riverton School District";

TEST(FleetReportPicture, WritesTheWorkingFolderWithItsHistory) {
    const char* dir = std::getenv("QUIRN_REPORT_FOLDER");
    if (dir == nullptr || *dir == '\0') GTEST_SKIP() << "QUIRN_REPORT_FOLDER is not set";
    const std::time_t now = fromLocal(2026, 3, 16, 9, 15, 0);
    const WorkingFolder folder(std::string(dir) + "/");
    PlanDatabase db;
    const PictureFleet fleet = makePictureFleet(db, now);
    ASSERT_TRUE(saveDatabase(db, folder, now));
    Settings settings;
    settings.cityName = kAgency;
    ASSERT_TRUE(settings.save(settingsFileName(folder)));
    ReadHistoryStore store;
    ASSERT_TRUE(store.open(folder.file(kHistoryFileName), now).ok()) << store.lastError();
    ASSERT_TRUE(store.insert(fleet.reads)) << store.lastError();
    EXPECT_EQ(store.readCount(), static_cast<long long>(fleet.reads.size()));
}

}  // namespace
}  // namespace quirn::test
