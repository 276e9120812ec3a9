#pragma once
#include <optional>
#include <vector>

#include "schoolyear/CalendarMapping.h"

namespace quirn::plancalendar {

// The actions a summary can be mapped to, in the order the dialog lists them: Holiday,
// Vacation, Day plan 1..9, Ignore. The list is shown after a first "choose" entry.
std::vector<CalendarAction> importActionChoices();
// The index of an action in that list, or nothing.
std::optional<int> importActionIndex(const CalendarAction& action);

}  // namespace quirn::plancalendar
