#pragma once
#include <ctime>
#include <optional>

#include "calendar/Geometry.h"
#include "calendar/view/ViewOptions.h"

namespace quirn::vorncal {

// Where a host presses for a click request on a control of `bounds` (its client area) whose
// painting font measures "X" as `x`, laid out as the control lays itself out on `today`: the
// middle of the date's cell, or of the weekday heading over a month's Sundays. Nothing when the
// month is not among the control's fifteen.
std::optional<calendar::Point> clickPoint(const ClickRequest& click, std::time_t today,
                                          const calendar::Rect& bounds, calendar::TextSize x);

}  // namespace quirn::vorncal
