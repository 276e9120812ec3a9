#include <gtest/gtest.h>

#include "schoolyear/CalendarReader.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

const CalendarWindow kSchoolYear{{2027, 8, 1}, {2028, 7, 31}};

CalendarReadResult readCsv(const std::string& text) {
    test::TempFolder folder;
    const std::string path = folder.file("district.csv");
    EXPECT_TRUE(test::writeFile(path, text));
    return readCalendarFile(path, kSchoolYear);
}

TEST(CalendarCsv, DatesRangesKindsAndNotesAsDocumented) {
    const auto r = readCsv(
        "\xEF\xBB\xBF"
        "Date,Kind,Note\r\n"
        "# District calendar 2027-28\r\n"
        "2027-09-06,Holiday,Labor Day\r\n"
        "2027-12-20..2028-01-02,Winter break,\n"
        "\r\n"
        "2027-09-08 , Early release , Every Wednesday, buses early\r"
        "2027-10-11,Holiday\n"
        "2026-12-24..2026-12-31,Winter break,last year's\n");
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.events.size(), 4u);
    EXPECT_EQ(r.events[0].first, (CalendarDate{2027, 9, 6}));
    EXPECT_EQ(r.events[0].summary, "Labor Day");
    EXPECT_EQ(r.events[0].categories, std::vector<std::string>{"Holiday"});
    EXPECT_EQ(r.events[0].source, "line 3");
    EXPECT_EQ(r.events[1].summary, "Every Wednesday, buses early");  // the note keeps its comma
    EXPECT_EQ(r.events[1].categories, std::vector<std::string>{"Early release"});
    EXPECT_EQ(r.events[2].summary, "Holiday");  // no note: the kind is the summary
    EXPECT_EQ(r.events[3].first, (CalendarDate{2027, 12, 20}));
    EXPECT_EQ(r.events[3].last, (CalendarDate{2028, 1, 2}));  // the range is inclusive
    EXPECT_EQ(r.events[3].summary, "Winter break");
    EXPECT_EQ(r.events[3].source, "line 4");
}

TEST(CalendarCsv, ABadLineIsOneErrorWithItsNumber) {
    struct Case {
        const char* text;
        const char* error;
    };
    const Case cases[] = {
        {"2027-09-06,Holiday\n09/07/2027,Holiday\n",
         "line 2 '09/07/2027' is not a date (YYYY-MM-DD)"},
        {"2027-02-29,Holiday\n", "line 1 '2027-02-29' is not a date (YYYY-MM-DD)"},
        {"2027-09-06\n", "line 1 has no kind (the format is DATE[..DATE],Kind[,Note])"},
        {"2027-09-06, ,Labor Day\n",
         "line 1 has an empty kind (the format is DATE[..DATE],Kind[,Note])"},
        {"2028-01-02..2027-12-20,Winter break\n",
         "line 1 the range 2028-01-02..2027-12-20 ends before it starts"},
        {"2027-01-01..2028-12-31,Forever\n",
         "line 1 the range 2027-01-01..2028-12-31 is longer than 400 days"},
    };
    for (const auto& c : cases) {
        const auto r = readCsv(c.text);
        EXPECT_TRUE(r.events.empty());
        EXPECT_NE(r.error.find(std::string("district.csv: ") + c.error), std::string::npos)
            << c.text << " -> " << r.error;
    }
}

}  // namespace
}  // namespace quirn
