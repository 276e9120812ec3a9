#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/LocalTime.h"
#include "protocol/DaySet.h"
#include "protocol/LogEntry.h"
#include "protocol/MessageFrame.h"
#include "protocol/Qn510Tables.h"
#include "protocol/WeekCommands.h"

namespace quirn {
namespace {

constexpr uint32_t kMonToFri = 62;  // QN510 order
constexpr uint32_t kWeekend = 65;

size_t minuteOf(int hour, int minute) {
    return static_cast<size_t>(hour * 60 + minute);
}

TEST(DecodeText, FindsEveryMessageOfATransmission) {
    std::string text = "noise@D0102AH0AiU#33=>\r\n@M01021#=9?<@T01002HU#1=11tail";
    auto entries = decodeText(text);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].kind, LogKind::DefaultWeek);
    EXPECT_EQ(entries[0].text, "@D0102AH0AiU#33=>");
    EXPECT_EQ(entries[0].group, 1);
    EXPECT_EQ(entries[0].location, 2);
    EXPECT_EQ(entries[0].onMasks[minuteOf(7, 0)], kMonToFri);
    EXPECT_EQ(entries[0].offMasks[minuteOf(8, 30)], kMonToFri);
    EXPECT_EQ(entries[1].kind, LogKind::Manual);
    // A message ends with its four checksum characters: the "@" of the next one, right behind
    // it, is not part of it.
    EXPECT_EQ(entries[1].text, "@M01021#=9?<");
    EXPECT_EQ(entries[2].kind, LogKind::Time);
    EXPECT_EQ(entries[2].text, "@T01002HU#1=11");
    EXPECT_EQ(entries[2].group, 1);
    EXPECT_EQ(entries[2].location, 0);
}

TEST(DecodeText, MasterGroupCharacterIsRemovedBeforeDecoding) {
    auto e = decodeMessage("@1D0102AH0CiU#0000");
    EXPECT_EQ(e.kind, LogKind::DefaultWeek);
    EXPECT_EQ(e.masterGroup, 2);
    EXPECT_EQ(e.prefix, '1');
    EXPECT_EQ(e.group, 1);
    EXPECT_EQ(e.location, 2);
    EXPECT_EQ(e.onMasks[minuteOf(7, 0)], kMonToFri);
    EXPECT_EQ(e.offMasks[minuteOf(8, 30)], kWeekend);
    EXPECT_EQ(decodeMessage("@9M01021#0000").masterGroup, 10);
    auto lower = decodeMessage("@bM01021#0000");
    EXPECT_EQ(lower.prefix, 'b');
    EXPECT_EQ(lower.masterGroup, 1);
    EXPECT_EQ(lower.kind, LogKind::Manual);
    // "x" is not a prefix character: it stays and becomes the (unknown) command letter.
    EXPECT_EQ(decodeMessage("@xM01021#0000").kind, LogKind::Undecodable);
}

TEST(DecodeText, KindChecksByLengthOrEndMarkPosition) {
    struct Row {
        const char* message;
        LogKind kind;
    };
    const Row rows[] = {
        {"@D0102#0000", LogKind::DefaultWeek},  // 11 characters: a week with no steps
        {"@D01#00000", LogKind::Undecodable},   // shorter than 11
        {"@W0100AH0#0000", LogKind::Week},
        {"@O0100d#0000", LogKind::Override},
        {"@M01021#0000", LogKind::Manual},
        {"@M010210#0000", LogKind::Undecodable},
        {"@R0102#0000", LogKind::Read},
        {"@R0102o#0000", LogKind::Undecodable},
        {"@T01002HU#0000", LogKind::Time},
        {"@T0100HU#0000", LogKind::Undecodable},
        {"@G0100123456#0000", LogKind::GpsTime},
        {"@G01001234567#0000", LogKind::Undecodable},
        {"@Z0000eG3F7U0F32B1#35>>", LogKind::Undecodable},
        {"@C0102#;3:;", LogKind::Undecodable},
        {"D0102AH0#0000", LogKind::Undecodable},
    };
    for (const Row& r : rows) EXPECT_EQ(decodeMessage(r.message).kind, r.kind) << r.message;
}

