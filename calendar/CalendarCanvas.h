#pragma once
#include <span>
#include <string_view>

#include "calendar/Geometry.h"

namespace quirn::calendar {

// What painting the calendar needs from a drawing surface, with the window system's meanings:
// a black one-unit pen, rectangles whose right and bottom lie just outside them, text in the
// current font (the caller selects it before painting).
class CalendarCanvas {
  public:
    virtual ~CalendarCanvas() = default;
    virtual TextSize textSize(std::string_view text) const = 0;
    virtual void fillWhite(const Rect& r) = 0;
    virtual void line(Point from, Point to) = 0;
    virtual void polyline(std::span<const Point> points) = 0;
    // Outline only; what lies inside stays visible.
    virtual void frameRect(const Rect& r) = 0;
    virtual void frameEllipse(const Rect& r) = 0;
    // Turns every pixel of the rectangle into its opposite colour.
    virtual void invert(const Rect& r) = 0;
    // Text centred horizontally on centreX, its top at `top`.
    virtual void textCentredTop(int centreX, int top, std::string_view text) = 0;
};

}  // namespace quirn::calendar
