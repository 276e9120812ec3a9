// The guide's picture of the send window sending by radio, grabbed from the real window over a
// station whose send of a group's programming has just gone out and been validated: four
// simulated QN510s of the group hear the pages on a pseudo-terminal and answer the reads. Made only
// when QUIRN_SCREENSHOT_DIR names the folder to write to.
#include <QLayout>
#include <QPixmap>
#include <cstdlib>

#include "tests/fleetsend/ui/SendStationFixture.h"
#include "tests/validationrun/PosixRadioChannel.h"

namespace quirn::test {
namespace {

constexpr int kShotWidth = 760;
constexpr int kShotHeight = 560;
constexpr int kSwitches = 4;

class SendScreenshot : public SendStationFixture {};

TEST_F(SendScreenshot, TheWindowAfterASendAndItsValidation) {
    const char* dir = std::getenv("QUIRN_SCREENSHOT_DIR");
    if (!dir) GTEST_SKIP() << "QUIRN_SCREENSHOT_DIR names no folder";
    RadioChannel radio{clock};
    ASSERT_TRUE(radio.ok());
    for (int n = 1; n <= kSwitches; ++n) radio.addSwitch(n);
    ASSERT_TRUE(startFleetStation(radio.devicePath()));
    // Group 1 is all QN510s, so its pages program every switch of it.
    app->database().visitLocations([](Location& l) {
        if (l.group == 1) l.model = kQn510;
    });
    SendProgrammingDialog dialog(send(), app->validationRun(),
                                 SendSelection::ofGroups({{1, 1, 0}}));
    dialog.resize(kShotWidth, kShotHeight);
    dialog.show();
    auto served = [&] {
        radio.serve(kRealDrainMs);
        dialog.redraw();
    };
    ASSERT_TRUE(runUntil([&] { return send().planned(); }, kSendStepMs, served));
    child<QPushButton>(dialog, "send")->click();
    ASSERT_TRUE(runUntil([&] { return !send().busy(); }, kSendStepMs, served));
    child<QPushButton>(dialog, "validate")->click();
    ASSERT_TRUE(run().running());
    ASSERT_TRUE(runUntil([&] { return !run().running(); }, kSendStepMs, served));
    dialog.redraw();
    std::printf("%s\n%s\n", send().lastSummary()->text().c_str(),
                run().lastSummary()->text().c_str());
    // The summaries wrap: let the layout give them their lines before the picture is taken.
    dialog.layout()->activate();
    QApplication::processEvents();
    ASSERT_TRUE(dialog.grab().save(QString(dir) + "/send-programming-radio.png"));
}

}  // namespace
}  // namespace quirn::test
