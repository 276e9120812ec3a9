#include "plans/SummerPlan.h"

#include <optional>

#include "plans/PlanTypes.h"
#include "platform/LocalTime.h"

namespace quirn {

namespace {

constexpr int kFirstYear = 1970;
constexpr int kLastYear = 9999;
constexpr int kMonthsPerYear = 12;
constexpr int kDaysPerWeek = 7;

std::optional<std::time_t> dateAtNoon(int year, int month, int day) {
    if (year < kFirstYear || year > kLastYear || month < 1 || month > kMonthsPerYear || day < 1 ||
        day > daysInMonth(year, month))
        return std::nullopt;
    return fromLocal(year, month, day, SummerPlan::kDateHour);
}

}  // namespace

SummerPlan::SummerPlan() : startDate(neverTime()), endDate(neverTime()) {}

bool SummerPlan::hasLocation(int mg, int g, int l) const {
    for (const SummerLocation& s : locations)
        if (s.sameNumbers(mg, g, l)) return true;
    return false;
}

bool SummerPlan::addLocation(int mg, int g, int l) {
    if (hasLocation(mg, g, l)) return false;
    locations.push_back(SummerLocation{mg, g, l, false});
    return true;
}

bool SummerPlan::setStartDate(int year, int month, int day) {
    auto t = dateAtNoon(year, month, day);
    if (t) startDate = *t;
    return t.has_value();
}

bool SummerPlan::setEndDate(int year, int month, int day) {
    auto t = dateAtNoon(year, month, day);
    if (t) endDate = *t;
    return t.has_value();
}

std::time_t SummerPlan::activeFrom() const {
    const LocalDateTime d = toLocal(startDate);
    const int daysBack = d.weekday - kSunday;
    return fromLocal(d.year, d.month, d.day - daysBack, 0, 0, kActiveStartSecond);
}

std::time_t SummerPlan::activeUntil() const {
    const LocalDateTime d = toLocal(endDate);
    const int daysOn = (kDaysPerWeek + kSunday - d.weekday) % kDaysPerWeek;
    return fromLocal(d.year, d.month, d.day + daysOn, kActiveEndHour, kActiveEndMinute,
                     kActiveEndSecond);
}

bool SummerPlan::isActive(std::time_t now) const {
    return now >= activeFrom() && now <= activeUntil();
}

std::vector<Step> SummerPlan::pagingSteps(int mg, int g) const {
    constexpr int kNoDayPlan = 0;
    constexpr size_t kStepsPerEntry = 2;  // ON and OFF
    std::vector<Step> out;
    out.reserve(steps.size() * kStepsPerEntry);
    for (const SummerPlanStep& s : steps) {
        out.push_back(Step::atTime(mg, g, kNoDayPlan, s.onHour, s.onMinute, kCommandOn));
        out.push_back(Step::atTime(mg, g, kNoDayPlan, s.offHour, s.offMinute, kCommandOff));
    }
    return out;
}

}  // namespace quirn
