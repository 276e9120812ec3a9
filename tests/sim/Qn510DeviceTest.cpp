#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/Checksums.h"
#include "protocol/LogEntry.h"
#include "protocol/PagedCommands.h"
#include "protocol/Qn510Tables.h"
#include "protocol/TimeCommands.h"
#include "protocol/WeekCommands.h"
#include "sim/SimulatedTimeSwitch.h"
#include "tests/sim/SimTestSupport.h"

namespace quirn::sim {
namespace {

using test::bytesOf;
using test::settingsFor;
using Table = Qn510Memory::Table;

constexpr bool kNoMasterGroups = false;
constexpr bool kMasterGroups = true;
constexpr uint8_t kMondayToFriday = 2 | 4 | 8 | 16 | 32;
constexpr uint8_t kOn = 0x80;

std::vector<PlanStep> schoolDay() {
    return {{1, 7, 0, 1}, {1, 8, 30, 0}};
}
std::vector<PlanStep> lateDay() {
    return {{2, 10, 15, 1}, {2, 11, 45, 0}};
}
WeekDays standardWeek() {
    return {0, 0, 1, 1, 1, 1, 1, 0};
}
WeekDays lateWeek() {
    return {0, 0, 2, 2, 2, 2, 2, 0};
}

std::vector<PlanStep> bothPlans() {
    std::vector<PlanStep> s = schoolDay();
    for (const PlanStep& p : lateDay()) s.push_back(p);
    return s;
}

// A Monday in March after the change to daylight time.
std::time_t mondaySix() {
    return fromLocal(2026, 3, 16, 6, 0, 0);
}

class Qn510Device : public ::testing::Test {
  protected:
    ManualClock host{mondaySix()};
    SimulatedTimeSwitch device{settingsFor(SimModel::QN510, {1, 1, 2}, mondaySix()), host};
    std::vector<std::string> lines;

