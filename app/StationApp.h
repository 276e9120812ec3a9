#pragma once
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

#include "app/MainWindowHost.h"
#include "plans/PasswayStore.h"
#include "plans/PlanDatabase.h"
#include "plans/Settings.h"
#include "platform/Clock.h"
#include "platform/ProfileStore.h"
#include "platform/SingleInstance.h"
#include "platform/TimerService.h"

namespace quirn {

// The one long-lived object of the program: it owns every subsystem that lives for the whole
// run (members below, constructed in this order and destroyed in reverse), runs the start-up
// sequence, the main window and the shutdown. It holds no logic of its own beyond that order.
class StationApp {
public:
    // Lock name of the single-instance check.
    static constexpr const char* kInstanceName = "SingleTest_Vorn";
    // Caption a second copy looks for when it hands over to the first.
    static constexpr const char* kSystemCaption =
        "Vorn WiFi / IP / Radio Programmable Time Switch System";
    static constexpr int kCommoTickMs = 500;

    StationApp(const Clock& clock, TimerService& timers);
    ~StationApp();
    StationApp(const StationApp&) = delete;
    StationApp& operator=(const StationApp&) = delete;

    // The life of the program: startUp(), then runMainWindow() with the main window made after
    // start-up, then shutDown().
    // False when another copy already runs: it was asked to come forward, and this copy made
    // nothing and must end.
    bool startUp();
    // Runs the main window modally; the program lives inside this call.
    void runMainWindow(MainWindowHost& window);
    void shutDown();
    // Polled by the window's timer: true when a second copy asked this one to come forward.
    bool takeComeForwardRequest() { return instance_ ? instance_->takeComeForwardRequest() : false; }

    PlanDatabase& database() { return database_; }
    PasswayStore& passway() { return passway_; }
    Settings& settings() { return settings_; }
    ProfileStore& profile() { return *profile_; }
    const std::string& helpFile() const { return helpFile_; }
    std::time_t startTime() const { return startTime_; }

private:
    const Clock& clock_;
    TimerService& timers_;
    // Members in the order the system has always built them.
    Settings settings_;  // the agency name, the editor path and the other settings
    PlanDatabase database_;
    PasswayStore passway_;
    std::unique_ptr<ProfileStore> profile_;
    std::unique_ptr<SingleInstance> instance_;
    std::string helpFile_;
    // Scheduler state.
    TimerService::TimerId schedulerTimer_ = TimerService::kNoTimer;
    int32_t readBackSaveRequested_ = 0;
    int32_t minuteLastHandled_ = -1;
    int32_t programStarted_ = 0;
    std::time_t startTime_;
};

}  // namespace quirn
