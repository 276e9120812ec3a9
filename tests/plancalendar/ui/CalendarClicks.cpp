#include "CalendarClicks.h"

#include <QFontMetrics>
#include <QTest>

#include "calendar/CalendarModel.h"
#include "calendar/CalendarPainter.h"
#include "calendar/DisplayState.h"
#include "platform/LocalTime.h"

namespace quirn::plancalendar::test {

namespace {

struct Located {
    calendar::Rect cell;
    int centreX;
    int middleY;
};

std::optional<Located> locate(const QWidget& control, std::time_t today, int year, int month,
                              int day) {
    calendar::DisplayState state;
    calendar::CalendarModel model(today, state);
    QFont font;
    font.setPointSizeF(calendar::kFontTenthsOfPoint / 10.0);
    const QFontMetrics metrics(font, &control);
    model.layout({0, 0, control.width(), control.height()},
                 {metrics.horizontalAdvance(QStringLiteral("X")), metrics.height()});
    for (const calendar::MonthPanel& panel : model.panels()) {
        if (panel.month() != calendar::YearMonth{year, month}) continue;
        const std::optional<calendar::Cell> cell = panel.findDay(day);
        if (!cell) return std::nullopt;
        return Located{panel.cellRect(*cell), panel.columnCentre(cell->column),
                       panel.rowTop(cell->row) + panel.grid().rowHeight / 2};
    }
    return std::nullopt;
}

}  // namespace

std::optional<QPoint> dayPoint(const QWidget& control, std::time_t today, int year, int month,
                               int day) {
    const std::optional<Located> at = locate(control, today, year, month, day);
    if (!at) return std::nullopt;
    return QPoint(at->centreX, at->middleY);
}

std::optional<QPoint> blankPoint(const QWidget& control, std::time_t today, int year, int month,
                                 int day) {
    const std::optional<Located> at = locate(control, today, year, month, day);
    if (!at) return std::nullopt;
    return QPoint(at->cell.left + 3, at->cell.top + at->cell.height() / 2);
}

void pressAndRelease(QWidget& control, QPoint press, QPoint release) {
    QTest::mousePress(&control, Qt::LeftButton, Qt::NoModifier, press);
    QTest::mouseMove(&control, release);
    QTest::mouseRelease(&control, Qt::LeftButton, Qt::NoModifier, release);
}

void clickAt(QWidget& control, QPoint at) {
    pressAndRelease(control, at, at);
}

void saveScreenshotIfAsked(QWidget& window, const char* name) {
    const QByteArray folder = qgetenv("QUIRN_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    window.grab().save(QString::fromLocal8Bit(folder) + "/" + QString::fromLatin1(name), "PNG");
}

}  // namespace quirn::plancalendar::test
