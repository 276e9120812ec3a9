#pragma once
#include <cstddef>
#include <ctime>
#include <future>
#include <optional>
#include <string>
#include <vector>

#include "fleethealth/FleetRowsSlicer.h"
#include "fleethealth/OffsetHistory.h"

namespace quirn {

class Clock;
class ErrorList;
class MailSender;
class PlanDatabase;
class ProfileStore;
class TechnicianList;

// What the daily mail reads and where it goes.
struct FleetMailParts {
    const Clock& clock;
    const PlanDatabase& db;
    const ErrorList& errors;
    const TechnicianList& technicians;
    MailSender& sender;
    ProfileStore* profile;  // remembers the day checked across restarts (null: memory only)
};

// Once a day, at 06:30 (after the weekday validation run of 04:00 has read the fleet, before
// the morning's school zones), the fleet is checked; when anything is wrong (a wrong clock, a
// program that differs, a switch not reached, a drifting clock), every technician on duty with
// validate-failure notices gets one mail with the counts and the worst ten. Nothing is sent
// when all is well. The day checked is kept in the profile store, so a restart never mails
// twice in a day; a station started up to an hour late still checks that morning.
//
// The station's thread only lays out the database's rows, a slice at a time from poll(); the
// history's query, the join and the text are made on a worker thread of the check's own, which
// touches no station object. The mails are handed to the sender on the station's thread.
class FleetDailyMail {
  public:
    static constexpr int kMailHour = 6;
    static constexpr int kMailMinute = 30;
    static constexpr int kLateStartMinutes = 60;
    static constexpr std::size_t kWorstCount = 10;
    static constexpr std::size_t kSliceLocations = 10000;
    static constexpr const char* kProfileSection = "Fleet";
    static constexpr const char* kProfileDayEntry = "DailyMailDay";

    explicit FleetDailyMail(FleetMailParts parts);
    ~FleetDailyMail();
    FleetDailyMail(const FleetDailyMail&) = delete;
    FleetDailyMail& operator=(const FleetDailyMail&) = delete;

    // The mail server and the sender address (the Server and Sender settings).
    void setMailAccount(std::string server, std::string senderAddress);
    // The read history the check asks (null: the snapshot's reads only). Its queries must be
    // safe to make from another thread (each opens its own connection).
    void setHistory(const FleetHistorySource* history) { history_ = history; }

    // From the minute scheduler's timer: begins the day's check once its time has come.
    void minuteTick();
    // From the station's poll timer: lays out the next slice of rows, starts the worker once
    // they are complete, and hands a finished check's mails to the sender. Returns the number
    // of mails handed over.
    std::size_t poll();
    // Finishes a check under way at once (the end of the program, tests): every slice, the
    // worker's wait, the mails. Returns the number of mails handed over.
    std::size_t finishCheck();
    bool checking() const { return slicer_.building() || result_.valid(); }
    // The local day (YYYYMMDD) last checked, 0 when never.
    int dayChecked() const { return dayChecked_; }

  private:
    struct Outcome {
        std::string subject;
        std::string body;  // empty: all is well
    };
    void startWorker();
    std::size_t collect();

    FleetMailParts parts_;
    const FleetHistorySource* history_ = nullptr;
    std::string server_;
    std::string senderAddress_;
    FleetRowsSlicer slicer_;
    std::future<Outcome> result_;
    std::time_t checkTime_ = 0;
    int dayChecked_ = 0;
};

}  // namespace quirn
