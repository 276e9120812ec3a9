#include "app/StationApp.h"

#include "app/StationFolders.h"
#include "ops/LogWriter.h"
#include "plans/DatabaseFiles.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace quirn {

StationApp::StationApp(const Clock& clock, TimerService& timers)
    : clock_(clock),
      timers_(timers),
      mailSender_(clock),
      locationNames_(database_),
      errors_(clock, technicians_),  // bound now, used only once everything is built
      technicians_(clock, mailSender_, locationNames_),
      scheduler_(clock, *this) {}

StationApp::~StationApp() = default;

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
    technicians_.setMailAccount(settings_.server, settings_.sender);
    loadDatabase(database_, clock_.now());
    expireSpecialWeeks();
    technicians_.load();
    errors_.load();
    passway_.load(database_);
    schedulerTimer_ = timers_.start(MinuteScheduler::kTickMs, [this] { scheduler_.minuteTick(); });
    return true;
}

void StationApp::runMainWindow(MainWindowHost& window) { window.runModal(); }

void StationApp::shutDown() {
    timers_.stop(schedulerTimer_);
    schedulerTimer_ = TimerService::kNoTimer;
    errors_.save();
    readBackSaver_.wait();
}

void StationApp::storeTicks() {}

void StationApp::endOfDay() {
    removeFile(overrideFileName());
    saveDatabase(database_, clock_.now());
    passway_.save(database_, clock_.now());
}

void StationApp::expireSpecialWeeks() { database_.expireSpecialWeekPlans(clock_.now()); }

void StationApp::reloadOverrides() {}

void StationApp::announceStart() {
    logSystem(clock_, "Starting Program\n");
    technicians_.notifyStarted();
}

bool StationApp::startReadBackSave() {
    if (readBackSaver_.busy()) return false;
    return readBackSaver_.start(snapshotFileName(), snapshotBytes(database_));
}

}  // namespace quirn
