#include "calendar/widget/CVornCalendarIIICtrl.h"

#include <QMouseEvent>
#include <QPainter>

#include "calendar/CalendarPainter.h"
#include "calendar/KeyState.h"
#include "calendar/widget/AboutBox.h"
#include "calendar/widget/QtCalendarCanvas.h"

namespace cal = quirn::calendar;

namespace {

constexpr QSize kPreferredSize(720, 840);

int keyStateOf(const QMouseEvent& event) {
    struct Flag {
        bool set;
        int bit;
    };
    const Qt::MouseButtons buttons = event.buttons();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    const Flag flags[] = {{buttons.testFlag(Qt::LeftButton), cal::kKeyLeftButton},
                          {buttons.testFlag(Qt::RightButton), cal::kKeyRightButton},
                          {buttons.testFlag(Qt::MiddleButton), cal::kKeyMiddleButton},
                          {modifiers.testFlag(Qt::ShiftModifier), cal::kKeyShift},
                          {modifiers.testFlag(Qt::ControlModifier), cal::kKeyControl}};
    int state = 0;
    for (const Flag& f : flags)
        if (f.set) state |= f.bit;
    return state;
}

cal::Point pointOf(const QMouseEvent& event) {
    const QPoint p = event.position().toPoint();
    return {p.x(), p.y()};
}

}  // namespace

CVornCalendarIIICtrl::CVornCalendarIIICtrl(const quirn::Clock& clock, cal::DisplayState& display,
                                           QWidget* parent)
    : QWidget(parent), clock_(clock), model_(clock.now(), display) {
    setObjectName(QStringLiteral("CVornCalendarIIICtrl"));
}

void CVornCalendarIIICtrl::eraseDayPlans() {
    model_.eraseDayPlans();
}

void CVornCalendarIIICtrl::setActivePlan(int planNumber) {
    model_.setActivePlan(planNumber);
    update();
}

void CVornCalendarIIICtrl::addDayPlan(int year, int month, int day, std::int16_t planNumber) {
    model_.addDayPlan(year, month, day, planNumber);
}

void CVornCalendarIIICtrl::aboutBox() {
    showAboutBox(this);
}

QSize CVornCalendarIIICtrl::sizeHint() const {
    return kPreferredSize;
}

void CVornCalendarIIICtrl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setFont(cal::calendarFont());
    cal::QtCalendarCanvas canvas(painter);
    cal::paintCalendar(model_, canvas, {0, 0, width(), height()});
}

void CVornCalendarIIICtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (auto hit = model_.hitTest(pointOf(*event), clock_.now()))
            emit newFocusTime(hit->year, hit->month, hit->day, keyStateOf(*event));
        update();
    } else if (event->button() == Qt::RightButton) {
        update();
    }
    QWidget::mousePressEvent(event);
}

void CVornCalendarIIICtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (auto hit = model_.hitTest(pointOf(*event), clock_.now()))
            emit newLiftTime(hit->year, hit->month, hit->day);
    }
    QWidget::mouseReleaseEvent(event);
}
