#include "QtTestApp.h"

#include <gtest/gtest.h>

#include <QWidget>

namespace quirn::calendar::test {

QPoint centreOfDay(const CalendarModel& model, int panel, int day) {
    const MonthPanel& p = model.panel(panel);
    const Cell cell = p.findDay(day).value();
    return {p.columnCentre(cell.column), p.rowTop(cell.row) + p.grid().rowHeight / 2};
}

QPoint blankPointOfDay(const CalendarModel& model, int panel, int day) {
    const MonthPanel& p = model.panel(panel);
    const Rect r = p.cellRect(p.findDay(day).value());
    return {r.left + 3, r.top + r.height() / 2};
}

QImage grabThroughPng(QWidget& widget, const std::string& folder) {
    const QString path = QString::fromStdString(folder) + "/calendar.png";
    EXPECT_TRUE(widget.grab().save(path, "PNG"));
    QImage image(path);
    EXPECT_FALSE(image.isNull());
    return image.convertToFormat(QImage::Format_RGB32);
}

bool isBlack(QRgb pixel) {
    return qRed(pixel) < 40 && qGreen(pixel) < 40 && qBlue(pixel) < 40;
}
bool isWhite(QRgb pixel) {
    return qRed(pixel) > 215 && qGreen(pixel) > 215 && qBlue(pixel) > 215;
}

}  // namespace quirn::calendar::test
