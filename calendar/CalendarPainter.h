#pragma once
#include "calendar/CalendarCanvas.h"
#include "calendar/CalendarModel.h"

namespace quirn::calendar {

// The painting font: 7 points (in tenths of a point, as the control creates it), default face.
inline constexpr int kFontTenthsOfPoint = 70;

// Paints the whole control into `bounds`: white fill, the fifteen panels, then every mark in
// list order offered to each panel. Lays the model out first, so hit tests follow the paint.
// The caller has selected the painting font on the canvas.
void paintCalendar(CalendarModel& model, CalendarCanvas& canvas, const Rect& bounds);

// One panel's lines, title, weekday initials and day numbers (after its layout).
void paintPanel(const MonthPanel& panel, CalendarCanvas& canvas, const Rect& bounds);

// Draws a mark in a panel when its date falls in the panel's month.
void paintMark(const MonthPanel& panel, const Mark& mark, const DisplayState& display,
               CalendarCanvas& canvas);

}  // namespace quirn::calendar