TEST(DecodeText, BadTripletsAddNothingButTheScanGoesOn) {
    // "T" is no day letter, "Y0" no hour, "Az" no minute; the triplets after them still count.
    auto e = decodeMessage("@D0102TH0AY0AAzIH0Jbx#0000");
    EXPECT_EQ(e.kind, LogKind::DefaultWeek);
    EXPECT_EQ(e.onMasks[minuteOf(7, 0)], 64u);
    EXPECT_EQ(e.offMasks[minuteOf(1, 59)], 1u);
    uint32_t total = 0;
    for (size_t m = 0; m < kMinutesPerDayTable; ++m) total += e.onMasks[m] + e.offMasks[m];
    EXPECT_EQ(total, 65u);
    // A trailing pair that is not a whole triplet is ignored.
    auto partial = decodeMessage("@D0102AH0AH#0000");
    EXPECT_EQ(partial.onMasks[minuteOf(7, 0)], kMonToFri);
    EXPECT_TRUE(decodeMessage("@M0102AH0#0000").onMasks == LogEntry().onMasks);
}

TEST(DecodeText, IncompleteOrNoMessages) {
    const char* texts[] = {
        "", "#", "@", "@D0102AH0#00", "no messages here", "####@@@@", "@D0102AH0#000", "X@R0102o"};
    for (const char* t : texts) EXPECT_TRUE(decodeText(t).empty()) << t;
    // A "#" without its own "@" does not reuse an earlier message's start.
    EXPECT_EQ(decodeText("@M01021#=9?<#abcd").size(), 1u);
}

TEST(DecodeText, RoundTripsEveryDaySetTheEncoderWrites) {
    // Each send-order mask with a 07:00 ON step, through a real 'D' message and back.
    for (unsigned mask = 1; mask < 128; ++mask) {
        std::string message = pagedMessage("@", 'D', 1, 2, daySetText(mask, "H0"));
        auto entries = decodeText(message);
        ASSERT_EQ(entries.size(), 1u) << message;
        uint32_t expected = 0;
        for (int d = 1; d <= 7; ++d)
            if (mask & sendDayBit(d)) expected |= qn510DayBit(d);
        EXPECT_EQ(entries[0].onMasks[minuteOf(7, 0)], expected) << message;
    }
}

TEST(DecodeText, GarbageNeverCrashes) {
    std::mt19937 random(12345);
    const std::string alphabet = "@#DWOMRTGABCJ0123456789aAzZx:;<=>?\r\n\0\xFF";
    size_t decoded = 0;
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        size_t length = random() % 64;
        for (size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        auto entries = decodeText(text);
        Qn510Tables image = Qn510Tables::fresh(LocalDateTime{2026, 3, 16, 7, 0, 0, 2});
        for (const LogEntry& e : entries) {
            applyTo(e, image);
            EXPECT_LE(e.text.size(), text.size());
            EXPECT_TRUE(image.isValid());
        }
        decoded += entries.size();
    }
    EXPECT_GT(decoded, 0u);  // the alphabet is rich enough to form messages now and then
}

TEST(ApplyTo, DefaultWeekFillsTheDefaultTableInMinuteOrder) {
    Qn510Tables image = Qn510Tables::fresh(LocalDateTime{2026, 3, 16, 7, 5, 0, 2});
    image.setFlags(Qn510Tables::kAlternateActive | Qn510Tables::kOverrideActive |
                   Qn510Tables::kRelayOn);
    image.writeTable(Qn510Tables::Table::Alternate, {{1, 0x85, 0}});
    // Same minute ON and OFF on different days; the OFF is listed first in the text.
    auto e = decodeMessage("@D0102Ah0CH0AiUJH0#0000");
    ASSERT_TRUE(applyTo(e, image));
    using E = Qn510Tables::Entry;
    std::vector<E> expected = {{kWeekend | 1, 0x87, 0}, {kMonToFri, 7, 0}, {kMonToFri, 8, 30}};
    EXPECT_EQ(image.entries(Qn510Tables::Table::Default), expected);
    EXPECT_TRUE(image.entries(Qn510Tables::Table::Alternate).empty());
    EXPECT_EQ(image.flags(), Qn510Tables::kRelayOn);
    EXPECT_EQ(image.bytes()[Qn510Tables::kWeekday], 2);
    EXPECT_EQ(image.bytes()[Qn510Tables::kHour], 7);
    EXPECT_EQ(image.bytes()[Qn510Tables::kMinute], 5);
}

