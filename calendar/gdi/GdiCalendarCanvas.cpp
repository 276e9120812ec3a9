#include "calendar/gdi/GdiCalendarCanvas.h"

#include <vector>

#include "calendar/CalendarPainter.h"

namespace quirn::calendar {

namespace {

constexpr int kTenthsPerInch = 720;  // tenths of a point in an inch

RECT toRect(const Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

int textLength(std::string_view text) {
    return static_cast<int>(text.size());
}

}  // namespace

GdiCalendarCanvas::GdiCalendarCanvas(HDC dc) : dc_(dc), savedState_(SaveDC(dc)) {
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    SelectObject(dc_, GetStockObject(NULL_BRUSH));
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, RGB(0, 0, 0));
}

GdiCalendarCanvas::~GdiCalendarCanvas() {
    RestoreDC(dc_, savedState_);
}

TextSize GdiCalendarCanvas::textSize(std::string_view text) const {
    SIZE size{};
    GetTextExtentPoint32A(dc_, text.data(), textLength(text), &size);
    return {size.cx, size.cy};
}

void GdiCalendarCanvas::fillWhite(const Rect& r) {
    const RECT rect = toRect(r);
    FillRect(dc_, &rect, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void GdiCalendarCanvas::line(Point from, Point to) {
    MoveToEx(dc_, from.x, from.y, nullptr);
    LineTo(dc_, to.x, to.y);
}

void GdiCalendarCanvas::polyline(std::span<const Point> points) {
    std::vector<POINT> gdiPoints;
    gdiPoints.reserve(points.size());
    for (const Point& p : points) gdiPoints.push_back(POINT{p.x, p.y});
    Polyline(dc_, gdiPoints.data(), static_cast<int>(gdiPoints.size()));
}

void GdiCalendarCanvas::frameRect(const Rect& r) {
    Rectangle(dc_, r.left, r.top, r.right, r.bottom);
}

void GdiCalendarCanvas::frameEllipse(const Rect& r) {
    Ellipse(dc_, r.left, r.top, r.right, r.bottom);
}

void GdiCalendarCanvas::invert(const Rect& r) {
    const RECT rect = toRect(r);
    InvertRect(dc_, &rect);
}

void GdiCalendarCanvas::textCentredTop(int centreX, int top, std::string_view text) {
    const UINT previous = SetTextAlign(dc_, TA_CENTER | TA_TOP | TA_NOUPDATECP);
    TextOutA(dc_, centreX, top, text.data(), textLength(text));
    SetTextAlign(dc_, previous);
}

CalendarFont::CalendarFont(HDC dc) : dc_(dc) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(kFontTenthsOfPoint, GetDeviceCaps(dc, LOGPIXELSY), kTenthsPerInch);
    lf.lfCharSet = DEFAULT_CHARSET;
    font_ = CreateFontIndirectA(&lf);  // an empty face name: the system picks the default
    previous_ = SelectObject(dc_, font_);
}

CalendarFont::~CalendarFont() {
    SelectObject(dc_, previous_);
    DeleteObject(font_);
}

}  // namespace quirn::calendar
