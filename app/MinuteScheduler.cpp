#include "app/MinuteScheduler.h"

#include "platform/LocalTime.h"

namespace quirn {

namespace {
constexpr int kEndOfDayHour = 23;
constexpr int kEndOfDayMinute = 59;
constexpr int kOverrideReloadMinute = 58;
constexpr int kExpiryMinute = 59;
constexpr int kWeekdayValidationHour = 4;
constexpr int kWeekdayValidationMinute = 0;
// Weekdays are numbered 1 = Sunday to 7 = Saturday.
constexpr int kMonday = 2;
constexpr int kFriday = 6;
}  // namespace

MinuteScheduler::MinuteScheduler(const Clock& clock, DailyJobs& jobs)
    : clock_(clock), jobs_(jobs), startTime_(clock.now()) {}

void MinuteScheduler::minuteTick() {
    const std::time_t now = clock_.now();
    const LocalDateTime t = toLocal(now);
    if (t.minute == minuteLastHandled_)
        jobs_.storeTicks();
    else
        firstTickOfMinute(t, now);
    if (readBackSaveRequested_ && jobs_.startReadBackSave()) readBackSaveRequested_ = 0;
}

void MinuteScheduler::firstTickOfMinute(const LocalDateTime& t, std::time_t now) {
    const int hour = t.hour;
    const int minute = t.minute;
    if (hour == kEndOfDayHour && minute == kEndOfDayMinute) jobs_.endOfDay();
    if (minute == kExpiryMinute) jobs_.expireSpecialWeeks();
    if (hour == kEndOfDayHour && minute == kOverrideReloadMinute) jobs_.reloadOverrides();
    if (hour == kWeekdayValidationHour && minute == kWeekdayValidationMinute &&
        t.weekday >= kMonday && t.weekday <= kFriday)
        jobs_.weekdayValidation();
    if (!programStarted_ && now - startTime_ > kStartAnnouncementDelaySeconds) {
        programStarted_ = 1;
        jobs_.announceStart();
    }
    minuteLastHandled_ = minute;
}

}  // namespace quirn
