#pragma once
#include <ctime>
#include <optional>

namespace quirn::plancalendar {

// The days a press and a lift on the control took in, as local midnights, first <= last.
struct DayRange {
    std::time_t first = 0;
    std::time_t last = 0;

    bool oneDay() const { return first == last; }
    bool operator==(const DayRange&) const = default;
};

// Turns the control's two events into gestures: NewFocusTime on one day then NewLiftTime on
// the same day is a click on that day; a lift on another day takes in every day between. A lift
// with no press before it (the press fell on a day the control does not report, such as one
// before today) gives nothing, and so does a date that does not exist.
class PressLiftTracker {
  public:
    void focus(int year, int month, int day);
    std::optional<DayRange> lift(int year, int month, int day);
    // Forgets a press whose lift never came (the button went up outside every day).
    void reset() { pressed_.reset(); }
    bool pressed() const { return pressed_.has_value(); }

  private:
    std::optional<std::time_t> pressed_;
};

// The local midnight of a date the control reported, or nothing for a date that does not exist.
std::optional<std::time_t> reportedDay(int year, int month, int day);

}  // namespace quirn::plancalendar
