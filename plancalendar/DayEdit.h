#pragma once
#include <ctime>
#include <optional>
#include <string>

#include "plancalendar/CalendarPick.h"
#include "plancalendar/DayGesture.h"

namespace quirn {
class Group;
}

namespace quirn::plancalendar {

// The change a gesture on the calendar asks of a group's dated plans.
struct DayEdit {
    enum class Kind {
        SetDayPlan,   // the day's annual plan becomes `plan` (a day plan number or 100)
        ClearDay,     // the day's annual plan goes
        AddVacation,  // a vacation over first..last
    };
    Kind kind = Kind::SetDayPlan;
    std::time_t first = 0;
    std::time_t last = 0;
    int plan = 0;

    bool operator==(const DayEdit&) const = default;
};

// A click on one day gives it the pick (Clear takes its annual plan away); a press on one day
// and a lift on another makes a vacation over the days between, whatever is picked. Nothing
// when the group already is that way (the same plan on the day, no plan to clear, the same
// vacation), so no empty step lands in the undo history.
std::optional<DayEdit> dayEditFor(const Group& group, const DayRange& range,
                                  const CalendarPick& pick);

// "2027-03-14: Day Plan 3 - Early release", "2027-03-14: cleared",
// "2027-12-20 to 2028-01-02: vacation", for the tab's status line.
std::string dayEditText(const Group& group, const DayEdit& edit);

}  // namespace quirn::plancalendar
