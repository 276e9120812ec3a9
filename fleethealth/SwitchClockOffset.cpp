#include "fleethealth/SwitchClockOffset.h"

#include "platform/LocalTime.h"
#include "protocol/ProgramImage.h"
#include "protocol/Qn510Image.h"

namespace quirn {

namespace {
constexpr long long kSecondsAMinute = 60;
constexpr long long kMinutesADay = 24 * 60;
constexpr long long kMinutesAWeek = 7 * kMinutesADay;
constexpr int kFirstWeekday = 1;
constexpr int kLastWeekday = 7;
constexpr long long kMinutesAnHour = 60;

long long minuteOfWeek(int weekday, int hour, int minute) {
    return (weekday - kFirstWeekday) * kMinutesADay + hour * kMinutesAnHour + minute;
}

// Saturday 23:59 against Sunday 00:01 is 2 minutes slow, not 6 days fast.
long long weekMinutesApart(long long switchMinute, long long computerMinute) {
    long long apart = (switchMinute - computerMinute) % kMinutesAWeek;
    if (apart < 0) apart += kMinutesAWeek;
    if (apart > kMinutesAWeek / 2) apart -= kMinutesAWeek;
    return apart;
}

SwitchClockOffset qn510Offset(const Qn510Image& image, std::time_t readTime) {
    SwitchClockOffset offset;
    const int weekday = image.weekday();
    if (weekday < kFirstWeekday || weekday > kLastWeekday ||
        isNever(Qn510Image(image.tables(), readTime).clock()))
        return offset;
    const LocalDateTime computer = toLocal(readTime);
    offset.known = true;
    offset.seconds =
        weekMinutesApart(minuteOfWeek(weekday, image.hour(), image.minute()),
                         minuteOfWeek(computer.weekday, computer.hour, computer.minute)) *
        kSecondsAMinute;
    return offset;
}
}  // namespace

SwitchClockOffset switchClockOffset(const ReadBackImage& image, std::time_t readTime) {
    if (const auto* qn510 = dynamic_cast<const Qn510Image*>(&image))
        return qn510Offset(*qn510, readTime);
    SwitchClockOffset offset;
    const std::time_t clock = image.clock();
    if (dynamic_cast<const ProgramImage*>(&image) == nullptr || isNever(clock)) return offset;
    offset.known = true;
    offset.hasSeconds = true;
    offset.seconds = static_cast<long long>(clock - readTime);
    return offset;
}

}  // namespace quirn
