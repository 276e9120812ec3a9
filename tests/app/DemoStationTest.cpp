// The demo station as a newcomer meets it: the agency written into a fresh folder of its own,
// the simulators running (the radio one on a pseudo-terminal, on Windows a named pipe), and
// Write then Read from the loader matching, on real time.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <set>
#include <thread>

#include "app/DemoStation.h"
#include "app/StationApp.h"
#include "loader/LoaderController.h"
#include "loader/LoaderSettings.h"
#include "loader/LoaderStack.h"
#include "plans/DatabaseFiles.h"
#include "platform/ComPortMap.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/VirtualTimerService.h"
#include "tests/loader/RecordingView.h"
#include "tests/support/SimulatorPath.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::simulatorPath;

using SteadyClock = std::chrono::steady_clock;

class DemoStationRun : public ::testing::Test {
  protected:
    void SetUp() override {
        if (simulatorPath().empty()) GTEST_SKIP() << "quirn-sim is not part of this build";
        // A real working folder elsewhere, which the demo must leave alone.
        ASSERT_TRUE(test::writeFile(real.file("steps.csv"), "Step,1,1,435,1,1\r\n"));
    }
    // Runs the station's timers on real time until `done` (bounded by 20 s).
    bool runUntil(const std::function<bool()>& done) {
        const auto start = SteadyClock::now();
        long long last = clock.nowMs();
        while (!done()) {
            if (SteadyClock::now() - start > std::chrono::seconds(20)) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const long long now = SystemClock().nowMs();
            timers.advanceMs(now - last);
            last = now;
        }
        return true;
    }

    test::TempFolder real;
    test::TempFolder demoParent;
    ManualClock clock{std::time(nullptr)};
    VirtualTimerService timers{clock};
};

TEST_F(DemoStationRun, TheDemoAgencyIsWholeAndWriteThenReadMatches) {
    DemoStation demo;
    const std::string folder = demoParent.path() + "demo/";
    ASSERT_TRUE(demo.start(folder, WorkingFolder(real.path()), simulatorPath(), clock.now()))
        << demo.error();
    const WorkingFolder working = demo.workingFolder();
    EXPECT_EQ(working.path(), folder);
    EXPECT_FALSE(demo.radioDevice().empty());

    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    // COM 1 of the demo is the radio simulator's device, as the loader and the help show it.
    EXPECT_EQ(ComPortMap(&app.profile()).devicePath(1), demo.radioDevice());
    // Every model, the testing group, and every kind of plan.
    std::set<int> models;
    app.database().visitLocations([&](Location& l) { models.insert(l.model); });
    EXPECT_EQ(models.size(), 4u);
    ASSERT_NE(app.database().findGroup(1, 99), nullptr);
    EXPECT_EQ(app.database().findGroup(1, 99)->name(), "MOXBYRD");
    EXPECT_FALSE(app.database().specialWeekPlans().empty());
    EXPECT_FALSE(app.summer().plans().empty());
    EXPECT_EQ(app.technicians().users().size(), 3u);
    EXPECT_NE(test::readFile(overrideFileName(working)).find("Enabled"), std::string::npos);
    EXPECT_TRUE(app.comms()->commo().serialPort().isOpen());
    EXPECT_NE(app.comms()->commo().findConnection("127.0.0.5"), nullptr);

    LoaderSettings settings(app.profile(), app.settings(), settingsFileName(working));
    LoaderStack stack(LoaderStackSetup{app.clock(), app.timers(), working, &app.profile(), settings,
                                       app.database(), app.comms()->download()},
                      app.comms()->commo());
    test::RecordingView view;
    LoaderController loader(stack.services(), view);
    loader.open();
    ASSERT_TRUE(loader.selectGroup(1, 1));
    ASSERT_TRUE(loader.write());
    ASSERT_TRUE(runUntil([&] { return loader.mode() == LoaderController::Mode::Idle; }));
    ASSERT_TRUE(loader.read());
    ASSERT_TRUE(runUntil([&] { return loader.mode() == LoaderController::Mode::Idle; }));
    EXPECT_TRUE(loader.lastRead().valid) << loader.statusText();
    EXPECT_EQ(loader.match(), LoaderController::Match::Matches) << loader.statusText();

    app.shutDown();
    demo.stop();
    // The real working folder was never touched.
    EXPECT_EQ(test::readFile(real.file("steps.csv")), "Step,1,1,435,1,1\r\n");
}

TEST_F(DemoStationRun, TheDemoNeverEmptiesTheWorkingFolder) {
    DemoStation demo;
    EXPECT_FALSE(demo.start(real.path(), WorkingFolder(real.path()), simulatorPath(), clock.now()));
    EXPECT_NE(demo.error().find("working folder"), std::string::npos);
    EXPECT_EQ(test::readFile(real.file("steps.csv")), "Step,1,1,435,1,1\r\n");
}

}  // namespace
}  // namespace quirn
