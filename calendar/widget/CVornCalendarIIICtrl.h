#pragma once
#include <QWidget>
#include <cstdint>

#include "calendar/CalendarModel.h"
#include "platform/Clock.h"

// The calendar control's window: fifteen months painted by the calendar model, marks pushed in
// by the host, and the day under the mouse reported when the left button goes down and up.
// "Today" comes from the clock (read at construction for the months shown, and at every press).
// Active plan and highlight-all are the display state the control is given, which the module
// shares between its controls.
class CVornCalendarIIICtrl : public QWidget {
    Q_OBJECT

  public:
    // `display` must outlive the control.
    CVornCalendarIIICtrl(const quirn::Clock& clock, quirn::calendar::DisplayState& display,
                         QWidget* parent = nullptr);

    // The dispatch interface's methods. Only setActivePlan repaints.
    void eraseDayPlans();
    void setActivePlan(int planNumber);
    void addDayPlan(int year, int month, int day, std::int16_t planNumber);
    // Shows the modal about dialog.
    void aboutBox();

    // The model as the last paint laid it out (hit tests and tests read it).
    const quirn::calendar::CalendarModel& model() const { return model_; }

    QSize sizeHint() const override;

  signals:
    // A press on a day no earlier than today; keyState holds the window system's key-state
    // flags (calendar/KeyState.h).
    void newFocusTime(int year, int month, int day, int keyState);
    void newLiftTime(int year, int month, int day);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    const quirn::Clock& clock_;
    quirn::calendar::CalendarModel model_;
};
