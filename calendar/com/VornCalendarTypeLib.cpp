#include "calendar/com/VornCalendarTypeLib.h"

#include <cctype>

namespace quirn::vorncal {

namespace {

constexpr Member kDispatchMembers[] = {
    {kDispEraseDayPlans, "EraseDayPlans", 0},
    {kDispSetActivePlan, "SetActivePlan", 1},  // PlanNumber
    {kDispAddDayPlan, "AddDayPlan", 4},        // Year, Month, Day, PlanNumber
    {kDispAboutBox, "AboutBox", 0},
};

constexpr Member kEventMembers[] = {
    {kEventNewFocusTime, "NewFocusTime", 4},  // Year, Month, Day, ctrl
    {kEventNewLiftTime, "NewLiftTime", 3},    // Year, Month, Day
};

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

std::span<const Member> dispatchMembers() {
    return kDispatchMembers;
}
std::span<const Member> eventMembers() {
    return kEventMembers;
}

const Member* findMember(std::span<const Member> members, DispId id) {
    for (const Member& m : members)
        if (m.id == id) return &m;
    return nullptr;
}

const Member* findMember(std::span<const Member> members, std::string_view name) {
    for (const Member& m : members)
        if (sameName(m.name, name)) return &m;
    return nullptr;
}

}  // namespace quirn::vorncal
