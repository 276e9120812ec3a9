#include "app/StationApp.h"

#include <initializer_list>
#include <utility>

#include "app/StationFolders.h"
#include "app/StationPlanCheck.h"
#include "fleethealth/FleetDailyMail.h"
#include "fleethealth/HistoryFileSource.h"
#include "fleethealth/ReadHistoryStore.h"
#include "ops/LogWriter.h"
#include "plans/Archive.h"
#include "plans/DatabaseFiles.h"
#include "platform/FileSystem.h"

namespace quirn {

StationApp::StationApp(const Clock& clock, TimerService& timers, WorkingFolder folder)
    : clock_(clock),
      timers_(timers),
      folder_(std::move(folder)),
      log_(folder_),
      summer_(clock, folder_),
      passway_(folder_),
      overrides_(clock, folder_),
      mailSender_(clock, log_),
      locationNames_(database_),
      errors_(clock, folder_, technicians_),  // bound now, used only once everything is built
      technicians_(clock, folder_, mailSender_, locationNames_),
      historyFile_(std::make_unique<HistoryFileSource>(folder_.file(kHistoryFileName))),
      scheduler_(clock, *this),
      readHistory_(clock, log_),
      readBackListener_(clock, log_, errors_, scheduler_, &readHistory_) {}

namespace {
// The profile store's TCP port of WiFi time switches and the M2M client.
constexpr const char* kCommoSection = "Commo";
constexpr const char* kIpPortEntry = "IPPort";
// The mail server's port and the time-out of each step of the dialogue, in seconds.
constexpr const char* kMailSection = "Mail";
constexpr const char* kMailPortEntry = "Port";
constexpr const char* kMailTimeoutEntry = "Timeout";
constexpr int kMsPerSecond = 1000;

void logUnreadable(const LogWriter& log, const Clock& clock, const UnreadableFiles& files) {
    for (const std::string& path : files.paths())
        log.logSystem(clock, path + " could not be read; it is kept as it is and not saved over.");
}

void logNotSaved(const LogWriter& log, const Clock& clock, const UnreadableFiles& files) {
    for (const std::string& path : files.paths())
        log.logSystem(clock, path + " not saved: it could not be read when it was loaded.");
}
}  // namespace

StationApp::~StationApp() {
    // Without shutDown (a failed start, a test): no timer may call into a destroyed station.
    timers_.stop(workerPollTimer_);
    timers_.stop(schedulerTimer_);
}

const FleetHistorySource& StationApp::historyFile() const {
    return *historyFile_;
}

bool StationApp::startUp() {
    // One copy per working folder: a second copy hands over to the first and does nothing
    // else — no folder, no file, no lock left behind.
    instance_ = std::make_unique<SingleInstance>(kInstanceName, folder_.path());
    if (!instance_->acquire()) {
        // A copy that takes no hand-over holds the lock only while it closes.
        const bool handedOver = instance_->askFirstToComeForward();
        if (handedOver || !instance_->acquireWithin(kClosingWaitMs)) {
            anotherCopyClosing_ = !handedOver;
            instance_.reset();
            return false;
        }
    }
    helpFile_ = helpFilePath(folder_);
    createStationFolders(folder_);
    removeLeftTemporaries(folder_, clock_.now());
    settings_.load(settingsFileName(folder_));
    profile_ = std::make_unique<ProfileStore>(folder_.file(kProfileStoreFileName));
    technicians_.setMailAccount(settings_.server, settings_.sender);
    mailSender_.setPort(static_cast<unsigned>(profile_->getInt(
        kMailSection, kMailPortEntry, static_cast<int>(SmtpClient::kDefaultPort))));
    mailSender_.setTimeoutMs(profile_->getInt(kMailSection, kMailTimeoutEntry,
                                              SmtpClient::kDefaultTimeoutMs / kMsPerSecond) *
                             kMsPerSecond);
    // The read history opens (and checks) its file on its own thread.
    readHistory_.start(folder_.file(kHistoryFileName));
    // The technicians' daily mail about the fleet; its rows are laid out by the poll timer.
    fleetMail_ = std::make_unique<FleetDailyMail>(
        FleetMailParts{clock_, database_, errors_, technicians_, mailSender_, profile_.get()});
    fleetMail_->setMailAccount(settings_.server, settings_.sender);
    fleetMail_->setHistory(historyFile_.get());
    workerPollTimer_ = timers_.start(kWorkerPollMs, [this] {
        fleetMail_->poll();
        mailSender_.logFinished();
        readHistory_.poll();
        collectDatabaseSave(false);
        buildDatabaseSlice(kDatabaseSliceLocations, kDatabaseSliceGroups);
        buildSnapshotSlice(kSnapshotSliceLocations, kSnapshotSliceBytes);
    });

    comms_ = std::make_unique<StationComms>(
        StationComms::Parts{clock_, folder_, timers_, database_, settings_, *profile_, errors_,
                            passway_, readBackListener_, overrides_, summer_});
    CommoHandler& commo = comms_->commo();
    // The read history hears of a run's reads through the read-back handler's listener; those
    // that never reach the handler (no answer, a link that failed) go through the run's sink.
    runRecorder_ = std::make_unique<RunHistoryRecorder>(readHistory_, comms_->download(),
                                                        RunHistoryRecorder::Records::NotHandled);
    validationRun_ = std::make_unique<ValidationRun>(clock_, timers_, commo, database_, log_,
                                                     runRecorder_.get());
    if (!sendLedger_.load(folder_.file(SendLedger::kFileName)))
        log_.logSystem(clock_, "The record of what was sent, " + sendLedger_.path() +
                                   ", could not be read: every location counts as changed.");
    fleetSend_ = std::make_unique<FleetSend>(clock_, timers_, commo, comms_->download(), database_,
                                             sendLedger_, log_);
    commo.start();
    commo.setIpPort(static_cast<unsigned>(
        profile_->getInt(kCommoSection, kIpPortEntry, static_cast<int>(kDefaultIpPort))));

    database_.setOverrideQuery(&overrides_);
    LoadHooks hooks;
    hooks.redecode = [this](Location& l) { comms_->readBack().redecode(l); };
    {
        const DatabaseTexts texts = readDatabaseTexts(database_, folder_);
        loadDatabaseTexts(database_, texts, clock_.now(), hooks);
        planFindings_ = reportPlanCheck(texts, folder_, log_, clock_);
    }
    summer_.load();
    expireSpecialWeeks();
    technicians_.load();
    errors_.load();
    // A port that opened is remembered as the agency's radio port.
    if (commo.openRadioPort(settings_.radioPort) == 0 && settings_.radioPort != 0)
        settings_.save(settingsFileName(folder_));
    passway_.load(database_);
    for (const UnreadableFiles* files : std::initializer_list<const UnreadableFiles*>{
             &settings_.unreadableFiles, &database_.unreadableFiles(), &summer_.unreadableFiles(),
             &technicians_.unreadableFiles(), &errors_.unreadableFiles(),
             &passway_.unreadableFiles(), &profile_->unreadableFiles()})
        logUnreadable(log_, clock_, *files);
    commo.beginTableBatch();
    database_.visitLocations([&commo](Location& l) { commo.addLocationAddress(l); });
    commo.endTableBatch();
    schedulerTimer_ = timers_.start(MinuteScheduler::kTickMs, [this] {
        scheduler_.minuteTick();
        fleetMail_->minuteTick();
    });
    // Every link is set up and every location's address is in the table: the fleet can be read.
    if (settings_.validateOnPowerup != 0) validationRun_->start(RunSelection::all(), "at start-up");
    return true;
}

void StationApp::linkLocationsOf(int masterGroup, int group) {
    const Group* edited = database_.findGroup(masterGroup, group);
    if (edited == nullptr || !comms_) return;
    for (const auto& location : edited->locations()) comms_->commo().addLocationAddress(*location);
}

void StationApp::programmingEdited(int masterGroup, int group) {
    sendLedger_.markGroupChanged(masterGroup, group);
    saveSendLedger();
}

void StationApp::everyProgrammingEdited() {
    sendLedger_.markAllChanged();
    saveSendLedger();
}

void StationApp::saveSendLedger() {
    if (!sendLedger_.saveIfDirty())
        log_.logSystem(clock_, "The record of what was sent could not be written to " +
                                   sendLedger_.path() + ".");
}

void StationApp::runMainWindow(MainWindowHost& window) {
    window.runModal();
}

void StationApp::shutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    // A copy started from now on waits for this one to end instead of handing over to it.
    if (instance_) instance_->endHandOver();
    timers_.stop(schedulerTimer_);
    schedulerTimer_ = TimerService::kNoTimer;
    timers_.stop(workerPollTimer_);
    workerPollTimer_ = TimerService::kNoTimer;
    mailSender_.finish(kMailShutdownWaitMs);
    errors_.save();
    technicians_.save();
    // A send under way ends with the program; what it sent so far is not sent again.
    if (fleetSend_ && fleetSend_->busy())
        fleetSend_->endNow("the station closed while it was on its way");
    saveSendLedger();
    waitForBackgroundSaves();
    readHistory_.stop();
    readHistory_.poll();
}

