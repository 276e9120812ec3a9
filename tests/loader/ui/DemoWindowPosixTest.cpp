// The demo as a newcomer meets it in the real loader window: the demo's folder and simulators
// started, the station on it, the groups listed, and Write then Read clicked on real time
// ending with the match line.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTreeWidget>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "app/DemoStation.h"
#include "app/StationApp.h"
#include "loader/LoaderSettings.h"
#include "loader/LoaderStack.h"
#include "loader/ui/LoaderWindow.h"
#include "plans/DatabaseFiles.h"
#include "platform/Paths.h"
#include "platform/VirtualTimerService.h"
#include "tests/loader/RecordingView.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {
namespace {

using SteadyClock = std::chrono::steady_clock;

TEST(DemoWindow, TheDemoShowsItsGroupsAndWriteThenReadMatches) {
#ifndef QUIRN_SIM_PATH
    GTEST_SKIP() << "quirn-sim is not part of this build";
#else
    TempFolder real, parent;
    setenv("QUIRN_ROOT", real.path().c_str(), 1);  // the real working folder stays elsewhere
    ManualClock clock{std::time(nullptr)};
    VirtualTimerService timers{clock};
    DemoStation demo;
    ASSERT_TRUE(
        demo.start(parent.path() + "demo/", defaultWorkingFolder(), QUIRN_SIM_PATH, clock.now()))
        << demo.error();
    const WorkingFolder working = demo.workingFolder();
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());

    LoaderSettings settings(app.profile(), app.settings(), settingsFileName(working));
    LoaderStack stack(LoaderStackSetup{app.clock(), app.timers(), working, &app.profile(), settings,
                                       app.database(), app.comms()->download()},
                      app.comms()->commo());
    RecordingView view;
    LoaderWindow window(stack.services(), view);
    window.show();
    QApplication::processEvents();

    auto* groups = window.findChild<QTreeWidget*>("groups");
    ASSERT_NE(groups, nullptr);
    // The demo agency has master groups: each group names its own.
    for (const char* name : {"Lincoln Elementary,1 (master group 1)", "MOXBYRD,99 (master group 1)",
                             "Riverside High,1 (master group 2)"})
        EXPECT_EQ(groups->findItems(name, Qt::MatchExactly).size(), 1) << name;
    auto found = groups->findItems("Lincoln Elementary,1 (master group 1)", Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    groups->setCurrentItem(found.front());

    // The station's timers follow real time, as under the Qt timers of the program.
    auto runUntilIdle = [&] {
        const auto start = SteadyClock::now();
        long long last = SystemClock().nowMs();
        while (window.controller().mode() != LoaderController::Mode::Idle &&
               SteadyClock::now() - start < std::chrono::seconds(20)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            const long long now = SystemClock().nowMs();
            timers.advanceMs(now - last);
            last = now;
            QApplication::processEvents();
        }
    };
    window.findChild<QPushButton*>("write")->click();
    runUntilIdle();
    window.findChild<QPushButton*>("read")->click();
    runUntilIdle();
    auto* attached = window.findChild<QTreeWidget*>("attached");
    ASSERT_NE(attached, nullptr);
    ASSERT_GT(attached->topLevelItemCount(), 0) << window.controller().statusText();
    EXPECT_TRUE(attached->topLevelItem(0)->text(0).startsWith("Program matches the group."))
        << attached->topLevelItem(0)->text(0).toStdString();
    EXPECT_TRUE(view.messages.empty()) << view.messages.front().text;

    app.shutDown();
    demo.stop();
    unsetenv("QUIRN_ROOT");
#endif
}

}  // namespace
}  // namespace quirn::test
