#include "app/MinuteScheduler.h"

#include "platform/LocalTime.h"

namespace quirn {

namespace {
constexpr int kEndOfDayHour = 23;
constexpr int kEndOfDayMinute = 59;
constexpr int kOverrideReloadMinute = 58;
constexpr int kExpiryMinute = 59;
}  // namespace

MinuteScheduler::MinuteScheduler(const Clock& clock, DailyJobs& jobs)
    : clock_(clock), jobs_(jobs), startTime_(clock.now()) {}

void MinuteScheduler::minuteTick() {
    const std::time_t now = clock_.now();
    const LocalDateTime t = toLocal(now);
    if (t.minute == minuteLastHandled_)
        jobs_.storeTicks();
    else
        firstTickOfMinute(t.hour, t.minute, now);
    if (readBackSaveRequested_ && jobs_.startReadBackSave()) readBackSaveRequested_ = 0;
}

void MinuteScheduler::firstTickOfMinute(int hour, int minute, std::time_t now) {
    if (hour == kEndOfDayHour && minute == kEndOfDayMinute) jobs_.endOfDay();
    if (minute == kExpiryMinute) jobs_.expireSpecialWeeks();
    if (hour == kEndOfDayHour && minute == kOverrideReloadMinute) jobs_.reloadOverrides();
    if (!programStarted_ && now - startTime_ > kStartAnnouncementDelaySeconds) {
        programStarted_ = 1;
        jobs_.announceStart();
    }
    minuteLastHandled_ = minute;
}

}  // namespace quirn
