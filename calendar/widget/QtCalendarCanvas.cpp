#include "calendar/widget/QtCalendarCanvas.h"

#include <QFontMetrics>
#include <QPolygon>

#include "calendar/CalendarPainter.h"

namespace quirn::calendar {

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// QRect's right and bottom are its last pixels; ours lie just outside.
QRect toQRect(const Rect& r) {
    return QRect(r.left, r.top, r.width(), r.height());
}
QRect outlineRect(const Rect& r) {
    return QRect(r.left, r.top, r.width() - 1, r.height() - 1);
}

}  // namespace

QFont calendarFont() {
    QFont font;
    font.setPointSizeF(kFontTenthsOfPoint / 10.0);
    return font;
}

QtCalendarCanvas::QtCalendarCanvas(QPainter& painter) : painter_(painter) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setPen(QPen(Qt::black, 0));
    painter_.setBrush(Qt::NoBrush);
}

TextSize QtCalendarCanvas::textSize(std::string_view text) const {
    QFontMetrics metrics = painter_.fontMetrics();
    return {metrics.horizontalAdvance(toQString(text)), metrics.height()};
}

void QtCalendarCanvas::fillWhite(const Rect& r) {
    painter_.fillRect(toQRect(r), Qt::white);
}

void QtCalendarCanvas::line(Point from, Point to) {
    painter_.drawLine(from.x, from.y, to.x, to.y);
}

void QtCalendarCanvas::polyline(std::span<const Point> points) {
    QPolygon polygon;
    for (const Point& p : points) polygon << QPoint(p.x, p.y);
    painter_.drawPolyline(polygon);
}

void QtCalendarCanvas::frameRect(const Rect& r) {
    painter_.drawRect(outlineRect(r));
}

void QtCalendarCanvas::frameEllipse(const Rect& r) {
    painter_.drawEllipse(outlineRect(r));
}

void QtCalendarCanvas::invert(const Rect& r) {
    // White minus each colour is its opposite.
    painter_.save();
    painter_.setCompositionMode(QPainter::CompositionMode_Difference);
    painter_.fillRect(toQRect(r), Qt::white);
    painter_.restore();
}

void QtCalendarCanvas::textCentredTop(int centreX, int top, std::string_view text) {
    const QString s = toQString(text);
    const QFontMetrics metrics = painter_.fontMetrics();
    painter_.drawText(QPoint(centreX - metrics.horizontalAdvance(s) / 2, top + metrics.ascent()),
                      s);
}

}  // namespace quirn::calendar
