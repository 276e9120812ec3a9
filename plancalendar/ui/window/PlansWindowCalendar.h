#pragma once
#include "plancalendar/ui/CalendarHost.h"

namespace quirn {
class PlansWindow;
}

namespace quirn::plancalendar {

// Adds the "Calendar" tab to the Plans window: the picked group's annual and vacation plans on
// the calendar control, following the tree's pick and editing through the window's editor, and,
// where the school calendar import is built, "Import school calendar..." for the picked group.
// Meant as the window's extend hook (PlansWindowServices::extend). Without a clock in the
// options the control takes the window's.
void addPlansCalendar(PlansWindow& window, const CalendarHostOptions& options);

}  // namespace quirn::plancalendar