TEST(ApplyTo, WeekFillsTheAlternateTableAndMarksItActive) {
    Qn510Tables image = Qn510Tables::fresh(LocalDateTime{});
    ASSERT_TRUE(applyTo(decodeMessage("@D0102AH0#0000"), image));
    image.setFlags(image.flags() | Qn510Tables::kOverrideActive);
    ASSERT_TRUE(applyTo(decodeMessage("@W0102IJ0#0000"), image));
    using E = Qn510Tables::Entry;
    EXPECT_EQ(image.entries(Qn510Tables::Table::Default), (std::vector<E>{{kMonToFri, 0x87, 0}}));
    EXPECT_EQ(image.entries(Qn510Tables::Table::Alternate), (std::vector<E>{{64, 0x89, 0}}));
    EXPECT_EQ(image.flags(), Qn510Tables::kAlternateActive);
}

TEST(ApplyTo, OverrideStepsAndMessagesThatChangeNothing) {
    Qn510Tables image = Qn510Tables::fresh(LocalDateTime{});
    const Qn510Tables before = image;
    for (const char* m : {"@M01021#0000", "@O0100d#0000", "@R0102#0000", "@D01#00000"})
        EXPECT_FALSE(applyTo(decodeMessage(m), image)) << m;
    EXPECT_EQ(image, before);
    ASSERT_TRUE(applyTo(decodeMessage("@O0100BH0BiU#82;5"), image));
    using E = Qn510Tables::Entry;
    EXPECT_EQ(image.entries(Qn510Tables::Table::Override),
              (std::vector<E>{{127, 0x87, 0}, {127, 8, 30}}));
    EXPECT_EQ(image.flags(), Qn510Tables::kOverrideActive);
}

TEST(ApplyTo, TableHoldsAtMostEightyFourEntries) {
    LogEntry e;
    e.kind = LogKind::DefaultWeek;
    for (size_t m = 0; m < 100; ++m) e.onMasks[m] = 1;
    Qn510Tables image = Qn510Tables::fresh(LocalDateTime{});
    ASSERT_TRUE(applyTo(e, image));
    EXPECT_EQ(image.entries(Qn510Tables::Table::Default).size(), Qn510Tables::kMaxEntries);
    // The bytes after the table (separator and the next table) are untouched.
    EXPECT_EQ(image.bytes()[Qn510Tables::kAlternateTable - 1], 0);
    EXPECT_EQ(image.bytes()[Qn510Tables::kAlternateTable], 0);
}

TEST(ApplyTo, ExpectedImageOfWhatTheStationSent) {
    // A 'D' built by the encoder, decoded and applied, gives the table the switch should hold.
    std::vector<PlanStep> steps = {{1, 7, 0, 1}, {1, 8, 30, 0}, {2, 9, 0, 1}};
    DefaultWeekCommand d(1, 1, 2, false, WeekDays{0, 2, 1, 1, 1, 1, 1, 0}, steps);
    auto entries = decodeText(d.text());
    ASSERT_EQ(entries.size(), 1u);
    Qn510Tables image = Qn510Tables::fresh(LocalDateTime{});
    ASSERT_TRUE(applyTo(entries[0], image));
    using E = Qn510Tables::Entry;
    EXPECT_EQ(image.entries(Qn510Tables::Table::Default),
              (std::vector<E>{{kMonToFri, 0x87, 0}, {kMonToFri, 8, 30}, {1, 0x89, 0}}));
}

TEST(Qn510Tables, FreshImageAndValidity) {
    Qn510Tables none;
    EXPECT_FALSE(none.isValid());
    Qn510Tables t = Qn510Tables::fresh(LocalDateTime{2026, 3, 21, 23, 59, 0, 7});
    EXPECT_TRUE(t.isValid());
    EXPECT_EQ(t.bytes()[3], 'U');
    EXPECT_EQ(t.bytes()[4], 0xAA);
    EXPECT_EQ(t.bytes()[5], 7);
    EXPECT_EQ(t.bytes()[775], 'X');
    t.bytes()[1] = 1;
    EXPECT_FALSE(t.isValid());
}

}  // namespace
}  // namespace quirn
