#include "tests/schoolyear/endtoend/SchoolYearCalendar.h"

namespace quirn::test::school_year {

namespace {

struct AllDayEvent {
    const char* uid;
    const char* start;
    const char* endExclusive;  // nullptr: a one-day event without DTEND
    const char* summary;
    const char* category;  // nullptr: none
};

constexpr AllDayEvent kEvents[] = {
    {"first-day", "20260824", nullptr, "First Day of School", nullptr},
    {"labor-day", "20260907", "20260908", "Labor Day", "No School"},
    {"thanksgiving", "20261126", "20261128", "Thanksgiving Recess", "No School"},
    {"winter-break", "20261221", "20270105", "Winter Break", nullptr},
    {"mlk-day", "20270118", nullptr, "Martin Luther King Jr. Day", "No School"},
    {"presidents-day", "20270215", "20270216", "Presidents' Day", "No School"},
    {"spring-break", "20270322", "20270327", "Spring Break", nullptr},
    {"last-day", "20270527", "20270528", "Last Day of School", nullptr},
};

void beginEvent(std::string& out, const char* uid) {
    out += std::string("BEGIN:VEVENT\r\nUID:") + uid + "@schools.example\r\n";
    out += "DTSTAMP:20260601T120000Z\r\n";
}

}  // namespace

std::string districtIcs() {
    std::string out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n";
    out += "PRODID:-//Example Unified School District//School Calendar//EN\r\n";
    out += "X-WR-CALNAME:School Year 2026-27\r\n";
    for (const AllDayEvent& e : kEvents) {
        beginEvent(out, e.uid);
        out += std::string("DTSTART;VALUE=DATE:") + e.start + "\r\n";
        if (e.endExclusive) out += std::string("DTEND;VALUE=DATE:") + e.endExclusive + "\r\n";
        out += std::string("SUMMARY:") + e.summary + "\r\n";
        if (e.category) out += std::string("CATEGORIES:") + e.category + "\r\n";
        out += "END:VEVENT\r\n";
    }
    // Wednesdays from the first week of September to the end of October, but not the week of
    // the staff retreat.
    beginEvent(out, "early-release");
    out += "DTSTART;VALUE=DATE:20260902\r\nDTEND;VALUE=DATE:20260903\r\n";
    out += "RRULE:FREQ=WEEKLY;BYDAY=WE;UNTIL=20261028\r\n";
    out += "EXDATE;VALUE=DATE:20260930\r\n";
    out += "SUMMARY:Early Release\r\nCATEGORIES:Early Release\r\n";
    out += "DESCRIPTION:Students are dismissed at 12:15. Buses run on the early schedul\r\n";
    out += " e.\r\nEND:VEVENT\r\n";
    out += "END:VCALENDAR\r\n";
    return out;
}

std::string mappingText() {
    return "# 2026-27: early release days run the Early Release plan (day plan 2)\r\n"
           "Early Release = Day plan 2\r\n"
           "Last Day of School = Day plan 2\r\n"
           "No School = Holiday\r\n"
           "Winter Break = Vacation\r\n"
           "Spring Break = Vacation\r\n"
           "First Day of School = Ignore\r\n";
}

}  // namespace quirn::test::school_year
