#include "sim/PagedTimeData.h"

#include <array>

#include "protocol/Base62.h"

namespace quirn::sim {

namespace {

constexpr size_t kTimeDataLength = 3;
constexpr size_t kDateDataLength = 12;
constexpr char kDateMark = 'e';
constexpr int kYearBase = 2010;
constexpr size_t kDateFields = 6;
constexpr size_t kZoneAt = 7;
constexpr size_t kRuleAt = 8;
constexpr size_t kRuleFields = 4;
constexpr int kMaxHoursWest = 23;
constexpr int kMonths = 12;

bool validTime(int hour, int minute) {
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60;
}

}  // namespace

std::optional<TimeOfWeek> parseTimeData(std::string_view data) {
    if (data.size() != kTimeDataLength || data[0] < '1' || data[0] > '7') return std::nullopt;
    auto pair = decodePair(data[1], data[2]);
    if (!pair || !pair->on) return std::nullopt;  // the time pair always has an upper-case hour
    return TimeOfWeek{data[0] - '0', pair->hour, pair->minute};
}

std::optional<DateAndZone> parseDateTimeData(std::string_view data) {
    if (data.size() != kDateDataLength || data[0] != kDateMark) return std::nullopt;
    std::array<int, kDateFields> v{};
    for (size_t i = 0; i < kDateFields; ++i)
        if ((v[i] = base62Value(data[1 + i])) < 0) return std::nullopt;
    std::array<int, kRuleFields> rule{};
    for (size_t i = 0; i < kRuleFields; ++i)
        if ((rule[i] = base62Value(data[kRuleAt + i])) < 0) return std::nullopt;
    int west = data[kZoneAt] - 'A';
    DateAndZone out;
    out.local = LocalDateTime{kYearBase + v[0], v[1], v[2], v[3], v[4], v[5]};
    const LocalDateTime& t = out.local;
    if (t.month < 1 || t.month > kMonths || t.day < 1 ||
        t.day > static_cast<int>(daysFromCivil(t.year, t.month + 1, 1) -
                                 daysFromCivil(t.year, t.month, 1)) ||
        !validTime(t.hour, t.minute) || t.second > 59)
        return std::nullopt;
    if (west < 0 || west > kMaxHoursWest || rule[0] < 1 || rule[0] > kMonths || rule[2] < 1 ||
        rule[2] > kMonths)
        return std::nullopt;
    out.zone.hoursWest = west;
    out.zone.observesDst = true;
    out.zone.startMonth = rule[0];
    out.zone.startWeek = rule[1];
    out.zone.endMonth = rule[2];
    out.zone.endWeek = rule[3];
    return out;
}

}  // namespace quirn::sim
