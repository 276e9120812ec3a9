#include "calendar/view/CellLooks.h"

#include "calendar/CalendarModel.h"

namespace quirn::vorncal {

using namespace quirn::calendar;

namespace {

// An edge counts as drawn when most of its pixels are; text never covers most of one.
constexpr double kDrawnEdge = 0.7;
constexpr double kBlankEdge = 0.3;
constexpr double kInvertedInside = 0.5;
constexpr int kEdgeInset = 3;  // bracket corners and line ends are left out of an edge

struct Counter {
    int marked = 0;
    int total = 0;
    double share() const { return total == 0 ? 0.0 : static_cast<double>(marked) / total; }
};

// A mark's own pixels: dark on a plain cell, light on an inverted one.
bool markPixel(const Picture& p, int x, int y, bool inverted) {
    return p.dark(x, y) != inverted;
}

Counter column(const Picture& p, int x, int top, int bottom, bool inverted) {
    Counter c;
    for (int y = top; y < bottom; ++y, ++c.total) c.marked += markPixel(p, x, y, inverted);
    return c;
}

Counter row(const Picture& p, int y, int left, int right, bool inverted) {
    Counter c;
    for (int x = left; x < right; ++x, ++c.total) c.marked += markPixel(p, x, y, inverted);
    return c;
}

// Lines may end a pixel short or long between the window systems: the better of two places.
double edgeShare(const Counter& a, const Counter& b) {
    return a.share() > b.share() ? a.share() : b.share();
}

bool darkNear(const Picture& p, int x, int y) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (p.dark(x + dx, y + dy)) return true;
    return false;
}

CellLook lookOf(const Picture& p, const MonthPanel& panel, Cell cell) {
    const Rect r = panel.cellRect(cell);
    Counter inside;
    for (int y = r.top + 1; y < r.bottom - 1; ++y)
        for (int x = r.left + 1; x < r.right - 1; ++x, ++inside.total)
            inside.marked += p.dark(x, y);
    const bool inverted = inside.share() > kInvertedInside;
    const int top = r.top + kEdgeInset, bottom = r.bottom - kEdgeInset;
    const double left = edgeShare(column(p, r.left, top, bottom, inverted),
                                  column(p, r.left + 1, top, bottom, inverted));
    const double right = edgeShare(column(p, r.right - 1, top, bottom, inverted),
                                   column(p, r.right, top, bottom, inverted));
    const int from = r.left + kEdgeInset, to = r.right - kEdgeInset;
    const double upper =
        edgeShare(row(p, r.top, from, to, inverted), row(p, r.top + 1, from, to, inverted));
    const double lower =
        edgeShare(row(p, r.bottom - 1, from, to, inverted), row(p, r.bottom, from, to, inverted));
    if (inverted) return CellLook::Inverted;
    if (left > kDrawnEdge && right > kDrawnEdge && upper > kDrawnEdge && lower > kDrawnEdge)
        return CellLook::Boxed;
    // A bracket's slanted ends lie inside its own cell; the neighbour sharing the edge has none.
    const int quarter = r.width() / 4;
    if (left > kDrawnEdge && right < kBlankEdge && darkNear(p, r.left + quarter, r.top + 1))
        return CellLook::OpeningBracket;
    if (right > kDrawnEdge && left < kBlankEdge && darkNear(p, r.right - quarter, r.top + 1))
        return CellLook::ClosingBracket;
    // A picked day's circle passes half a row above and below the cell, where no text lies.
    const int centre = (r.left + r.right) / 2, halfRow = panel.grid().rowHeight / 2;
    if (darkNear(p, centre, r.top - halfRow) && darkNear(p, centre, r.bottom + halfRow - 1))
        return CellLook::Circled;
    return CellLook::Plain;
}

}  // namespace

const char* cellLookName(CellLook look) {
    static constexpr const char* kNames[] = {"plain",           "inverted",        "boxed",
                                             "opening bracket", "closing bracket", "circled"};
    return kNames[static_cast<int>(look)];
}

std::vector<DayLook> dayLooks(const Picture& picture, std::time_t today, TextSize x) {
    DisplayState display;
    CalendarModel model(today, display);
    model.layout({0, 0, picture.width, picture.height}, x);
    std::vector<DayLook> looks;
    for (const MonthPanel& panel : model.panels())
        for (int r = kFirstWeekRow; r < kRows; ++r)
            for (int c = 1; c <= kLastColumn; ++c)
                if (const int day = panel.dayAt({c, r}); day != 0)
                    looks.push_back({panel.month().year, panel.month().month, day,
                                     lookOf(picture, panel, {c, r})});
    return looks;
}

}  // namespace quirn::vorncal
