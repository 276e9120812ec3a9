#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "comms/CommoHandler.h"
#include "loader/LoaderSettings.h"
#include "loader/LoaderStack.h"
#include "ops/LogWriter.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/ProfileStore.h"
#include "platform/VirtualTimerService.h"
#include "protocol/PlanDownload.h"
#include "tests/comms/CommsFakes.h"
#include "tests/loader/RecordingView.h"
#include "tests/loader/ScriptedSerialDevice.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {

inline const std::time_t kLoaderStart = fromLocal(2026, 3, 16, 9, 15, 0);  // a Monday
inline constexpr int kLoaderCom = 1;

// The station port as the loader meets it, over a scripted line: the loader stack with its
// handler's radio on the scripted device, settings in a temporary working folder, the plan
// download over the database, and 500 ms ticks from the virtual timer service on the manual
// clock.
class PortFixture : public ::testing::Test {
  protected:
    PortFixture()
        : clock(kLoaderStart),
          timers(clock),
          profile(folder.file(kProfileStoreFileName)),
          loaderSettings(profile, settings, folder.file("profile.csv")) {
        makeFolder(folder.logs());
        auto owned = std::make_unique<ScriptedSerialDevice>();
        device = owned.get();
        stack = std::make_unique<LoaderStack>(
            LoaderStackSetup{clock, timers, working, &profile, loaderSettings, db, download},
            LoaderLink{protocol, protocol, errors, std::move(owned)});
        handler = &stack->handler();
        handler->start();
        handler->openRadioPort(kLoaderCom, kBaud2400);
        port = &stack->port();
    }

    LoaderServices services() { return stack->services(); }

    // Runs `count` ticks of 500 ms.
    void tick(int count = 1) { timers.advanceMs(500LL * count); }

    TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock;
    VirtualTimerService timers;
    ProfileStore profile;
    Settings settings;
    LoaderSettings loaderSettings;
    PlanDatabase db;
    PlanDownload download{db, clock, settings};
    FakeProtocol protocol;
    RecordingErrorSink errors;
    RecordingView view;
    ScriptedSerialDevice* device = nullptr;
    std::unique_ptr<LoaderStack> stack;
    CommoHandler* handler = nullptr;
    CommoLoaderPort* port = nullptr;
};

}  // namespace quirn::test
