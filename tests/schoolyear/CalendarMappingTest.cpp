#include <gtest/gtest.h>

#include "schoolyear/CalendarMapping.h"
#include "tests/support/DistrictCalendar.h"

namespace quirn {
namespace {

CalendarEvent eventOf(const std::string& summary, std::vector<std::string> categories = {}) {
    CalendarEvent e;
    e.first = e.last = CalendarDate{2027, 9, 6};
    e.summary = summary;
    e.categories = std::move(categories);
    e.source = "line 1";
    return e;
}

TEST(CalendarMapping, FileRulesMatchSummaryFirstThenCategoryWithoutCase) {
    const auto parse = parseCalendarMapping(
        "# rules\r\nHoliday = Holiday\r\n  early release=day plan 3\r\n"
        "Winter Break, Week 1 = Vacation\r\nWinter Break, Week 1 = Ignore\r\n"
        "Labor Day = Plan 4\r\n",
        "map.txt");
    ASSERT_TRUE(parse.ok()) << parse.error;
    const CalendarMapping& m = parse.mapping;
    EXPECT_EQ(m.rules().size(), 4u);  // the later rule for a key replaced the earlier
    EXPECT_EQ(m.actionFor(eventOf("EARLY RELEASE")),
              (CalendarAction{CalendarActionKind::DayPlan, 3}));
    EXPECT_EQ(m.actionFor(eventOf("Labor Day", {"Holiday"})),
              (CalendarAction{CalendarActionKind::DayPlan, 4}));
    EXPECT_EQ(m.actionFor(eventOf("Veterans Day", {"Observance", "holiday"})),
              (CalendarAction{CalendarActionKind::Holiday, 0}));
    EXPECT_EQ(m.actionFor(eventOf("winter break, week 1")),
              (CalendarAction{CalendarActionKind::Ignore, 0}));
    EXPECT_FALSE(m.actionFor(eventOf("Snow Day")).has_value());

    const auto again = parseCalendarMapping(calendarMappingText(m), "again.txt");
    ASSERT_TRUE(again.ok()) << again.error;
    EXPECT_EQ(calendarMappingText(again.mapping), calendarMappingText(m));
}

TEST(CalendarMapping, ALineThatIsNoRuleIsNamed) {
    const char* bad[] = {"Holiday Holiday\n", "= Holiday\n", "Early = Day plan 20\n",
                         "Early = Day plan 0\n", "Early = Sometimes\n"};
    for (const char* text : bad) {
        const auto parse =
            parseCalendarMapping(std::string("Holiday = Holiday\n") + text, "map.txt");
        EXPECT_FALSE(parse.ok()) << text;
        EXPECT_EQ(parse.error.rfind("map.txt: line 2 is not a rule", 0), 0u) << parse.error;
        EXPECT_TRUE(parse.mapping.empty());
    }
}

TEST(CalendarMapping, ActionsReadAndWriteTheSameWords) {
    for (const auto& a : {CalendarAction{CalendarActionKind::Holiday, 0},
                          CalendarAction{CalendarActionKind::Vacation, 0},
                          CalendarAction{CalendarActionKind::Ignore, 0},
                          CalendarAction{CalendarActionKind::DayPlan, 19}}) {
        EXPECT_EQ(parseAction(actionText(a)), a) << actionText(a);
    }
}

TEST(CalendarMapping, SuggestionsByKeywordNeverNameADayPlan) {
    EXPECT_EQ(suggestAction(eventOf("Spring Recess")),
              (CalendarAction{CalendarActionKind::Vacation, 0}));
    EXPECT_EQ(suggestAction(eventOf("Thanksgiving Break")),
              (CalendarAction{CalendarActionKind::Vacation, 0}));
    EXPECT_EQ(suggestAction(eventOf("Teacher Institute - No School")),
              (CalendarAction{CalendarActionKind::Holiday, 0}));
    EXPECT_EQ(suggestAction(eventOf("Founders", {"District Holiday"})),
              (CalendarAction{CalendarActionKind::Holiday, 0}));
    EXPECT_FALSE(suggestAction(eventOf("Early Release")).has_value());
    EXPECT_FALSE(suggestAction(eventOf("Late Start")).has_value());
}

TEST(CalendarMapping, UnmappedEventsAreListedOncePerSummary) {
    CalendarMapping m;
    m.set("Holiday", {CalendarActionKind::Holiday, 0});
    const std::vector<CalendarEvent> events{eventOf("Labor Day", {"Holiday"}), eventOf("Snow Day"),
                                            eventOf("snow day"), eventOf("Pep Rally")};
    const auto unmapped = unmappedEvents(events, m);
    ASSERT_EQ(unmapped.size(), 2u);
    EXPECT_EQ(unmapped[0].summary, "Snow Day");
    EXPECT_EQ(unmapped[1].summary, "Pep Rally");
}

}  // namespace
}  // namespace quirn
