// The guide's picture of the fleet window (docs/fleet.png), grabbed from the real window over a
// generated fleet and a real history file, the drifting clock picked. Made only when
// QUIRN_SCREENSHOT_DIR names the folder to write it to (scripts/fleet-screenshot.sh).
#include <gtest/gtest.h>

#include <QApplication>
#include <QPixmap>
#include <cstdlib>

#include "fleethealth/HistoryFileSource.h"
#include "fleethealth/ui/FleetWindow.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "tests/fleethealth/FleetHistoryFile.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {
namespace {

TEST(FleetScreenshot, TheFleetWindowWithADriftingClockPicked) {
    const char* dir = std::getenv("QUIRN_SCREENSHOT_DIR");
    if (dir == nullptr || *dir == '\0') GTEST_SKIP() << "QUIRN_SCREENSHOT_DIR is not set";
    const std::time_t now = fromLocal(2026, 3, 16, 9, 15, 0);
    ManualClock clock(now);
    PlanDatabase db;
    FleetShape shape;
    shape.masterGroups = 2;
    shape.groupsPerMasterGroup = 5;
    shape.locationsPerGroup = 6;
    generateFleet(db, shape, now);
    const FleetFacts facts = makeFleetFacts(db, now);
    TempFolder folder;
    HistoryFileSource history(folder.file(kHistoryFileName));
    std::string error;
    ASSERT_TRUE(writeFleetHistory(history.path(), db, facts, now, &error)) << error;

    FleetWindow window(FleetWindowServices{db, nullptr, clock, &history});
    window.show();
    const Location& l = *facts.drifting;
    ASSERT_TRUE(window.pick(l.masterGroup, l.group, l.number));
    QApplication::processEvents();
    const QPixmap picture = window.grab();
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.save(QString(dir) + "/fleet.png"));
}

}  // namespace
}  // namespace quirn::test
