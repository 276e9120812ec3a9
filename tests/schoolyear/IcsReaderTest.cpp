#include <gtest/gtest.h>

#include <algorithm>

#include "schoolyear/CalendarReader.h"
#include "tests/support/DistrictCalendar.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TimeZoneSwitch.h"

namespace quirn {
namespace {

const CalendarWindow kSchoolYear{{2027, 8, 1}, {2028, 7, 31}};

CalendarReadResult readWritten(const test::TempFolder& folder, const std::string& text,
                               const CalendarWindow& window = kSchoolYear) {
    const std::string path = folder.file("district.ics");
    EXPECT_TRUE(test::writeFile(path, text));
    return readCalendarFile(path, window);
}

std::vector<const CalendarEvent*> withSummary(const CalendarReadResult& r, const std::string& s) {
    std::vector<const CalendarEvent*> found;
    for (const auto& e : r.events) {
        if (e.summary == s) found.push_back(&e);
    }
    return found;
}

std::string calendar(const std::string& events) {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//T//T//EN\r\n" + events +
           "END:VCALENDAR\r\n";
}

TEST(IcsReader, DistrictCalendarGivesEveryShapeWithItsDays) {
    test::TempFolder folder;
    const auto r = readWritten(folder, test::districtCalendarIcs());
    ASSERT_TRUE(r.ok()) << r.error;

    const auto labor = withSummary(r, "Labor Day");
    ASSERT_EQ(labor.size(), 1u);
    EXPECT_EQ(labor[0]->first, (CalendarDate{2027, 9, 6}));
    EXPECT_EQ(labor[0]->last, (CalendarDate{2027, 9, 6}));
    EXPECT_EQ(labor[0]->categories, std::vector<std::string>{"Holiday"});
    EXPECT_EQ(labor[0]->source, "UID holiday-1@district.example");

    // DTEND of a date is the day after the last: the winter break ends on Friday 31 December.
    const auto winter = withSummary(r, "Winter Break");
    ASSERT_EQ(winter.size(), 1u);
    EXPECT_EQ(winter[0]->first, (CalendarDate{2027, 12, 20}));
    EXPECT_EQ(winter[0]->last, (CalendarDate{2027, 12, 31}));
    const auto thanksgiving = withSummary(r, "Thanksgiving Break");
    ASSERT_EQ(thanksgiving.size(), 1u);
    EXPECT_EQ(thanksgiving[0]->dayCount(), 3);

    const auto early = withSummary(r, "Early Release");
    ASSERT_EQ(early.size(), static_cast<size_t>(test::kDistrictEarlyReleases));
    EXPECT_EQ(early.front()->first, (CalendarDate{2027, 9, 8}));
    EXPECT_EQ(early.back()->first, (CalendarDate{2028, 6, 7}));  // UNTIL is inclusive
    for (const auto* e : early) {
        EXPECT_EQ(e->first.weekday(), 4) << e->first.iso();
        EXPECT_EQ(e->first, e->last);
        EXPECT_NE(e->first, (CalendarDate{2027, 11, 24}));
        EXPECT_NE(e->first, (CalendarDate{2027, 12, 22}));
        EXPECT_NE(e->first, (CalendarDate{2027, 12, 29}));
        EXPECT_NE(e->first, (CalendarDate{2028, 4, 5}));
    }

    const auto night = withSummary(r, "Back to School Night");
    ASSERT_EQ(night.size(), 1u);
    EXPECT_EQ(night[0]->first, (CalendarDate{2027, 9, 16}));
    EXPECT_EQ(night[0]->last, (CalendarDate{2027, 9, 16}));

    EXPECT_EQ(r.events.size(), static_cast<size_t>(test::kDistrictHolidays + test::kDistrictBreaks +
                                                   test::kDistrictEarlyReleases + 3));
    EXPECT_TRUE(std::is_sorted(r.events.begin(), r.events.end(),
                               [](const auto& a, const auto& b) { return a.first < b.first; }));
}

TEST(IcsReader, ByteOrderMarkAndFoldedLinesAreRead) {
    test::TempFolder folder;
    const auto plain = readWritten(folder, test::districtCalendarIcs(false));
    const auto bom = readWritten(folder, test::districtCalendarIcs(true));
    ASSERT_TRUE(bom.ok()) << bom.error;
    EXPECT_EQ(bom.events.size(), plain.events.size());
    const auto folded = readWritten(folder, calendar("BEGIN:VEVENT\r\nUID:f@x\r\n"
                                                     "DTSTART;VALUE=DATE:20271006\r\n"
                                                     "SUMMARY:Professional Devel\r\n"
                                                     " opment Day - No Sch\r\n"
                                                     "\tool\r\nEND:VEVENT\r\n"));
    ASSERT_TRUE(folded.ok()) << folded.error;
    ASSERT_EQ(folded.events.size(), 1u);
    EXPECT_EQ(folded.events[0].summary, "Professional Development Day - No School");
}

TEST(IcsReader, TimedEventsFallOnTheDateWrittenInTheirZone) {
    test::TimeZoneSwitch zone("America/New_York", "EST5EDT");
    test::TempFolder folder;
    // 23:30 in Los Angeles is 02:30 the next day in New York: the district's date counts.
    // A UTC time has no district date: the station's local date of the instant counts
    // (03:00Z on 1 March is 22:00 on 29 February in New York).
    const auto r =
        readWritten(folder, calendar("BEGIN:VEVENT\r\nUID:la@x\r\n"
                                     "DTSTART;TZID=America/Los_Angeles:20280228T233000\r\n"
                                     "DTEND;TZID=America/Los_Angeles:20280228T235900\r\n"
                                     "SUMMARY:Late Board Meeting\r\nEND:VEVENT\r\n"
                                     "BEGIN:VEVENT\r\nUID:utc@x\r\n"
                                     "DTSTART:20280301T030000Z\r\n"
                                     "DTEND:20280301T040000Z\r\n"
                                     "SUMMARY:Utc Event\r\nEND:VEVENT\r\n"
                                     "BEGIN:VEVENT\r\nUID:night@x\r\n"
                                     "DTSTART:20280302T220000\r\n"
                                     "DTEND:20280304T000000\r\n"
                                     "SUMMARY:Floating Overnight\r\nEND:VEVENT\r\n"));
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.events.size(), 3u);
    EXPECT_EQ(withSummary(r, "Late Board Meeting")[0]->first, (CalendarDate{2028, 2, 28}));
    EXPECT_EQ(withSummary(r, "Utc Event")[0]->first, (CalendarDate{2028, 2, 29}));
    // Ending at midnight of the 4th, it ends on the 3rd.
    EXPECT_EQ(withSummary(r, "Floating Overnight")[0]->first, (CalendarDate{2028, 3, 2}));
    EXPECT_EQ(withSummary(r, "Floating Overnight")[0]->last, (CalendarDate{2028, 3, 3}));
}

TEST(IcsReader, TheWindowBoundsWhatIsKeptAndExpanded) {
    test::TempFolder folder;
    // An early release without UNTIL repeats forever; only the window's Wednesdays come back.
    const CalendarWindow october{{2027, 10, 1}, {2027, 10, 31}};
    const auto r = readWritten(folder,
                               calendar("BEGIN:VEVENT\r\nUID:w@x\r\nDTSTART;VALUE=DATE:20270908\r\n"
                                        "RRULE:FREQ=WEEKLY;BYDAY=WE\r\nSUMMARY:Early Release\r\n"
                                        "END:VEVENT\r\n"
                                        "BEGIN:VEVENT\r\nUID:b@x\r\nDTSTART;VALUE=DATE:20270928\r\n"
                                        "DTEND;VALUE=DATE:20271004\r\nSUMMARY:Fall Break\r\n"
                                        "END:VEVENT\r\n"
                                        "BEGIN:VEVENT\r\nUID:o@x\r\nDTSTART;VALUE=DATE:20271111\r\n"
                                        "SUMMARY:Veterans Day\r\nEND:VEVENT\r\n"),
                               october);
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(withSummary(r, "Early Release").size(), 4u);  // 6, 13, 20, 27 October
    EXPECT_EQ(withSummary(r, "Early Release")[0]->first, (CalendarDate{2027, 10, 6}));
    // A break that reaches into the window is kept whole.
    ASSERT_EQ(withSummary(r, "Fall Break").size(), 1u);
    EXPECT_EQ(withSummary(r, "Fall Break")[0]->first, (CalendarDate{2027, 9, 28}));
    EXPECT_TRUE(withSummary(r, "Veterans Day").empty());
}

TEST(IcsReader, CancelledEventsAndSeveralCategoriesAreRead) {
    test::TempFolder folder;
    const auto r =
        readWritten(folder, calendar("BEGIN:VEVENT\r\nUID:c@x\r\nDTSTART;VALUE=DATE:20271012\r\n"
                                     "STATUS:CANCELLED\r\nSUMMARY:Snow Day\r\nEND:VEVENT\r\n"
                                     "BEGIN:VEVENT\r\nUID:k@x\r\nDTSTART;VALUE=DATE:20271013\r\n"
                                     "CATEGORIES:Holiday,District Closed\r\n"
                                     "SUMMARY:Founders\\, Day\r\nEND:VEVENT\r\n"));
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.events.size(), 1u);
    EXPECT_EQ(r.events[0].summary, "Founders, Day");
    EXPECT_EQ(r.events[0].categories, (std::vector<std::string>{"Holiday", "District Closed"}));
}

TEST(CalendarWindow, DefaultsToEighteenMonthsFromTheClocksToday) {
    const CalendarWindow w =
        defaultCalendarWindow(CalendarDate{2027, 8, 31}.localMidnight() + 3600);
    EXPECT_EQ(w.first, (CalendarDate{2027, 8, 31}));
    EXPECT_EQ(w.last, (CalendarDate{2029, 2, 28}));
}

}  // namespace
}  // namespace quirn
