#include "sim/RelaySchedule.h"

namespace quirn::sim {

namespace {

constexpr int64_t kLongestSpanDays = 9;  // a week and the days at either end
constexpr int kMinutesPerHour = 60;

int64_t floorDiv(int64_t a, int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

int64_t localDayOf(const LocalDateTime& t) {
    return daysFromCivil(t.year, t.month, t.day);
}

}  // namespace

int64_t minuteOf(std::time_t utc) {
    return floorDiv(static_cast<int64_t>(utc), kSecondsPerMinute);
}

std::optional<int> lastSwitchIn(const ZoneRule& zone, int64_t fromMinute, int64_t toMinute,
                                const StepsOfDay& stepsOfDay) {
    if (toMinute < fromMinute) return std::nullopt;
    auto dayAt = [&](int64_t minute) {
        return localDayOf(zone.toLocal(static_cast<std::time_t>(minute * kSecondsPerMinute)));
    };
    int64_t lastDay = dayAt(toMinute);
    int64_t firstDay = dayAt(fromMinute);
    if (lastDay - firstDay > kLongestSpanDays) firstDay = lastDay - kLongestSpanDays;
    std::optional<int64_t> best;
    int bestCode = 0;
    for (int64_t day = firstDay; day <= lastDay; ++day) {
        LocalDateTime date = fieldsOf(day * kSecondsPerDay);
        for (const SwitchStep& s : stepsOfDay(date)) {
            LocalDateTime at = date;
            at.hour = s.minuteOfDay / kMinutesPerHour;
            at.minute = s.minuteOfDay % kMinutesPerHour;
            at.second = 0;
            int64_t minute = minuteOf(zone.fromLocal(at));
            if (minute < fromMinute || minute > toMinute) continue;
            // Later in the day wins; at the same minute the later step of the list wins.
            if (!best || minute >= *best) {
                best = minute;
                bestCode = s.relayCode;
            }
        }
    }
    if (!best) return std::nullopt;
    return bestCode;
}

}  // namespace quirn::sim
