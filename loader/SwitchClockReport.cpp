#include "loader/SwitchClockReport.h"

#include <cstdlib>

#include "loader/LoaderTexts.h"
#include "platform/Format.h"
#include "platform/LocalTime.h"
#include "protocol/ProgramImage.h"
#include "protocol/Qn510Image.h"
#include "protocol/Validation.h"

namespace quirn {

namespace {
// Units of the offset text, wide enough for any pair of times.
constexpr long long kSecondsAMinute = 60;
constexpr long long kMinutesAnHour = 60;
constexpr long long kHoursADay = 24;
constexpr long long kMinutesADay = kMinutesAnHour * kHoursADay;
constexpr long long kMinutesAWeek = kMinutesADay * 7;
constexpr int kFirstWeekday = 1;
constexpr int kLastWeekday = 7;

// A QN510 knows only the time of the week: the offset is taken the short way round it, so
// Saturday 23:59 against Sunday 00:01 is 2 minutes slow, not 6 days fast.
long long weekMinutesApart(long long switchMinute, long long computerMinute) {
    long long apart = (switchMinute - computerMinute) % kMinutesAWeek;
    if (apart < 0) apart += kMinutesAWeek;
    if (apart > kMinutesAWeek / 2) apart -= kMinutesAWeek;
    return apart;
}

long long minuteOfWeek(int weekday, int hour, int minute) {
    return (weekday - kFirstWeekday) * kMinutesADay + hour * kMinutesAnHour + minute;
}

void fillOffsetLine(SwitchClockReport& report) {
    report.offsetLine =
        report.known ? format(loader_text::kSwitchClockOffset,
                              clockOffsetText(report.offsetSeconds, report.hasSeconds).c_str())
                     : loader_text::kSwitchClockUnusable;
}
}  // namespace

std::string clockOffsetText(long long offsetSeconds, bool withSeconds) {
    long long total = std::llabs(offsetSeconds);
    long long seconds = total % kSecondsAMinute;
    long long minutes = total / kSecondsAMinute;
    if (!withSeconds) seconds = 0;
    if (minutes == 0 && seconds == 0)
        return withSeconds ? loader_text::kClocksAgreeToTheSecond
                           : loader_text::kClocksAgreeToTheMinute;
    long long days = minutes / kMinutesADay;
    long long hours = minutes / kMinutesAnHour % kHoursADay;
    minutes %= kMinutesAnHour;
    std::string text;
    if (days > 0)
        text = format("%lld d %02lld h %02lld min", days, hours, minutes);
    else if (hours > 0)
        text = format("%lld h %02lld min", hours, minutes);
    else if (minutes > 0)
        text = format("%lld min", minutes);
    if (withSeconds)
        text += text.empty() ? format("%lld s", seconds) : format(" %02lld s", seconds);
    return text + (offsetSeconds > 0 ? " fast" : " slow");
}

SwitchClockReport qn510ClockReport(const Qn510Image& image, std::time_t readTime) {
    SwitchClockReport report;
    report.wrong = Validation::qn510ClockWrong(image, readTime);
    const int weekday = image.weekday();
    const bool usable = weekday >= kFirstWeekday && weekday <= kLastWeekday &&
                        !isNever(Qn510Image(image.tables(), readTime).clock());
    if (usable) {
        LocalDateTime computer = toLocal(readTime);
        report.known = true;
        report.offsetSeconds =
            weekMinutesApart(minuteOfWeek(weekday, image.hour(), image.minute()),
                             minuteOfWeek(computer.weekday, computer.hour, computer.minute)) *
            kSecondsAMinute;
        report.clockLine = format(loader_text::kQn510ClockLine, image.hour(), image.minute(),
                                  weekdayName(weekday));
    }
    fillOffsetLine(report);
    return report;
}

SwitchClockReport imageClockReport(const ProgramImage& image, std::time_t readTime) {
    SwitchClockReport report;
    const std::time_t clock = image.clock();
    report.wrong = Validation::clockWrong(clock, readTime);
    if (!isNever(clock)) {
        report.known = true;
        report.hasSeconds = true;
        report.offsetSeconds = static_cast<long long>(clock - readTime);
        report.clockLine = formatLocal(loader_text::kClockLineFormat, clock);
    }
    fillOffsetLine(report);
    return report;
}

}  // namespace quirn
