#pragma once
#include <ctime>
#include <string>
#include <vector>

#include "schoolyear/CalendarChanges.h"
#include "schoolyear/CalendarDate.h"

namespace quirn {

class PlanDatabase;

// One ON or OFF of a day plan.
struct SwitchTime {
    int hour = 0;
    int minute = 0;
    bool on = false;
};

// What the time switches of a group do on one day.
struct ScheduledDay {
    CalendarDate date;
    int plan = 0;                   // the database's plan-for-date
    std::string planName;           // "Normal", "Holiday", "Early release"
    std::vector<SwitchTime> times;  // in time order; empty for a holiday, vacation or None
};

// Every day of first..last (at most kMaxWindowDays) for a group; now is the clock's time
// (plan-for-date needs today for overrides and special weeks).
std::vector<ScheduledDay> groupSchedule(const PlanDatabase& database, GroupRef group,
                                        CalendarDate first, CalendarDate last, std::time_t now);

// CSV for the schools: a header line "Date,Weekday,Plan,Name,Times", then one line per day
// ("2027-09-06,Monday,100,Holiday," / "2027-09-07,Tuesday,1,Normal,ON 07:15 OFF 08:00 ...").
// Lines end in CR LF.
std::string scheduleCsv(const std::vector<ScheduledDay>& days);

// An iCalendar text: one all-day VEVENT per day whose summary is the plan's name and whose
// description lists the ON/OFF times, with a stable UID per group and date; now stamps it
// (DTSTAMP). Lines end in CR LF and are folded at 75 octets.
std::string scheduleIcs(const std::vector<ScheduledDay>& days, GroupRef group,
                        const std::string& groupName, std::time_t now);

// "ON 07:15 OFF 08:00 ON 14:30 OFF 15:30"; "" for no times.
std::string switchTimesText(const std::vector<SwitchTime>& times);

}  // namespace quirn
