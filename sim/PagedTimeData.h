#pragma once
#include <optional>
#include <string_view>

#include "platform/LocalTime.h"
#include "sim/ZoneRule.h"

namespace quirn::sim {

// The data of the two paged time messages as a switch reads them.

// 'T': weekday digit "1".."7" and the time-of-day pair (upper-case hour letter, base-62
// minute).
struct TimeOfWeek {
    int weekday = 1;
    int hour = 0;
    int minute = 0;
};
std::optional<TimeOfWeek> parseTimeData(std::string_view data);

// 'Z': "e", base-62 digits of year - 2010, month, day, hour, minute, second, the zone letter
// "A" + hours west, then the daylight-saving rule as four base-62 digits (start month and
// week, end month and week).
struct DateAndZone {
    LocalDateTime local;
    ZoneRule zone;
};
std::optional<DateAndZone> parseDateTimeData(std::string_view data);

}  // namespace quirn::sim
