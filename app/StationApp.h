#pragma once
#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "app/BackgroundFileWriter.h"
#include "app/MainWindowHost.h"
#include "app/MinuteScheduler.h"
#include "app/StationComms.h"
#include "app/StationReadBackListener.h"
#include "app/UnwrittenFilesReport.h"
#include "comms/BackgroundMailSender.h"
#include "fleethealth/ReadHistory.h"
#include "fleetsend/FleetSend.h"
#include "fleetsend/SendLedger.h"
#include "ops/ErrorList.h"
#include "ops/LogWriter.h"
#include "ops/PlanLocationNames.h"
#include "ops/TechnicianList.h"
#include "plans/DatabaseTextBuilder.h"
#include "plans/OverrideStore.h"
#include "plans/PasswayStore.h"
#include "plans/PlanDatabase.h"
#include "plans/PlanFinding.h"
#include "plans/Settings.h"
#include "plans/SnapshotBuilder.h"
#include "plans/SummerPlanStore.h"
#include "platform/Clock.h"
#include "platform/ProfileStore.h"
#include "platform/SingleInstance.h"
#include "platform/TimerService.h"
#include "platform/WorkingFolder.h"
#include "validationrun/RunHistoryRecorder.h"
#include "validationrun/ValidationRun.h"

namespace quirn {

class FleetDailyMail;
class FleetHistorySource;
class HistoryFileSource;

// The one long-lived object of the program: it owns every subsystem that lives for the whole
// run (members below, constructed in this order and destroyed in reverse), runs the start-up
// sequence, the main window and the shutdown, and fills the scheduler's daily jobs with its
// members. It holds no logic of its own beyond that order.
class StationApp final : private DailyJobs {
  public:
    // Lock name of the single-instance check.
    static constexpr const char* kInstanceName = "SingleTest_Vorn";
    // Caption a second copy looks for when it hands over to the first.
    static constexpr const char* kSystemCaption =
        "Vorn WiFi / IP / Radio Programmable Time Switch System";

    // The station works on `folder` (files, logs, the single-instance lock).
    StationApp(const Clock& clock, TimerService& timers, WorkingFolder folder);
    ~StationApp() override;
    StationApp(const StationApp&) = delete;
    StationApp& operator=(const StationApp&) = delete;

    // The life of the program: startUp(), then runMainWindow() with the main window made after
    // start-up, then shutDown().
    // False when another copy already runs: it was asked to come forward, and this copy made
    // nothing and must end. A copy that is closing takes no hand-over: then this one waits for
    // it to end (kClosingWaitMs) and starts; when it does not end in time, false as well, with
    // anotherCopyClosing() true, and the caller says so.
    bool startUp();
    bool anotherCopyClosing() const { return anotherCopyClosing_; }
    // Runs the main window modally; the program lives inside this call.
    void runMainWindow(MainWindowHost& window);
    // The end of the program, however it was asked for; a second call does nothing.
    void shutDown();
    // Polled by the window's timer: true when a second copy asked this one to come forward.
    bool takeComeForwardRequest() {
        return instance_ ? instance_->takeComeForwardRequest() : false;
    }
    // Names the main window (the system's handle of it) for a second copy to bring forward.
    void publishMainWindow(std::intptr_t nativeWindow) {
        if (instance_) instance_->publishWindow(nativeWindow);
    }
    // "Save all": the database files, the Passway data and the summer plans; a file that could
    // not be read when it was loaded is not saved over, and the System log says so; a file
    // that could not be written is logged once until a save writes it again.
    void saveAll();
    // A group's locations were edited while the station runs: each location's address gets its
    // link now, as at start-up, so that a location given a new WiFi address is paged and read
    // instead of its messages being dropped for want of a connection.
    void linkLocationsOf(int masterGroup, int group);
    // A group's programming or locations were edited while the station runs: its locations
    // count as changed since last sent from now on, across restarts too.
    void programmingEdited(int masterGroup, int group);
    // The same for every location (summer plans are kept apart from the groups).
    void everyProgrammingEdited();

    const WorkingFolder& folder() const { return folder_; }
    const LogWriter& log() const { return log_; }
    PlanDatabase& database() { return database_; }
    // The communications stack exists from start-up step 7 on.
    StationComms* comms() { return comms_.get(); }
    // Validation runs of the fleet, from start-up step 7 on (with the communications stack).
    ValidationRun* validationRun() { return validationRun_.get(); }
    // Sends of programming to the fleet, from start-up step 7 on (with the communications
    // stack), and what was last sent to each location.
    FleetSend* fleetSend() { return fleetSend_.get(); }
    SendLedger& sendLedger() { return sendLedger_; }
    OverrideStore& overrides() { return overrides_; }
    SummerPlanStore& summer() { return summer_; }
    PasswayStore& passway() { return passway_; }
    ErrorList& errors() { return errors_; }
    TechnicianList& technicians() { return technicians_; }
    Settings& settings() { return settings_; }
    ProfileStore& profile() { return *profile_; }
    MinuteScheduler& scheduler() { return scheduler_; }
    BackgroundFileWriter& readBackSaver() { return readBackSaver_; }
    const BackgroundFileWriter& databaseSaver() const { return databaseSaver_; }
    // Waits for the files being written on worker threads (the end of the day's database
    // files, a read-back snapshot) and takes note of what became of them.
    void waitForBackgroundSaves();
    const std::string& helpFile() const { return helpFile_; }
    // What the plan check found in the database files at start-up.
    const std::vector<PlanFinding>& planFindings() const { return planFindings_; }
    const Clock& clock() const { return clock_; }
    TimerService& timers() { return timers_; }
    std::time_t startTime() const { return scheduler_.startTime(); }
    bool schedulerRunning() const { return schedulerTimer_ != TimerService::kNoTimer; }
    BackgroundMailSender& mailSender() { return mailSender_; }
    // Every read-back the station took (its file in the working folder, written by a worker).
    ReadHistory& readHistory() { return readHistory_; }
    const ReadHistory& readHistory() const { return readHistory_; }
    // The read history file as the fleet's views read it, and the technicians' daily mail.
    const FleetHistorySource& historyFile() const;
    FleetDailyMail* fleetMail() { return fleetMail_.get(); }  // from start-up on

