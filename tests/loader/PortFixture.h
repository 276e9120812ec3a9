#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "comms/CommoHandler.h"
#include "loader/CommoLoaderPort.h"
#include "loader/LoaderSettings.h"
#include "ops/LogWriter.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "platform/FileSystem.h"
#include "platform/LocalTime.h"
#include "platform/Paths.h"
#include "platform/ProfileStore.h"
#include "platform/VirtualTimerService.h"
#include "tests/comms/CommsFakes.h"
#include "tests/loader/RecordingView.h"
#include "tests/loader/ScriptedSerialDevice.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {

inline const std::time_t kLoaderStart = fromLocal(2026, 3, 16, 9, 15, 0);  // a Monday
inline constexpr int kLoaderCom = 1;

// The station port as the loader meets it, over a scripted line: the communications handler
// with its radio on the scripted device, the loader port over it, settings in a temporary
// working folder, and 500 ms ticks from the virtual timer service on the manual clock.
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
        handler = std::make_unique<CommoHandler>(CommsSetup{clock,
                                                            working,
                                                            timers,
                                                            protocol,
                                                            protocol,
                                                            errors,
                                                            &db,
                                                            &profile,
                                                            std::move(owned),
                                                            {}});
        handler->start();
        handler->openRadioPort(kLoaderCom, kBaud2400);
        port = std::make_unique<CommoLoaderPort>(*handler);
    }

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
    FakeProtocol protocol;
    RecordingErrorSink errors;
    RecordingView view;
    ScriptedSerialDevice* device = nullptr;
    std::unique_ptr<CommoHandler> handler;
    std::unique_ptr<CommoLoaderPort> port;
};

}  // namespace quirn::test
