#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/MessageFrame.h"
#include "protocol/PagedCommands.h"
#include "protocol/TimeCommands.h"
#include "protocol/WeekCommands.h"

namespace quirn {
namespace {

// The suite runs with TZ=America/New_York: five hours west in standard time.
constexpr bool kNoMasterGroups = false;
constexpr bool kMasterGroups = true;

// Day plan 1 of the worked examples: 07:00 ON, 08:30 OFF.
std::vector<PlanStep> schoolDay() {
    return {{1, 7, 0, 1}, {1, 8, 30, 0}};
}

WeekDays standardWeek() {
    return {0, 0, 1, 1, 1, 1, 1, 0};
}

TEST(WorkedMessages, DefaultWeekWithAndWithoutMasterGroup) {
    DefaultWeekCommand plain(1, 1, 2, kNoMasterGroups, standardWeek(), schoolDay());
    EXPECT_EQ(plain.text(), "@D0102AH0AiU#33=>");
    DefaultWeekCommand third(3, 1, 2, kMasterGroups, standardWeek(), schoolDay());
    EXPECT_EQ(third.text(), "@2D0102AH0AiU#0532");
    // Without master groups in the agency the same command has no prefix character.
    DefaultWeekCommand ignored(3, 1, 2, kNoMasterGroups, standardWeek(), schoolDay());
    EXPECT_EQ(ignored.text(), "@D0102AH0AiU#33=>");
}

TEST(WorkedMessages, ManualOverrideAndPasswayCommands) {
    EXPECT_EQ(ManualCommand(1, 1, 2, true, kNoMasterGroups).text(), "@M01021#=9?<");
    std::vector<PlanStep> override = {{0, 8, 30, 0}, {0, 7, 0, 1}};  // unsorted on purpose
    std::string data = OverrideCommand::dataFor(true, true, override);
    EXPECT_EQ(data, "BH0BiU");
    EXPECT_EQ(OverrideCommand(1, 1, data, kNoMasterGroups).text(), "@O0100BH0BiU#82;5");
    EXPECT_EQ(DelayTimeCommand(1, 1, 2, 4, kNoMasterGroups).text(), "@E01024#=:79");
    EXPECT_EQ(PasswayLogRequestCommand(1, 1, 2, 7, kNoMasterGroups).text(), "@B01027#6>59");
    EXPECT_EQ(PasswayLogClearCommand(1, 1, 2, kNoMasterGroups).text(), "@C0102#;3:;");
    EXPECT_EQ(ReadCommand(1, 1, 2, kNoMasterGroups).text(), "X@R0102o");
}

TEST(WorkedMessages, DateAndTimeToEveryone) {
    ManualClock clock(fromLocal(2026, 3, 15, 7, 30, 0));
    TimeDateCommand z(clock, kNoMasterGroups, {});
    EXPECT_EQ(z.text(), "@Z0000eG3F7U0F32B1#35>>");
}

TEST(WorkedMessages, TimeOfDayToAGroup) {
    ManualClock clock(fromLocal(2026, 1, 1));
    TimeCommand t(1, 1, clock, kNoMasterGroups, fromLocal(2026, 3, 16, 7, 30, 0));  // a Monday
    EXPECT_EQ(t.text(), "@T01002HU#1=11");
}

TEST(TimeDate, ZoneLetterIsStandardTimeInSummerAndWinter) {
    // Both dates are five hours west in standard time; daylight saving must not change "F".
    for (std::time_t when : {fromLocal(2026, 1, 10, 12, 0, 0), fromLocal(2026, 7, 4, 12, 0, 0)}) {
        std::string data = TimeDateCommand::dataFor(toLocal(when));
        EXPECT_EQ(data.substr(7), "F32B1");
    }
    EXPECT_EQ(zoneLetter(), 'F');
    LocalDateTime t{2071, 12, 31, 23, 59, 58};
    EXPECT_EQ(TimeDateCommand::dataFor(t).substr(0, 7), "ezCVNxw");
}

TEST(TimeDate, ToOneLocationUsesItsOwnNumbers) {
    ManualClock clock(fromLocal(2026, 3, 15, 7, 30, 0));
    TimeDateCommand z(2, 5, 7, clock, kMasterGroups);
    EXPECT_EQ(z.text(), pagedMessage("@1", 'Z', 5, 7, "eG3F7U0F32B1"));
}

TEST(TimeDate, ToEveryoneGoesToEachExistingMasterGroupInOrder) {
    ManualClock clock(fromLocal(2026, 3, 15, 7, 30, 0));
    const std::string data = "eG3F7U0F32B1";
    TimeDateCommand z(clock, kMasterGroups, {10, 3, 1, 3, 12, 0});
    EXPECT_EQ(z.text(), pagedMessage("@", 'Z', 0, 0, data) + pagedMessage("@2", 'Z', 0, 0, data) +
                            pagedMessage("@9", 'Z', 0, 0, data));
    EXPECT_EQ(TimeDateCommand(clock, kMasterGroups, {}).text(), "");
    // Without master groups the list is ignored: one message for master group 1.
    EXPECT_EQ(TimeDateCommand(clock, kNoMasterGroups, {4, 5}).text(), "@Z0000eG3F7U0F32B1#35>>");
}

TEST(TimeOfDay, CurrentTimeRoundsToTheNearerMinute) {
    struct Row {
        int second;
        const char* pair;
    };
    // Monday 16 March 2026 07:29:ss; above 30 seconds moves to the next minute.
    for (Row r : {Row{0, "HT"}, Row{30, "HT"}, Row{31, "HU"}, Row{59, "HU"}}) {
        ManualClock clock(fromLocal(2026, 3, 16, 7, 29, r.second));
        TimeCommand t(1, 1, clock, kNoMasterGroups);
        EXPECT_EQ(t.text(), pagedMessage("@", 'T', 1, 0, std::string("2") + r.pair)) << r.second;
    }
    // Saturday 23:59:45 becomes Sunday 00:00.
    ManualClock clock(fromLocal(2026, 3, 21, 23, 59, 45));
    EXPECT_EQ(TimeCommand(1, 4, clock, kNoMasterGroups).text(),
              pagedMessage("@", 'T', 4, 0, "1A0"));
}

TEST(TimeOfDay, StoredTimesBefore2007AreThePlaceholder) {
    ManualClock clock(fromLocal(2026, 3, 16, 9, 15, 0));
    TimeCommand old(1, 1, clock, kNoMasterGroups, fromLocal(2006, 12, 31, 7, 0, 0));
    EXPECT_EQ(old.text(), pagedMessage("@", 'T', 1, 0, "2JF"));
    TimeCommand kept(1, 1, clock, kNoMasterGroups, fromLocal(2007, 1, 1, 7, 0, 0));
    EXPECT_EQ(kept.text(), pagedMessage("@", 'T', 1, 0, "2H0"));
}

TEST(TimeOfDay, ToEveryoneHasGroupAndLocationZero) {
    ManualClock clock(fromLocal(2026, 3, 16, 7, 30, 0));
    TimeCommand t(clock, kMasterGroups, {2, 1});
    EXPECT_EQ(t.text(), pagedMessage("@", 'T', 0, 0, "2HU") + pagedMessage("@1", 'T', 0, 0, "2HU"));
}

TEST(WeekSteps, SameTimeAndCommandOnOneDayIsSentOnce) {
    std::vector<PlanStep> steps = {{1, 7, 0, 1}, {1, 7, 0, 1}, {2, 7, 0, 1}};
    WeekDays onlyMonday{0, 0, 1, 0, 0, 0, 0, 0};
    EXPECT_EQ(encodeWeekSteps(steps, onlyMonday), "DH0");
    WeekDays mondayAndTuesday{0, 0, 1, 2, 0, 0, 0, 0};
    EXPECT_EQ(encodeWeekSteps(steps, mondayAndTuesday), "DH0EH0");
}

TEST(WeekSteps, SameMinuteOtherCommandFollowsDayThenListOrder) {
    // Sunday's plan switches ON at 07:00, Monday's OFF at 07:00: Sunday is met first.
    std::vector<PlanStep> steps = {{1, 7, 0, 0}, {2, 7, 0, 1}};
    WeekDays week{0, 2, 1, 0, 0, 0, 0, 0};
    EXPECT_EQ(encodeWeekSteps(steps, week), "JH0Dh0");
    // On one day, the step listed first wins.
    std::vector<PlanStep> oneDay = {{1, 7, 0, 0}, {1, 7, 0, 1}};
    WeekDays monday{0, 0, 1, 0, 0, 0, 0, 0};
    EXPECT_EQ(encodeWeekSteps(oneDay, monday), "Dh0DH0");
    // Sorting by minute keeps that order for equal minutes even behind later steps.
    std::vector<PlanStep> unsorted = {{1, 9, 0, 1}, {1, 7, 0, 0}, {1, 7, 0, 1}};
    EXPECT_EQ(encodeWeekSteps(unsorted, monday), "Dh0DH0DJ0");
}

TEST(WeekSteps, DaySetsOfWholeWeeks) {
    std::vector<PlanStep> steps = {{1, 7, 0, 1}};
    EXPECT_EQ(encodeWeekSteps(steps, WeekDays{0, 1, 1, 1, 1, 1, 1, 1}), "BH0");
    EXPECT_EQ(encodeWeekSteps(steps, WeekDays{0, 1, 1, 1, 1, 1, 1, 0}), "JH0AH0");
    EXPECT_EQ(encodeWeekSteps(steps, WeekDays{0, 0, 1, 1, 0, 1, 0, 0}), "DH0QH0");
    EXPECT_EQ(encodeWeekSteps(steps, WeekDays{0, 1, 1, 1, 0, 1, 0, 0}), "JH0QH0DH0");
    EXPECT_EQ(encodeWeekSteps(steps, WeekDays{0, 1, 0, 0, 0, 0, 0, 1}), "CH0");
}

TEST(WeekSteps, StepsComeOutInTimeOrderWithTheirOwnDays) {
    std::vector<PlanStep> steps = {{1, 15, 30, 0}, {1, 7, 0, 1}, {2, 9, 59, 1}, {2, 11, 36, 0}};
    WeekDays week{0, 2, 1, 1, 1, 1, 1, 2};
    EXPECT_EQ(encodeWeekSteps(steps, week), "AH0CJxClaApU");
}

TEST(WeekSteps, NothingToSend) {
    std::vector<PlanStep> steps = {{1, 7, 0, 1}};
    EXPECT_EQ(encodeWeekSteps(steps, WeekDays{}), "");
    EXPECT_EQ(encodeWeekSteps({}, standardWeek()), "");
    // Not programmed or impossible steps are never sent.
    std::vector<PlanStep> bad = {{1, -1, -1, -1}, {1, 24, 0, 1}, {1, 7, 60, 1}, {1, 7, 0, 2}};
    EXPECT_EQ(encodeWeekSteps(bad, standardWeek()), "");
    // Day plan 0 collects steps only when a step carries plan 0.
    std::vector<PlanStep> planZero = {{0, 6, 0, 1}};
    EXPECT_EQ(encodeWeekSteps(planZero, WeekDays{0, 0, 1, 1, 1, 1, 1, 0}), "CG0");
}

TEST(WeekSteps, TimesOutsideTheDayInAHandMadeTableEndTheText) {
    WeekStepTable table;
    table[2] = {{420, true}, {1440, false}, {-5, true}};
    EXPECT_EQ(encodeCollected(table), "DH0");
}

TEST(WeekCommands, EmptyDefaultWeekStillSent) {
    DefaultWeekCommand d(1, 1, 2, kNoMasterGroups,
                         DefaultWeekCommand::weekForDate(standardWeek(), true), schoolDay());
    EXPECT_EQ(d.text(), pagedMessage("@", 'D', 1, 2, ""));
    EXPECT_EQ(DefaultWeekCommand::weekForDate(standardWeek(), false), standardWeek());
}

TEST(WeekCommands, SpecialAndLocationWeeksOnlyWhenChangedOrFound) {
    WeekDays week{0, 0, 1, 1, 1, 1, 100, 0};
    EXPECT_EQ(SpecialWeekCommand(1, 1, 0, kNoMasterGroups, week, false, schoolDay()).text(), "");
    EXPECT_EQ(SpecialWeekCommand(1, 1, 0, kNoMasterGroups, week, true, schoolDay()).text(),
              pagedMessage("@", 'W', 1, 0, "OH0OiU"));
    EXPECT_EQ(LocationWeekCommand(1, 1, 2, kNoMasterGroups, week, false, schoolDay()).text(), "");
    EXPECT_EQ(LocationWeekCommand(1, 1, 2, kNoMasterGroups, week, true, schoolDay()).text(),
              pagedMessage("@", 'W', 1, 2, "OH0OiU"));
    char buf[64];
    EXPECT_EQ(SpecialWeekCommand(1, 1, 0, false, week, false, schoolDay()).build(buf, sizeof buf),
              0u);
}

TEST(WeekCommands, SummerWeekRunsMondayToFridayAndIsAlwaysBuilt) {
    // The 07:00 ON of the first entry is listed before the 07:00 OFF of the second.
    SummerWeekCommand s(2, 1, 2, kMasterGroups, {{7, 0, 15, 30}, {6, 0, 7, 0}});
    EXPECT_EQ(s.text(), pagedMessage("@1", 'W', 1, 2, "AG0AH0Ah0ApU"));
    // The summer encoder ignores the day plans it is handed.
    std::string out;
    s.encodeWeekSteps(out, WeekDays{0, 1, 1, 1, 1, 1, 1, 1});
    EXPECT_EQ(out, "AG0AH0Ah0ApU");
    EXPECT_EQ(SummerWeekCommand(1, 1, 2, kNoMasterGroups, {}).text(),
              pagedMessage("@", 'W', 1, 2, ""));
}

TEST(Override, DataByStateOfTheGroupsEntry) {
    std::vector<PlanStep> steps = {{0, 7, 0, 1}};
    EXPECT_EQ(OverrideCommand::dataFor(false, false, steps), "d");
    EXPECT_EQ(OverrideCommand::dataFor(true, false, steps), "");
    EXPECT_EQ(OverrideCommand(1, 1, "", kNoMasterGroups).text(), "");
    EXPECT_EQ(OverrideCommand(1, 1, "d", kNoMasterGroups).text(),
              pagedMessage("@", 'O', 1, 0, "d"));
    for (int s : {2, 3, 4}) EXPECT_TRUE(OverrideCommand::isActiveState(s));
    for (int s : {0, 1, 5, -1}) EXPECT_FALSE(OverrideCommand::isActiveState(s));
}

TEST(Passway, BlockWrapsAndDelayCodeIsOneDigit) {
    struct Row {
        int block;
        const char* data;
    };
    for (Row r : {Row{0, "0"}, Row{19, "19"}, Row{20, "0"}, Row{27, "7"}, Row{-1, "19"}})
        EXPECT_EQ(PasswayLogRequestCommand(1, 1, 2, r.block, false).text(),
                  pagedMessage("@", 'B', 1, 2, r.data))
            << r.block;
    EXPECT_EQ(DelayTimeCommand(1, 1, 2, 12, false).code(), '0');
    EXPECT_EQ(DelayTimeCommand(1, 1, 2, 9, false).code(), '9');
    struct Delay {
        int seconds, code;
    };
    for (Delay d :
         {Delay{20, 1}, Delay{45, 4}, Delay{40, 0}, Delay{90, 9}, Delay{15, 0}, Delay{-3, 0}})
        EXPECT_EQ(striderCodeFromSeconds(d.seconds), d.code) << d.seconds;
}

TEST(PagedCommands, NameAndNumbers) {
    ManualCommand m(3, 4, 5, false, kMasterGroups);
    EXPECT_STREQ(m.name(), "CommandVorn Base Class");
    EXPECT_EQ(m.masterGroup(), 3);
    EXPECT_EQ(m.group(), 4);
    EXPECT_EQ(m.location(), 5);
    EXPECT_EQ(m.text(), pagedMessage("@2", 'M', 4, 5, "0"));
    EXPECT_EQ(PageAllCommand().bytes(), "@P#");
    char page[4];
    EXPECT_EQ(PageAllCommand().build(page, sizeof page), 3u);
    EXPECT_STREQ(page, "@P#");
    EXPECT_EQ(PageAllCommand().build(page, 3), 0u);
    EXPECT_EQ(OverrideCommand(1, 7, "d", false).location(), 0);
}

TEST(PagedCommands, EveryBuilderKeepsToItsCapacity) {
    ManualClock clock(fromLocal(2026, 3, 15, 7, 30, 0));
    std::vector<std::unique_ptr<PagedCommand>> commands;
    commands.push_back(std::make_unique<ManualCommand>(1, 1, 2, true, false));
    commands.push_back(std::make_unique<ReadCommand>(1, 1, 2, false));
    commands.push_back(
        std::make_unique<DefaultWeekCommand>(1, 1, 2, false, standardWeek(), schoolDay()));
    commands.push_back(std::make_unique<TimeDateCommand>(clock, true, std::vector<int>{1, 2, 3}));
    commands.push_back(std::make_unique<TimeCommand>(clock, true, std::vector<int>{1, 5}));
    commands.push_back(
        std::make_unique<SummerWeekCommand>(1, 1, 2, false, std::vector<SummerStep>{{7, 0, 8, 0}}));
    commands.push_back(std::make_unique<PasswayLogClearCommand>(1, 1, 2, false));
    for (const auto& c : commands) {
        const std::string whole = c->bytes();
        ASSERT_FALSE(whole.empty());
        for (size_t capacity = 0; capacity <= whole.size() + 1; ++capacity) {
            std::vector<char> buf(capacity + 8, '~');
            size_t n = c->build(buf.data(), capacity);
            if (capacity < whole.size() + 1) {
                EXPECT_EQ(n, 0u) << whole << " in " << capacity;
                // Nothing of the message was written (an empty text NUL may be).
                for (size_t i = 1; i < buf.size(); ++i) ASSERT_EQ(buf[i], '~') << whole;
            } else {
                EXPECT_EQ(n, whole.size());
                EXPECT_EQ(std::string(buf.data(), n), whole);
                EXPECT_EQ(buf[n], '\0');
                EXPECT_EQ(buf[n + 1], '~');
            }
        }
    }
}

}  // namespace
}  // namespace quirn
