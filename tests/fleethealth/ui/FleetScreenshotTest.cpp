// The guide's picture of the fleet window (docs/fleet.png), grabbed from the real window over a
// generated fleet and a real history file, shown through the "Drifting" filter with the clock
// that was set again half-way picked. Made only when QUIRN_SCREENSHOT_DIR names the folder to
// write it to (scripts/fleet-screenshot.sh).
#include <gtest/gtest.h>

#include <QApplication>
#include <QPixmap>
#include <QTableView>
#include <cstdlib>

#include "fleethealth/HistoryFileSource.h"
#include "fleethealth/ReadHistoryStore.h"
#include "fleethealth/ui/FleetWindow.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "tests/fleethealth/PictureFleet.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {
namespace {

// Wide enough for every column, the read-state texts at full length, and a chart to read.
constexpr int kShotWidth = 1560;
constexpr int kShotHeight = 640;
constexpr int kStateColumnWidth = 470;

TEST(FleetScreenshot, TheDriftingClocksWithOneSetAgainPicked) {
    const char* dir = std::getenv("QUIRN_SCREENSHOT_DIR");
    if (dir == nullptr || *dir == '\0') GTEST_SKIP() << "QUIRN_SCREENSHOT_DIR is not set";
    const std::time_t now = fromLocal(2026, 3, 16, 9, 15, 0);
    ManualClock clock(now);
    PlanDatabase db;
    const PictureFleet fleet = makePictureFleet(db, now);
    ASSERT_NE(fleet.picked, nullptr);
    TempFolder folder;
    HistoryFileSource history(folder.file(kHistoryFileName));
    {
        ReadHistoryStore store;
        ASSERT_TRUE(store.open(history.path(), now).ok()) << store.lastError();
        ASSERT_TRUE(store.insert(fleet.reads)) << store.lastError();
    }

    FleetWindow window(FleetWindowServices{db, nullptr, clock, &history});
    window.resize(kShotWidth, kShotHeight);
    window.table()->setColumnWidth(static_cast<int>(FleetColumn::State), kStateColumnWidth);
    window.show();
    window.setFilter(FleetFilter::Drifting);
    ASSERT_GE(window.table()->model()->rowCount(), 5);
    const Location& l = *fleet.picked;
    ASSERT_TRUE(window.pick(l.masterGroup, l.group, l.number));
    QApplication::processEvents();
    const QPixmap picture = window.grab();
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(picture.save(QString(dir) + "/fleet.png"));
}

}  // namespace
}  // namespace quirn::test
