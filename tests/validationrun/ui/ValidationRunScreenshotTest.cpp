// The guide's picture of the validation run window, grabbed from the real window over a station
// whose run has just ended. Made only when QUIRN_SCREENSHOT_DIR names the folder to write to.
#include <QApplication>
#include <QLayout>
#include <QPixmap>
#include <cstdlib>

#include "tests/validationrun/StationRunFixture.h"
#include "validationrun/ui/ValidationRunDialog.h"
#include "validationrun/ui/ValidationRunPanel.h"

namespace quirn::test {
namespace {

constexpr long long kStepMs = 500;
constexpr int kShotWidth = 520;
constexpr int kShotHeight = 340;

class ValidationRunScreenshot : public StationRunFixture {};

TEST_F(ValidationRunScreenshot, TheWindowAfterARun) {
    const char* dir = std::getenv("QUIRN_SCREENSHOT_DIR");
    if (!dir) GTEST_SKIP() << "QUIRN_SCREENSHOT_DIR names no folder";
    writeStation(locationLine(1, kRadioAddress) + locationLine(2, kRadioAddress) +
                     locationLine(3, kRadioAddress) + "Ignore,1,1,3\r\n",
                 "RadioPort,0\r\n");
    ASSERT_TRUE(startStation());
    ValidationRunDialog dialog(run());
    dialog.resize(kShotWidth, kShotHeight);
    dialog.show();
    ASSERT_EQ(run().start(RunSelection::all(), "by the technician"),
              ValidationRun::StartResult::Started);
    ASSERT_TRUE(runUntil([&] { return !run().running(); }, kStepMs));
    dialog.panel().redraw();
    // The summary wraps: let the layout give it its lines before the picture is taken.
    dialog.layout()->activate();
    QApplication::processEvents();
    ASSERT_TRUE(dialog.grab().save(QString(dir) + "/validation-run.png"));
}

}  // namespace
}  // namespace quirn::test