void StationApp::waitForBackgroundSaves() {
    collectDatabaseSave(true);
    // A snapshot still being laid out is finished at once: its read-backs are not lost.
    buildSnapshotSlice(SIZE_MAX, SIZE_MAX);
    readBackSaver_.wait();
}

void StationApp::storeTicks() {
    if (!comms_) return;
    overrides_.tick(comms_->pager());
    summer_.tick(comms_->pager());
}

void StationApp::endOfDay() {
    collectDatabaseSave(true);  // yesterday's, should it still be running
    removeFile(overrideFileName(folder_));
    saveSmallFiles();
    startDatabaseSave(clock_.now());
    reportUnwritten();
}

void StationApp::saveAll() {
    // A background save still running ends first: it must not land over this newer one.
    collectDatabaseSave(true);
    if (!saveDatabase(database_, folder_, clock_.now()))
        logNotSaved(log_, clock_, database_.unreadableFiles());
    saveSmallFiles();
    reportUnwritten();
}

void StationApp::saveSmallFiles() {
    if (!passway_.save(database_, clock_.now()))
        logNotSaved(log_, clock_, passway_.unreadableFiles());
    if (!summer_.save()) logNotSaved(log_, clock_, summer_.unreadableFiles());
}

void StationApp::startDatabaseSave(std::time_t archiveAt) {
    // A file that could not be read at load is not saved over; said now, as the save begins.
    for (const std::string& path : {locationsFileName(folder_), dayPlanFileName(folder_),
                                    stepsFileName(folder_), groupsFileName(folder_)})
        if (database_.unreadableFiles().contains(path)) {
            logNotSaved(log_, clock_, database_.unreadableFiles());
            break;
        }
    archiveAt_ = archiveAt;
    databaseTexts_.begin(clock_.now());
    buildDatabaseSlice(kDatabaseSliceLocations, kDatabaseSliceGroups);
}

