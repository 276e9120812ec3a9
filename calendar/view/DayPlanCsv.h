#pragma once
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace quirn::vorncal {

struct GroupId {
    int masterGroup = 1;
    int group = 1;
    friend bool operator==(const GroupId&, const GroupId&) = default;
};

// One AddDayPlan call of the host.
struct DayMark {
    int year = 0;
    int month = 0;
    int day = 0;
    std::int16_t planCode = 0;
    friend bool operator==(const DayMark&, const DayMark&) = default;
};

// The marks the host shows for one group, read from the text of a working folder's
// "dayplan.csv", in file order: a "DayPlan,group,mastergroup,plan,year,month,day" line gives
// one mark with the plan number (100 for a holiday); a
// "VacationPlan,group,mastergroup,sy,sm,sd,ey,em,ed" line gives its first day (101) and its last
// day (102). Fields split at every comma; other lines, lines of other groups, short lines and
// plan numbers that no 16-bit code holds are skipped.
std::vector<DayMark> groupDayMarks(std::string_view fileText, GroupId group);

// The group of the first "DayPlan" or "VacationPlan" line, if any.
std::optional<GroupId> firstGroup(std::string_view fileText);

}  // namespace quirn::vorncal
