#pragma once
#include <windows.h>

#include "calendar/CalendarCanvas.h"

namespace quirn::calendar {

// The calendar's drawing surface on a Windows device context: the stock black pen, no brush
// inside outlines, text drawn transparently in the font the caller selected.
class GdiCalendarCanvas final : public CalendarCanvas {
  public:
    explicit GdiCalendarCanvas(HDC dc);
    ~GdiCalendarCanvas() override;
    GdiCalendarCanvas(const GdiCalendarCanvas&) = delete;
    GdiCalendarCanvas& operator=(const GdiCalendarCanvas&) = delete;

    TextSize textSize(std::string_view text) const override;
    void fillWhite(const Rect& r) override;
    void line(Point from, Point to) override;
    void polyline(std::span<const Point> points) override;
    void frameRect(const Rect& r) override;
    void frameEllipse(const Rect& r) override;
    void invert(const Rect& r) override;
    void textCentredTop(int centreX, int top, std::string_view text) override;

  private:
    HDC dc_;
    int savedState_;
};

// The painting font (7 points, the default face) selected into a device context for as long
// as this object lives, then deleted.
class CalendarFont {
  public:
    explicit CalendarFont(HDC dc);
    ~CalendarFont();
    CalendarFont(const CalendarFont&) = delete;
    CalendarFont& operator=(const CalendarFont&) = delete;

  private:
    HDC dc_;
    HFONT font_;
    HGDIOBJ previous_;
};

}  // namespace quirn::calendar
