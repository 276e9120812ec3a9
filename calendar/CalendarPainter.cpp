#include "calendar/CalendarPainter.h"

#include <string>

#include "calendar/MarkStyle.h"
#include "platform/LocalTime.h"

namespace quirn::calendar {

namespace {

constexpr const char* kWeekdayInitials[] = {"S", "M", "T", "W", "T", "F", "S"};
constexpr int kLineInset = 3;  // horizontal lines stop short of the panel's sides
constexpr int kTitleGap = 2;
constexpr int kUnderlineGap = 4;
constexpr int kBracketSlope = 2;  // how far a bracket's corner sits from the cell's corner

std::string monthTitle(YearMonth month) {
    LocalDateTime t;
    t.year = month.year;
    t.month = month.month;
    return formatLocal("%B %Y", t);
}

void drawFrame(MarkFrame frame, const Rect& cell, CalendarCanvas& canvas) {
    const int half = cell.width() / 2;
    switch (frame) {
        case MarkFrame::OpeningBracket: {
            const Point bracket[] = {{cell.left + half, cell.top},
                                     {cell.left, cell.top + kBracketSlope},
                                     {cell.left, cell.bottom - kBracketSlope},
                                     {cell.left + half, cell.bottom}};
            canvas.polyline(bracket);
            break;
        }
        case MarkFrame::ClosingBracket: {
            const Point bracket[] = {{cell.right - half, cell.top},
                                     {cell.right, cell.top + kBracketSlope},
                                     {cell.right, cell.bottom - kBracketSlope},
                                     {cell.right - half, cell.bottom}};
            canvas.polyline(bracket);
            break;
        }
        case MarkFrame::Rectangle:
            canvas.frameRect(cell);
            break;
        case MarkFrame::Ellipse:
            canvas.frameEllipse(cell);
            break;
    }
}

}  // namespace

void paintCalendar(CalendarModel& model, CalendarCanvas& canvas, const Rect& bounds) {
    canvas.fillWhite(bounds);
    model.layout(bounds, canvas.textSize("X"));
    for (int i = 0; i < kPanelCount; ++i)
        paintPanel(model.panel(i), canvas, CalendarModel::panelBounds(i, bounds));
    for (const Mark& mark : model.marks())
        for (const MonthPanel& panel : model.panels())
            paintMark(panel, mark, model.displayState(), canvas);
}

void paintPanel(const MonthPanel& panel, CalendarCanvas& canvas, const Rect& bounds) {
    const int charHeight = canvas.textSize("X").height;
    canvas.line({bounds.left + kLineInset, bounds.top}, {bounds.right - kLineInset, bounds.top});
    canvas.textCentredTop(bounds.left + bounds.width() / 2, bounds.top + kTitleGap,
                          monthTitle(panel.month()));
    const int underline = bounds.top + charHeight + kUnderlineGap;
    canvas.line({bounds.left + kLineInset, underline}, {bounds.right - kLineInset, underline});

    for (int column = 1; column <= kLastColumn; ++column)
        canvas.textCentredTop(panel.columnCentre(column), panel.rowTop(0),
                              kWeekdayInitials[column - 1]);
    for (int row = kFirstWeekRow; row < kRows; ++row)
        for (int column = 1; column <= kLastColumn; ++column)
            if (int day = panel.dayAt({column, row}); day != 0)
                canvas.textCentredTop(panel.columnCentre(column), panel.rowTop(row),
                                      std::to_string(day));
}

void paintMark(const MonthPanel& panel, const Mark& mark, const DisplayState& display,
               CalendarCanvas& canvas) {
    if (!panel.covers(mark.date)) return;
    std::optional<Cell> cell = panel.findDay(mark.dayOfMonth);
    if (!cell) return;
    Rect rect = panel.cellRect(*cell);
    const std::string text = planCodeText(mark.planCode);
    if (text.empty()) {
        const int dx = panel.grid().columnWidth / 4, dy = panel.grid().rowHeight / 2;
        drawFrame(MarkFrame::Ellipse,
                  {rect.left - dx, rect.top - dy, rect.right + dx, rect.bottom + dy}, canvas);
        return;
    }
    canvas.fillWhite(rect);
    canvas.textCentredTop(panel.columnCentre(cell->column), panel.rowTop(cell->row), text);
    drawFrame(markFrame(mark.planCode), rect, canvas);
    if (isHighlighted(mark.planCode, display)) canvas.invert(rect);
}

}  // namespace quirn::calendar
