#pragma once
#include <QPainter>

#include "calendar/CalendarCanvas.h"

namespace quirn::calendar {

// The calendar's drawing surface over a QPainter: black cosmetic pen, no brush, no
// antialiasing, so lines and frames fall on whole pixels as the window system draws them.
class QtCalendarCanvas final : public CalendarCanvas {
  public:
    explicit QtCalendarCanvas(QPainter& painter);

    TextSize textSize(std::string_view text) const override;
    void fillWhite(const Rect& r) override;
    void line(Point from, Point to) override;
    void polyline(std::span<const Point> points) override;
    void frameRect(const Rect& r) override;
    void frameEllipse(const Rect& r) override;
    void invert(const Rect& r) override;
    void textCentredTop(int centreX, int top, std::string_view text) override;

  private:
    QPainter& painter_;
};

// The painting font: 7 points of the default face.
QFont calendarFont();

}  // namespace quirn::calendar
