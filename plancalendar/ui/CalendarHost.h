#pragma once
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "plancalendar/CalendarMark.h"

class QWidget;

namespace quirn {
class Clock;
}

namespace quirn::plancalendar {

// The calendar control as the Plans window holds it, whichever way the platform provides it:
// the control module loaded through its entry points, or the registered ActiveX control hosted
// in a native window. Marks go in through the control's own methods; its two mouse events come
// back as signals.
class CalendarHost : public QObject {
    Q_OBJECT

  public:
    ~CalendarHost() override = default;

    // What to place in the window: the control, or when it could not be made, a text saying
    // why and what to do. Owned by the parent given at creation.
    virtual QWidget* widget() const = 0;
    // False when the control could not be loaded or created; problem() then says why.
    virtual bool ready() const = 0;
    virtual QString problem() const = 0;

    // The control's methods; each does nothing when the control is not ready.
    virtual void eraseMarks() = 0;
    virtual void addMark(int year, int month, int day, int code) = 0;
    // Repaints the control (the marks added since the last erase show then).
    virtual void setActivePlan(int code) = 0;

  signals:
    // The left button went down on a day (today or later); keys are the press's key flags.
    void newFocusTime(int year, int month, int day, int keys);
    // The left button came up on a day.
    void newLiftTime(int year, int month, int day);
};

// Where the control comes from. The module path and the clock only matter where the control is
// our own module (Linux): an empty path finds the registered module, else the one installed
// beside the program; without a clock the control reads the system's. The registered ActiveX
// control always reads the system's clock.
struct CalendarHostOptions {
    std::string modulePath;
    const Clock* clock = nullptr;
};

// The platform's control inside a widget of `parent`. Never null: a host whose control could
// not be made shows why.
std::unique_ptr<CalendarHost> makeCalendarHost(QWidget* parent, const CalendarHostOptions& options);

// The order the control wants: erase, one mark per day, then the active plan calls (the last of
// which repaints).
void showMarks(CalendarHost& host, const std::vector<CalendarMark>& marks,
               const std::vector<std::int16_t>& activePlanCalls);

}  // namespace quirn::plancalendar
