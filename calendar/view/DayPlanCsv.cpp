#include "calendar/view/DayPlanCsv.h"

#include <limits>

#include "platform/TextLines.h"

namespace quirn::vorncal {

namespace {

constexpr std::string_view kDayPlan = "DayPlan";
constexpr std::string_view kVacationPlan = "VacationPlan";
constexpr size_t kDayPlanFields = 7;
constexpr size_t kVacationPlanFields = 9;
constexpr std::int16_t kVacationStart = 101;
constexpr std::int16_t kVacationEnd = 102;

// Both line kinds put the group before the master group.
GroupId groupOf(const std::vector<std::string_view>& fields) {
    return {atoiField(fields[2]), atoiField(fields[1])};
}

bool isPlanLine(const std::vector<std::string_view>& fields) {
    return (fields[0] == kDayPlan && fields.size() >= kDayPlanFields) ||
           (fields[0] == kVacationPlan && fields.size() >= kVacationPlanFields);
}

bool fitsCode(int plan) {
    return plan >= std::numeric_limits<std::int16_t>::min() &&
           plan <= std::numeric_limits<std::int16_t>::max();
}

}  // namespace

std::vector<DayMark> groupDayMarks(std::string_view fileText, GroupId group) {
    std::vector<DayMark> marks;
    std::vector<std::string_view> f;
    LineReader lines(fileText);
    for (std::string_view line; lines.next(line);) {
        splitFields(line, f);
        if (!isPlanLine(f) || groupOf(f) != group) continue;
        if (f[0] == kDayPlan) {
            const int plan = atoiField(f[3]);
            if (!fitsCode(plan)) continue;
            marks.push_back({atoiField(f[4]), atoiField(f[5]), atoiField(f[6]),
                             static_cast<std::int16_t>(plan)});
        } else {
            marks.push_back({atoiField(f[3]), atoiField(f[4]), atoiField(f[5]), kVacationStart});
            marks.push_back({atoiField(f[6]), atoiField(f[7]), atoiField(f[8]), kVacationEnd});
        }
    }
    return marks;
}

std::optional<GroupId> firstGroup(std::string_view fileText) {
    std::vector<std::string_view> f;
    LineReader lines(fileText);
    for (std::string_view line; lines.next(line);) {
        splitFields(line, f);
        if (isPlanLine(f)) return groupOf(f);
    }
    return std::nullopt;
}

}  // namespace quirn::vorncal