    void SetUp() override {
        device.setLogSink([this](const std::string& line) { lines.push_back(line); });
    }
    std::string send(const std::string& bytes) { return device.receive(bytes); }
    void advanceMinutes(int minutes) {
        for (int i = 0; i < minutes; ++i) {
            host.advance(60);
            device.tick();
        }
    }
};

TEST_F(Qn510Device, DefaultWeekFillsTheDefaultTableInMinuteOrder) {
    send(DefaultWeekCommand(1, 1, 2, kNoMasterGroups, standardWeek(), schoolDay()).text());
    std::vector<Qn510Memory::Entry> expected = {{kMondayToFriday, kOn | 7, 0},
                                                {kMondayToFriday, 8, 30}};
    EXPECT_EQ(device.qn510().table(Table::Default), expected);
    EXPECT_TRUE(device.qn510().table(Table::Alternate).empty());
    EXPECT_EQ(device.qn510().flags(), 0);
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("default week"), std::string::npos) << lines.back();
}

TEST_F(Qn510Device, TablesMatchWhatTheStationExpectsFromTheSameTexts) {
    std::vector<std::string> texts = {
        DefaultWeekCommand(1, 1, 2, kNoMasterGroups, standardWeek(), bothPlans()).text(),
        SpecialWeekCommand(1, 1, 2, kNoMasterGroups, {0, 0, 2, 1, 2, 1, 0, 1}, true, bothPlans())
            .text(),
        OverrideCommand(1, 1, "BH0BiU", kNoMasterGroups).text()};
    Qn510Tables expected = Qn510Tables::fresh(toLocal(host.now()));
    for (const std::string& t : texts) {
        send(t);
        applyTo(decodeMessage(t), expected);
    }
    auto same = [&](Table mine, Qn510Tables::Table theirs) {
        std::vector<Qn510Tables::Entry> e = expected.entries(theirs);
        const auto& m = device.qn510().table(mine);
        ASSERT_EQ(m.size(), e.size());
        for (size_t i = 0; i < m.size(); ++i) {
            EXPECT_EQ(m[i].days, e[i].days);
            EXPECT_EQ(m[i].hour, e[i].hour);
            EXPECT_EQ(m[i].minute, e[i].minute);
        }
    };
    same(Table::Default, Qn510Tables::Table::Default);
    same(Table::Alternate, Qn510Tables::Table::Alternate);
    same(Table::Override, Qn510Tables::Table::Override);
    EXPECT_EQ(device.qn510().flags(), expected.flags());
    EXPECT_EQ(device.qn510().flags(), Qn510Memory::kAlternateActive | Qn510Memory::kOverrideActive);
}

TEST_F(Qn510Device, CompactReplyCarriesClockFlagsVersionAndTables) {
    send(DefaultWeekCommand(1, 1, 2, kNoMasterGroups, standardWeek(), schoolDay()).text());
    advanceMinutes(75);  // 07:15 Monday: the relay switched on at 07:00
    std::string reply = send(ReadCommand(1, 1, 2, kNoMasterGroups).text());
    std::string body = bytesOf({'S', 2, 7, 15, 0, 0x80, 'C', 0, 0, 2, kMondayToFriday, 0x87, 0,
                                kMondayToFriday, 8, 30, 0, 0});
    EXPECT_EQ(reply, body + checksumText(replyChecksum(body)));
}

TEST_F(Qn510Device, EmptyMemoryAnswersSixteenBytes) {
    std::string reply = send(ReadCommand(1, 1, 2, kNoMasterGroups).text());
    ASSERT_EQ(reply.size(), 16u);
    EXPECT_EQ(reply[0], 'S');
    EXPECT_EQ(reply[6], 'C');
    EXPECT_EQ(reply.substr(12), checksumText(replyChecksum(reply.substr(0, 12))));
}

TEST_F(Qn510Device, RawImageOptionAnswersTheWholeMemory) {
    SimSettings s = settingsFor(SimModel::QN510, {1, 1, 2}, mondaySix());
    s.qn510RawImage = true;
    SimulatedTimeSwitch raw(s, host);
    raw.receive(DefaultWeekCommand(1, 1, 2, kNoMasterGroups, standardWeek(), schoolDay()).text());
    std::string image = raw.receive(ReadCommand(1, 1, 2, kNoMasterGroups).text());
    ASSERT_EQ(image.size(), Qn510Tables::kSize);
    Qn510Tables t;
    std::copy(image.begin(), image.end(), t.bytes().begin());
    EXPECT_TRUE(t.isValid());
    EXPECT_EQ(t.bytes()[Qn510Tables::kWeekday], 2);
    EXPECT_EQ(t.bytes()[Qn510Tables::kHour], 6);
    EXPECT_EQ(t.entries(Qn510Tables::Table::Default).size(), 2u);
}

TEST_F(Qn510Device, RelayFollowsTheDefaultWeekAtEveryMinute) {
    send(DefaultWeekCommand(1, 1, 2, kNoMasterGroups, standardWeek(), schoolDay()).text());
    EXPECT_FALSE(device.relayOn());  // Friday's 08:30 OFF was the last step
    advanceMinutes(59);
    EXPECT_FALSE(device.relayOn());
    advanceMinutes(1);  // 07:00
    EXPECT_TRUE(device.relayOn());
    advanceMinutes(89);
    EXPECT_TRUE(device.relayOn());
    advanceMinutes(1);  // 08:30
    EXPECT_FALSE(device.relayOn());
}

TEST_F(Qn510Device, ManualSwitchHoldsUntilTheNextStep) {
    send(DefaultWeekCommand(1, 1, 2, kNoMasterGroups, standardWeek(), schoolDay()).text());
    send(ManualCommand(1, 1, 2, true, kNoMasterGroups).text());
    EXPECT_TRUE(device.relayOn());
    advanceMinutes(30);
    EXPECT_TRUE(device.relayOn());
    send(ManualCommand(1, 1, 2, false, kNoMasterGroups).text());
    EXPECT_FALSE(device.relayOn());
    advanceMinutes(60);  // 07:30: the 07:00 ON step came since
    EXPECT_TRUE(device.relayOn());
}

TEST_F(Qn510Device, AlternateWeekRulesUntilSunday) {
    send(DefaultWeekCommand(1, 1, 2, kNoMasterGroups, standardWeek(), bothPlans()).text());
    send(SpecialWeekCommand(1, 1, 2, kNoMasterGroups, lateWeek(), true, bothPlans()).text());
    EXPECT_EQ(device.qn510().flags(), Qn510Memory::kAlternateActive);
    advanceMinutes(60);  // 07:00: the default week would switch on now
    EXPECT_FALSE(device.relayOn());
    advanceMinutes(195);  // 10:15
    EXPECT_TRUE(device.relayOn());
    // Through to the next Sunday: the alternate week ends and the default rules again.
    host.set(fromLocal(2026, 3, 22, 0, 1, 0));
    device.tick();
    EXPECT_EQ(device.qn510().flags() & Qn510Memory::kAlternateActive, 0);
    host.set(fromLocal(2026, 3, 23, 7, 5, 0));
    device.tick();
    EXPECT_TRUE(device.relayOn());
}

TEST_F(Qn510Device, OverrideRunsEveryDayUntilMidnightAndNoOverrideDropsIt) {
    send(DefaultWeekCommand(1, 1, 2, kNoMasterGroups, standardWeek(), schoolDay()).text());
    send(OverrideCommand(1, 1, "BF0Bf5", kNoMasterGroups).text());  // 05:00 ON, 05:05 OFF
    EXPECT_EQ(device.qn510().flags(), Qn510Memory::kOverrideActive);
    EXPECT_EQ(device.qn510().table(Table::Override).front().days, Qn510Memory::kAllDays);
    advanceMinutes(60);  // 07:00: the default week's step does not count today
    EXPECT_FALSE(device.relayOn());
    host.set(fromLocal(2026, 3, 17, 0, 1, 0));
    device.tick();
    EXPECT_EQ(device.qn510().flags() & Qn510Memory::kOverrideActive, 0);

    send(OverrideCommand(1, 1, "BF0Bf5", kNoMasterGroups).text());
    send(OverrideCommand(1, 1, "d", kNoMasterGroups).text());
    EXPECT_EQ(device.qn510().flags(), 0);
    EXPECT_TRUE(device.qn510().table(Table::Override).empty());
}

TEST_F(Qn510Device, TimeMessageSetsWeekdayHourAndMinute) {
    ManualClock station(fromLocal(2026, 3, 18, 14, 45, 10));  // Wednesday
    send(TimeCommand(1, 1, station, kNoMasterGroups).text());
    LocalDateTime now = device.clock().local();
    EXPECT_EQ(now.weekday, 4);
    EXPECT_EQ(now.hour, 14);
    EXPECT_EQ(now.minute, 45);
    EXPECT_EQ(now.second, 0);
    EXPECT_EQ(now.day, 18);
}

TEST_F(Qn510Device, DateAndTimeMessageSetsTheWholeClockAndZone) {
    ManualClock station(fromLocal(2026, 11, 20, 9, 10, 11));  // standard time again
    send(TimeDateCommand(station, kNoMasterGroups, {}).text());
    EXPECT_EQ(device.clock().now(), station.now());
    EXPECT_EQ(device.clock().zone().hoursWest, 5);
    EXPECT_EQ(device.clock().local(), toLocal(station.now()));
}

TEST_F(Qn510Device, AnswersOnlyItsOwnAddress) {
    struct Case {
        std::string text;
        bool taken;
    };
    auto d = [](int mg, int g, int l, bool hasMg) {
        return DefaultWeekCommand(mg, g, l, hasMg, standardWeek(), schoolDay()).text();
    };
    std::vector<Case> cases = {
        {d(1, 1, 2, kNoMasterGroups), true},  {d(1, 1, 0, kNoMasterGroups), true},
        {d(1, 0, 0, kNoMasterGroups), true},  {d(1, 1, 3, kNoMasterGroups), false},
        {d(1, 2, 2, kNoMasterGroups), false}, {d(2, 1, 2, kMasterGroups), false},
        {d(1, 1, 2, kMasterGroups), true},
    };
    for (const Case& c : cases) {
        SimulatedTimeSwitch fresh(settingsFor(SimModel::QN510, {1, 1, 2}, mondaySix()), host);
        fresh.receive(c.text);
        EXPECT_EQ(!fresh.qn510().table(Table::Default).empty(), c.taken) << c.text;
    }
    EXPECT_TRUE(send(ReadCommand(1, 1, 3, kNoMasterGroups).text()).empty());
    EXPECT_FALSE(send(ReadCommand(1, 1, 0, kNoMasterGroups).text()).empty());
}

TEST_F(Qn510Device, MasterGroupPrefixSelectsTheSwitch) {
    SimulatedTimeSwitch third(settingsFor(SimModel::QN510, {3, 1, 2}, mondaySix()), host);
    third.receive(DefaultWeekCommand(1, 1, 2, kNoMasterGroups, standardWeek(), schoolDay()).text());
    EXPECT_TRUE(third.qn510().table(Table::Default).empty());
    third.receive(DefaultWeekCommand(3, 1, 2, kMasterGroups, standardWeek(), schoolDay()).text());
    EXPECT_EQ(third.qn510().table(Table::Default).size(), 2u);
    EXPECT_FALSE(third.receive(ReadCommand(3, 1, 2, kMasterGroups).text()).empty());
    EXPECT_TRUE(third.receive(ReadCommand(1, 1, 2, kMasterGroups).text()).empty());
}

TEST_F(Qn510Device, BadChecksumIsIgnoredAndLogged) {
    std::string text =
        DefaultWeekCommand(1, 1, 2, kNoMasterGroups, standardWeek(), schoolDay()).text();
    text[text.size() - 1] = text.back() == '0' ? '1' : '0';
    send(text);
    EXPECT_TRUE(device.qn510().table(Table::Default).empty());
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(lines.back().find("bad checksum"), std::string::npos);
}

TEST_F(Qn510Device, BytesMayArriveOneAtATimeWithNoiseBetween) {
    std::string stream =
        "\x01zz" +
        DefaultWeekCommand(1, 1, 2, kNoMasterGroups, standardWeek(), schoolDay()).text() + "\xff" +
        ManualCommand(1, 1, 2, true, kNoMasterGroups).text() +
        ReadCommand(1, 1, 2, kNoMasterGroups).text();
    std::string reply;
    for (char c : stream) reply += send(std::string(1, c));
    EXPECT_EQ(device.qn510().table(Table::Default).size(), 2u);
    EXPECT_TRUE(device.relayOn());
    ASSERT_EQ(reply.size(), 16u + 6u);
    EXPECT_EQ(reply[5], '\x80');
}

TEST_F(Qn510Device, UnfinishedMessageIsGivenUpAfterAWhile) {
    send("@D0102AH0");
    host.advanceMs(InputFramer::kStaleMs + 1);
    device.tick();
    send(ManualCommand(1, 1, 2, true, kNoMasterGroups).text());
    EXPECT_TRUE(device.relayOn());
}

TEST_F(Qn510Device, ArbitraryBytesNeverCrash) {
    uint32_t state = 12345;
    std::string noise;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1103515245u + 12345u;
        const char alphabet[] = "@#XRDWOMTZ0123456789AaBb$SCK\0\x80";
        noise += alphabet[(state >> 16) % (sizeof alphabet - 1)];
    }
    for (size_t at = 0; at < noise.size(); at += 97) device.receive(noise.substr(at, 97));
    // Still working afterwards.
    host.advanceMs(InputFramer::kStaleMs + 1);
    device.tick();
    EXPECT_EQ(send(ReadCommand(1, 1, 2, kNoMasterGroups).text()).substr(0, 1), "S");
}

}  // namespace
}  // namespace quirn::sim
