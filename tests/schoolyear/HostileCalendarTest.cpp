#include <gtest/gtest.h>

#include "schoolyear/CalendarReader.h"
#include "tests/support/DistrictCalendar.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

const CalendarWindow kSchoolYear{{2027, 8, 1}, {2028, 7, 31}};

std::string calendar(const std::string& events) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//T//EN\r\n" + events +
           "END:VCALENDAR\r\n";
}

std::string event(const std::string& body) {
    return "BEGIN:VEVENT\r\nUID:e@x\r\nSUMMARY:Odd\r\n" + body + "END:VEVENT\r\n";
}

struct HostileCase {
    const char* name;
    std::string bytes;
    const char* problem;  // a phrase the one error must hold
};

std::vector<HostileCase> hostileCases() {
    const std::string district = test::districtCalendarIcs();
    std::string binary = "BEGIN:VCALENDAR\r\n";
    for (int i = 0; i < 256; ++i) binary += static_cast<char>(i);
    binary += "\r\nEND:VCALENDAR\r\n";
    std::string manyEvents;
    for (int i = 0; i < 5001; ++i) {
        manyEvents += "BEGIN:VEVENT\r\nUID:" + std::to_string(i) +
                      "@x\r\nDTSTART;VALUE=DATE:20271013\r\nSUMMARY:Day\r\nEND:VEVENT\r\n";
    }
    return {
        {"truncated", district.substr(0, district.size() / 2), "cut short"},
        {"binary", binary, "NUL byte"},
        {"latin1", calendar(event("DTSTART;VALUE=DATE:20271013\r\nDESCRIPTION:caf\xE9\r\n")),
         "not UTF-8"},
        {"huge", calendar(std::string(5 * 1024 * 1024, 'X') + "\r\n"), "larger than"},
        {"secondly", calendar(event("DTSTART:20270901T080000\r\nRRULE:FREQ=SECONDLY\r\n")),
         "more often than daily"},
        {"byminute",
         calendar(
             event("DTSTART;VALUE=DATE:20270901\r\nRRULE:FREQ=DAILY;BYHOUR=1,2;BYMINUTE=5\r\n")),
         "more often than daily"},
        {"ancient", calendar(event("DTSTART;VALUE=DATE:16010101\r\nRRULE:FREQ=DAILY\r\n")),
         "more than 10 years before"},
        {"too many occurrences", calendar(manyEvents), "past 5000"},
        {"too long",
         calendar(event("DTSTART;VALUE=DATE:20270901\r\nDTEND;VALUE=DATE:20290901\r\n")),
         "lasts 731 days"},
        {"no start", calendar(event("DTEND;VALUE=DATE:20270902\r\n")), "no DTSTART"},
        {"bad date", calendar(event("DTSTART;VALUE=DATE:2027-13-45\r\n")), "no DTSTART date"},
        {"bad rule", calendar(event("DTSTART;VALUE=DATE:20270901\r\nRRULE:FREQ=SOMETIMES\r\n")),
         "cannot be read"},
        {"no events", calendar(""), "no events"},
        {"end before begin", calendar("END:VEVENT\r\n"),
         "line 4 ends VEVENT while VCALENDAR is still open"},
        {"ended twice", "BEGIN:VCALENDAR\r\nEND:VCALENDAR\r\nEND:VCALENDAR\r\n",
         "line 3 ends VCALENDAR, which was not begun"},
        {"unended event", calendar("BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20270906\r\n"),
         "line 6 ends VCALENDAR while VEVENT is still open"},
        {"csv garbage", "this is not a calendar\r\n", "line 1"},
        {"empty", "", "is empty"},
    };
}

TEST(HostileCalendar, EachFileGivesOneErrorNamingTheFileAndTheProblem) {
    test::TempFolder folder;
    for (const auto& c : hostileCases()) {
        const std::string path = folder.file("hostile.ics");
        ASSERT_TRUE(test::writeFile(path, c.bytes));
        const CalendarReadResult r = readCalendarFile(path, kSchoolYear);
        EXPECT_FALSE(r.ok()) << c.name;
        EXPECT_TRUE(r.events.empty()) << c.name;
        EXPECT_EQ(r.error.rfind(path + ": ", 0), 0u) << c.name << ": " << r.error;
        EXPECT_NE(r.error.find(c.problem), std::string::npos) << c.name << ": " << r.error;
        EXPECT_EQ(r.error.find('\n'), std::string::npos) << c.name << ": " << r.error;
    }
}

TEST(HostileCalendar, MissingFileAndFolderAreNamed) {
    test::TempFolder folder;
    const auto missing = readCalendarFile(folder.file("none.ics"), kSchoolYear);
    EXPECT_EQ(missing.error,
              folder.file("none.ics") + ": cannot be read (missing, a folder, or no permission)");
}

TEST(HostileCalendar, AWindowTooWideOrBackwardsIsRefused) {
    const std::string text = test::districtCalendarIcs();
    const auto wide = readIcsText(text, "d.ics", {{2027, 1, 1}, {2031, 1, 1}});
    EXPECT_NE(wide.error.find("longer than"), std::string::npos) << wide.error;
    const auto backwards = readIcsText(text, "d.ics", {{2028, 1, 1}, {2027, 1, 1}});
    EXPECT_NE(backwards.error.find("ends (2027-01-01) before it starts"), std::string::npos)
        << backwards.error;
}

}  // namespace
}  // namespace quirn
