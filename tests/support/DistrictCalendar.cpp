#include "tests/support/DistrictCalendar.h"

namespace quirn::test {

namespace {

struct Holiday {
    const char* date;
    const char* summary;
};
constexpr Holiday kHolidays[] = {
    {"20270906", "Labor Day"},
    {"20271011", "Indigenous Peoples' Day"},
    {"20271022", "Teacher Institute - No School"},
    {"20271029", "Parent Conferences - No School"},
    {"20271102", "Election Day"},
    {"20271111", "Veterans Day"},
    {"20280117", "Martin Luther King Jr. Day"},
    {"20280128", "Teacher Work Day"},
    {"20280211", "Lincoln's Birthday"},
    {"20280221", "Presidents' Day"},
    {"20280310", "Staff Development - No School"},
    {"20280331", "Cesar Chavez Day"},
    {"20280414", "Good Friday"},
    {"20280529", "Memorial Day"},
    {"20280619", "Juneteenth"},
};

struct Break {
    const char* start;
    const char* endExclusive;
    const char* summary;
};
constexpr Break kBreaks[] = {
    {"20271124", "20271127", "Thanksgiving Break"},
    {"20271220", "20280101", "Winter Break"},
    {"20280403", "20280408", "Spring Break"},
};

void allDay(std::string& out, const std::string& uid, const char* start, const char* end,
            const char* summary, const char* category) {
    out += "BEGIN:VEVENT\r\nUID:" + uid + "@district.example\r\nDTSTAMP:20270601T120000Z\r\n";
    out += std::string("DTSTART;VALUE=DATE:") + start + "\r\n";
    if (end) out += std::string("DTEND;VALUE=DATE:") + end + "\r\n";
    out += std::string("SUMMARY:") + summary + "\r\n";
    if (category) out += std::string("CATEGORIES:") + category + "\r\n";
    out += "END:VEVENT\r\n";
}

}  // namespace

std::string districtCalendarIcs(bool bom) {
    std::string out = bom ? "\xEF\xBB\xBF" : "";
    out += "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Example District//Calendar//EN\r\n";
    out += "X-WR-CALNAME:District Calendar 2027-28\r\n";
    int n = 0;
    for (const auto& h : kHolidays) {
        allDay(out, "holiday-" + std::to_string(++n), h.date, nullptr, h.summary, "Holiday");
    }
    for (const auto& b : kBreaks) {
        allDay(out, "break-" + std::to_string(++n), b.start, b.endExclusive, b.summary, "Break");
    }
    allDay(out, "first-day", "20270902", "20270903", "First Day of School", "School Day");
    allDay(out, "last-day", "20280615", "20280616", "Last Day of School", "School Day");
    out +=
        "BEGIN:VEVENT\r\n"
        "UID:early-release@district.example\r\n"
        "DTSTAMP:20270601T120000Z\r\n"
        "DTSTART;VALUE=DATE:20270908\r\n"
        "DTEND;VALUE=DATE:20270909\r\n"
        "RRULE:FREQ=WEEKLY;BYDAY=WE;UNTIL=20280607\r\n"
        "EXDATE;VALUE=DATE:20271124,20271222\r\n"
        "EXDATE;VALUE=DATE:20271229\r\n"
        "EXDATE;VALUE=DATE:20280405\r\n"
        "SUMMARY:Early Release\r\n"
        "CATEGORIES:Early Release\r\n"
        "DESCRIPTION:Students are dismissed two hours early every Wednesday so that te\r\n"
        " achers can meet\\, plan and train together. Buses run two hours early as w\r\n"
        "\tell.\r\n"
        "END:VEVENT\r\n"
        "BEGIN:VEVENT\r\n"
        "UID:back-to-school-night@district.example\r\n"
        "DTSTAMP:20270601T120000Z\r\n"
        "DTSTART;TZID=America/New_York:20270916T180000\r\n"
        "DTEND;TZID=America/New_York:20270916T200000\r\n"
        "SUMMARY:Back to School Night\r\n"
        "END:VEVENT\r\n";
    out += "END:VCALENDAR\r\n";
    return out;
}

std::string districtCalendarMapping() {
    return "# District calendar 2027-28\r\n"
           "Holiday = Holiday\r\n"
           "Break = Vacation\r\n"
           "Early Release = Day plan 3\r\n"
           "School Day = Ignore\r\n"
           "Back to School Night = Ignore\r\n";
}

}  // namespace quirn::test
