#pragma once
#include <cstdint>
#include <ctime>

#include "platform/Clock.h"
#include "platform/LocalTime.h"

namespace quirn {

// The time-of-day jobs the scheduler fires; the application object fills them with its
// members.
class DailyJobs {
  public:
    virtual ~DailyJobs() = default;
    // Every tick but the first of a minute: the override and summer plan stores' ticks.
    virtual void storeTicks() = 0;
    // 23:59: delete override.csv, archive the database files, save everything.
    virtual void endOfDay() = 0;
    // Minute 59 of every hour: special week plans whose end has passed are deleted.
    virtual void expireSpecialWeeks() = 0;
    // 23:58: the override store is read again from override.csv.
    virtual void reloadOverrides() = 0;
    // Once, the first new minute more than 50 s after start: "Starting Program" and the start
    // notification.
    virtual void announceStart() = 0;
    // The read-back file's records are copied a slice of groups at a time, then laid out and
    // written by a worker; false while a snapshot is still being copied or written (the
    // request then stays for the next tick).
    virtual bool startReadBackSave() = 0;
    // 04:00 Monday to Friday: the weekday validation run of every time switch, when the
    // settings ask for it.
    virtual void weekdayValidation() {}
};

// Runs the daily housekeeping from a 10-second timer: on the first tick of each minute the
// jobs of that time of day, on the other ticks the plan stores' ticks; on any tick a pending
// request to save the read-back file.
class MinuteScheduler {
  public:
    static constexpr int kTickMs = 10000;
    static constexpr int kStartAnnouncementDelaySeconds = 50;

    MinuteScheduler(const Clock& clock, DailyJobs& jobs);

    void minuteTick();
    // Called whenever a location's read-back data changed.
    void requestReadBackSave() { readBackSaveRequested_ = 1; }

    int minuteLastHandled() const { return minuteLastHandled_; }
    bool programStarted() const { return programStarted_ != 0; }
    bool readBackSaveRequested() const { return readBackSaveRequested_ != 0; }
    std::time_t startTime() const { return startTime_; }

  private:
    void firstTickOfMinute(const LocalDateTime& t, std::time_t now);

    const Clock& clock_;
    DailyJobs& jobs_;
    int32_t readBackSaveRequested_ = 0;
    int32_t minuteLastHandled_ = -1;
    int32_t programStarted_ = 0;
    std::time_t startTime_;
};

}  // namespace quirn