    // How often the outcomes of mail deliveries and of background saves are taken, and how
    // long the end of the program waits for mails still to go.
    static constexpr long long kWorkerPollMs = 250;
    static constexpr int kMailShutdownWaitMs = 10000;
    // How long a copy started while another is closing waits for it: the mails' wait and the
    // last saves, with a margin.
    static constexpr int kClosingWaitMs = 15000;
    // Records copied for the read-back snapshot per poll: ten thousand locations, or two
    // megabytes of records should they hold programs, a millisecond or so. A fleet's snapshot
    // is copied within a few seconds, one whose every switch holds a program within some 13 s.
    static constexpr std::size_t kSnapshotSliceLocations = 10000;
    static constexpr std::size_t kSnapshotSliceBytes = 2000000;
    // Groups whose lines the end of the day's save writes per poll: a ten thousand locations
    // or a hundred groups, a few milliseconds; a fleet's texts are written within a few
    // seconds, then a worker archives and writes the files.
    static constexpr std::size_t kDatabaseSliceLocations = 10000;
    static constexpr std::size_t kDatabaseSliceGroups = 100;

  private:
    // DailyJobs
    void storeTicks() override;
    void endOfDay() override;
    void expireSpecialWeeks() override;
    void reloadOverrides() override;
    void announceStart() override;
    bool startReadBackSave() override;
    void weekdayValidation() override;

    void saveSmallFiles();
    void saveSendLedger();
    // The end of the day's archive and database files, megabytes with a sync each, are made
    // by a worker, so that the tick that saves them holds neither the window nor the links;
    // the files' texts are written here, a slice of groups per poll, from the records as they
    // stand.
    void startDatabaseSave(std::time_t archiveAt);
    // The next slice of the database files' texts, and their archive and write once whole.
    void buildDatabaseSlice(std::size_t locations, std::size_t groups);
    // Takes note of a finished background database save, waiting for a running one first.
    void collectDatabaseSave(bool waitForIt);
    void reportUnwritten();
    // The next slice of a snapshot being laid out, and its write once it is whole.
    void buildSnapshotSlice(std::size_t locations, std::size_t bytes);

    const Clock& clock_;
    TimerService& timers_;
    const WorkingFolder folder_;
    const LogWriter log_;
    // Members in the order the system has always built them. The settings hold the agency
    // name, the editor path and the other settings. The communications stack is built at its
    // start-up step, once the settings it depends on are read.
    Settings settings_;
    PlanDatabase database_;
    std::unique_ptr<StationComms> comms_;
    // Reads through the communications stack: built after it, ended before it.
    std::unique_ptr<ValidationRun> validationRun_;
    // Hands the history the run's reads that never reached the read-back handler.
    std::unique_ptr<RunHistoryRecorder> runRecorder_;
    SendLedger sendLedger_;
    std::unique_ptr<FleetSend> fleetSend_;
    SummerPlanStore summer_;
    PasswayStore passway_;
    OverrideStore overrides_;
    BackgroundMailSender mailSender_;
    PlanLocationNames locationNames_;
    ErrorList errors_;
    TechnicianList technicians_;
    std::unique_ptr<ProfileStore> profile_;
    // The fleet's daily mail reads the history file with a connection of its own worker.
    std::unique_ptr<HistoryFileSource> historyFile_;
    std::unique_ptr<FleetDailyMail> fleetMail_;
    std::unique_ptr<SingleInstance> instance_;
    std::string helpFile_;
    std::vector<PlanFinding> planFindings_;
    MinuteScheduler scheduler_;
    ReadHistory readHistory_;
    StationReadBackListener readBackListener_;
    SnapshotBuilder snapshotBuilder_;
    DatabaseTextBuilder databaseTexts_;
    std::time_t archiveAt_ = 0;  // the minute the end of the day's save began
    BackgroundFileWriter readBackSaver_;
    BackgroundFileWriter databaseSaver_;
    TimerService::TimerId schedulerTimer_ = TimerService::kNoTimer;
    TimerService::TimerId workerPollTimer_ = TimerService::kNoTimer;
    UnwrittenFilesReport unwrittenReport_;
    bool anotherCopyClosing_ = false;
    bool shutDown_ = false;
};

}  // namespace quirn
