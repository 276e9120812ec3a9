#include "plancalendar/import/ImportActionChoices.h"

namespace quirn::plancalendar {

namespace {
// The day plans a time switch holds (the files keep steps for 1..9 only).
constexpr int kLastDayPlan = 9;
}  // namespace

std::vector<CalendarAction> importActionChoices() {
    std::vector<CalendarAction> choices{{CalendarActionKind::Holiday, 0},
                                        {CalendarActionKind::Vacation, 0}};
    for (int plan = 1; plan <= kLastDayPlan; ++plan)
        choices.push_back({CalendarActionKind::DayPlan, plan});
    choices.push_back({CalendarActionKind::Ignore, 0});
    return choices;
}

std::optional<int> importActionIndex(const CalendarAction& action) {
    const std::vector<CalendarAction> choices = importActionChoices();
    for (size_t i = 0; i < choices.size(); ++i)
        if (choices[i] == action) return static_cast<int>(i);
    return std::nullopt;
}

}  // namespace quirn::plancalendar
