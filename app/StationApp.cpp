#include "app/StationApp.h"

#include "app/StationFolders.h"
#include "plans/DatabaseFiles.h"
#include "platform/Paths.h"

namespace quirn {

StationApp::StationApp(const Clock& clock, TimerService& timers)
    : clock_(clock), timers_(timers), startTime_(clock.now()) {}

StationApp::~StationApp() = default;

void StationApp::runMainWindow(MainWindowHost& window) { window.runModal(); }

bool StationApp::startUp() {
    // One copy per working folder: a second copy hands over to the first and does nothing
    // else — no folder, no file, no lock left behind.
    instance_ = std::make_unique<SingleInstance>(kInstanceName, workingFolder());
    if (!instance_->acquire()) {
        instance_->askFirstToComeForward();
        instance_.reset();
        return false;
    }
    helpFile_ = helpFilePath();
    createStationFolders();
    settings_.load(settingsFileName());
    profile_ = std::make_unique<ProfileStore>(workPath(kProfileStoreFileName));
    loadDatabase(database_, clock_.now());
    database_.expireSpecialWeekPlans(clock_.now());
    passway_.load(database_);
    return true;
}

void StationApp::shutDown() {
    if (schedulerTimer_ != TimerService::kNoTimer) timers_.stop(schedulerTimer_);
    schedulerTimer_ = TimerService::kNoTimer;
}

}  // namespace quirn