void StationApp::buildDatabaseSlice(std::size_t locations, std::size_t groups) {
    if (!databaseTexts_.building() || !databaseTexts_.step(database_, locations, groups)) return;
    DatabaseTextPieces texts = databaseTexts_.take(database_, folder_);
    std::erase_if(texts.files, [this](const DatabaseTextPieces::File& file) {
        return database_.unreadableFiles().contains(file.path);
    });
    // The archive is of the files as the last save left them, so it is made before they are
    // replaced, dated by the minute the end of the day began. Not busy: every caller has
    // collected the last save first.
    databaseSaver_.start(
        [folder = folder_, archiveAt = archiveAt_, texts = std::move(texts)]() mutable {
            const ManualClock endOfDay(archiveAt);
            Archive(endOfDay, folder).makeIfChanged();
            std::vector<BackgroundFileWriter::File> files;
            for (DatabaseFile& file : texts.join())
                files.push_back({std::move(file.path), std::move(file.text)});
            return files;
        });
}

void StationApp::collectDatabaseSave(bool waitForIt) {
    if (waitForIt) {
        // Texts still being written are finished at once: what waits must find the save done.
        buildDatabaseSlice(SIZE_MAX, SIZE_MAX);
        databaseSaver_.wait();
    }
    const std::vector<BackgroundFileWriter::Outcome> outcomes = databaseSaver_.takeOutcomes();
    if (outcomes.empty()) return;
    for (const BackgroundFileWriter::Outcome& outcome : outcomes)
        database_.unreadableFiles().noteWritten(outcome.path, outcome.written);
    reportUnwritten();
}

void StationApp::reportUnwritten() {
    // What the disk refused stays in memory and is written by the next save that succeeds.
    for (const std::string& path :
         unwrittenReport_.newlyUnwritten({&database_.unreadableFiles(), &passway_.unreadableFiles(),
                                          &summer_.unreadableFiles()}))
        log_.logSystem(clock_, path + " not saved: it could not be written; it is kept in memory.");
}

void StationApp::expireSpecialWeeks() {
    database_.expireSpecialWeekPlans(clock_.now());
}

void StationApp::reloadOverrides() {
    for (const std::string& line : overrides_.load().messages) log_.logSystem(clock_, line);
}

void StationApp::announceStart() {
    log_.logSystem(clock_, "Starting Program\n");
    technicians_.notifyStarted();
}

bool StationApp::startReadBackSave() {
    if (readBackSaver_.busy() || snapshotBuilder_.building()) return false;
    // A snapshot that could not be read keeps its read-backs on disk; the request is dropped.
    if (database_.unreadableFiles().contains(snapshotFileName(folder_))) return true;
    snapshotBuilder_.begin(database_);
    buildSnapshotSlice(kSnapshotSliceLocations, kSnapshotSliceBytes);
    return true;
}

void StationApp::weekdayValidation() {
    if (settings_.validateMF != 0 && validationRun_)
        validationRun_->start(RunSelection::all(), "on the weekday schedule");
}

void StationApp::buildSnapshotSlice(std::size_t locations, std::size_t bytes) {
    if (!snapshotBuilder_.building() || !snapshotBuilder_.step(database_, locations, bytes)) return;
    // Not busy: a build begins only when the last write has ended. The worker lays out the
    // file's hundred megabytes, mostly zeros, from the copy.
    readBackSaver_.start([path = snapshotFileName(folder_), copy = snapshotBuilder_.take()] {
        std::vector<BackgroundFileWriter::File> files;
        files.push_back({path, copy.fileBytes()});
        return files;
    });
}

}  // namespace quirn
