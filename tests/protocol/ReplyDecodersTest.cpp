#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/LocalTime.h"
#include "protocol/Checksums.h"
#include "protocol/MessageFrame.h"
#include "protocol/ReplyDecoders.h"
#include "protocol/SentenceCommands.h"

namespace quirn {
namespace {

namespace pi = program_image;
using Bytes = std::vector<uint8_t>;
using Entry = Qn510Tables::Entry;

// A compact QN510 reply as a time switch sends it.
Bytes compactReply(int weekday, int hour, int minute, uint8_t flags, char version,
                   const std::vector<std::vector<Entry>>& tables) {
    Bytes b = {'S',
               static_cast<uint8_t>(weekday),
               static_cast<uint8_t>(hour),
               static_cast<uint8_t>(minute),
               0,
               flags,
               static_cast<uint8_t>(version),
               0,
               0};
    for (const auto& table : tables) {
        b.push_back(static_cast<uint8_t>(table.size()));
        for (const Entry& e : table) b.insert(b.end(), {e.days, e.hour, e.minute});
    }
    std::string covered(b.begin(), b.end());
    for (char c : checksumText(replyChecksum(covered))) b.push_back(static_cast<uint8_t>(c));
    return b;
}

Qn510Image parse(const Bytes& b) {
    return parseQN510Reply(b.data(), b.size(), 0);
}
ProgramImage parseLr(const Bytes& b) {
    return parseLR40Reply(b.data(), b.size());
}

TEST(CompactQn510Reply, SixteenBytesWithNoEntriesIsValid) {
    Bytes reply = compactReply(4, 10, 15, 0x80, 'C', {{}, {}, {}});
    ASSERT_EQ(reply.size(), 16u);
    Qn510Image image = parse(reply);
    ASSERT_TRUE(image.isValid());
    EXPECT_EQ(image.weekday(), 4);
    EXPECT_EQ(image.hour(), 10);
    EXPECT_EQ(image.minute(), 15);
    EXPECT_EQ(image.tables().bytes()[4], 0xAA);
    EXPECT_EQ(image.version(), "5.10");
    EXPECT_EQ(image.describeRelay(), "Relay status is ON.");
    EXPECT_TRUE(image.tables().entries(Qn510Tables::Table::Default).empty());
}

TEST(CompactQn510Reply, TablesGoToTheirOffsets) {
    std::vector<Entry> def = {{0x3E, 0x87, 0}, {0x3E, 0x08, 30}};
    std::vector<Entry> alt = {{0x01, 0x89, 0}};
    std::vector<Entry> ovr = {{0x7F, 0x92, 5}, {0x7F, 0x13, 0}};
    Qn510Image image = parse(compactReply(2, 7, 0, 0x03, 'a', {def, alt, ovr}));
    ASSERT_TRUE(image.isValid());
    EXPECT_EQ(image.tables().entries(Qn510Tables::Table::Default), def);
    EXPECT_EQ(image.tables().entries(Qn510Tables::Table::Alternate), alt);
    EXPECT_EQ(image.tables().entries(Qn510Tables::Table::Override), ovr);
    EXPECT_EQ(image.tables().flags(), 0x03);
    EXPECT_TRUE(image.strider());
    EXPECT_EQ(image.version(), "1.00");
}

TEST(CompactQn510Reply, VersionLetters) {
    const std::vector<std::pair<char, std::string>> rows = {
        {'A', "5.01"}, {'B', "5.02"}, {'C', "5.10"}, {'D', "5.20"}, {'a', "1.00"}, {'E', "X.XX"}};
    for (const auto& [letter, version] : rows) {
        Qn510Image image = parse(compactReply(1, 0, 0, 0, letter, {{}, {}, {}}));
        EXPECT_EQ(image.version(), version) << letter;
        EXPECT_EQ(image.strider(), letter == 'a') << letter;
    }
}

TEST(CompactQn510Reply, BadRepliesAreInvalid) {
    Bytes good = compactReply(1, 2, 3, 0, 'A', {{{1, 0x81, 0}}, {}, {}});
    std::vector<Bytes> bad;
    Bytes wrongKind = good;
    wrongKind[0] = 'T';
    bad.push_back(wrongKind);
    Bytes wrongSum = good;
    wrongSum.back() = wrongSum.back() == '0' ? '1' : '0';
    bad.push_back(wrongSum);
    Bytes longer = good;
    longer.insert(longer.end() - 4, 0);  // one byte more than the counts announce
    bad.push_back(longer);
    bad.push_back(Bytes(good.begin(), good.end() - 1));
    bad.push_back(Bytes(good.begin(), good.begin() + 15));
    // Counts that do not fit a table: 85 entries, or a negative count.
    std::vector<Entry> tooMany(85, Entry{1, 0x81, 0});
    bad.push_back(compactReply(1, 2, 3, 0, 'A', {tooMany, {}, {}}));
    Bytes negative = compactReply(1, 2, 3, 0, 'A', {{}, {}, {}});
    negative[9] = 0xFF;
    bad.push_back(negative);
    for (size_t i = 0; i < bad.size(); ++i) EXPECT_FALSE(parse(bad[i]).isValid()) << i;
    // 84 entries still fit.
    std::vector<Entry> full(84, Entry{1, 0x81, 0});
    EXPECT_TRUE(parse(compactReply(1, 2, 3, 0, 'A', {full, full, full})).isValid());
}

TEST(CompactQn510Reply, RawMemoryIsCopied) {
    Bytes raw(776, 0);
    raw[3] = 'U';
    raw[775] = 'X';
    raw[9] = 0x80;
    Qn510Image image = parse(raw);
    EXPECT_TRUE(image.isValid());
    EXPECT_EQ(image.version(), "X.XX");
    raw[0] = 1;
    EXPECT_FALSE(parse(raw).isValid());
}

// A built image with a step, an annual entry and a week, as an LR40 would hold it.
ProgramImage sampleImage() {
    ProgramImage image = ProgramImage::fresh(2, 15, 7, fromLocal(2026, 3, 18, 10, 15, 30));
    image.writeHeader(2, 15, 7);
    image.writeStep(1, 0, 7, 0, true);
    image.writeStep(1, 1, 15, 30, false);
    image.writeStep(4, 0, 0, 0, true);
    image.writeAnnual(0, toLocal(fromLocal(2026, 7, 1)), toLocal(fromLocal(2026, 7, 3)), 4);
    image.writeDefaultWeek({0, 0, 1, 1, 1, 1, 1, 0});
    image.writeTrailer();
    return image;
}

Bytes sentenceOf(const ProgramImage& image) {
    std::string s = ProgramSentenceCommand(2, 15, 7, image.bytes()).bytes();
    return Bytes(s.begin(), s.end());
}

TEST(Lr40Reply, SentenceDecodesIntoTheImageItCameFrom) {
    ProgramImage sent = sampleImage();
    ProgramImage read = parseLr(sentenceOf(sent));
    ASSERT_TRUE(read.isValid());
    const auto& a = sent.bytes();
    const auto& b = read.bytes();
    EXPECT_EQ(read.masterGroup(), 2);
    EXPECT_EQ(read.group(), 15);
    EXPECT_EQ(read.location(), 7);
    for (size_t off : {pi::kClock, pi::kDaylightRule, pi::kDefaultWeek, pi::annualOffset(0),
                       pi::slotOffset(1), pi::slotOffset(4)})
        EXPECT_EQ(Bytes(a.begin() + off, a.begin() + off + 7),
                  Bytes(b.begin() + off, b.begin() + off + 7))
            << off;
    EXPECT_EQ(b[pi::annualOffset(1)], 0);
    // The station's closing 0 reads as relay state 0.
    EXPECT_EQ(b[pi::kRelay], 0);
}

// The payload of a sentence framed again, with its length field set to fit.
Bytes reframed(std::string payload) {
    size_t total = payload.size() + 4;
    payload[4] = static_cast<char>(total >> 8);
    payload[5] = static_cast<char>(total & 0xFF);
    std::string s = sentence(payload);
    return Bytes(s.begin(), s.end());
}

std::string payloadOf(const Bytes& s) {
    return std::string(s.begin() + 1, s.end() - 3);
}

TEST(Lr40Reply, RelayStateBeforeTheStar) {
    std::string payload = payloadOf(sentenceOf(sampleImage()));
    payload.back() = 3;  // the closing byte replaced by a relay state
    ProgramImage read = parseLr(reframed(payload));
    ASSERT_TRUE(read.isValid());
    EXPECT_EQ(read.relayBits(), 3);
    EXPECT_EQ(read.describeRelay(), "Relay 1-On 2-On");
    // Without the byte, 955 stays 0.
    payload.pop_back();
    ProgramImage without = parseLr(reframed(payload));
    ASSERT_TRUE(without.isValid());
    EXPECT_EQ(without.bytes()[pi::kRelay], 0);
    // A default week cut short is refused.
    payload.pop_back();
    EXPECT_FALSE(parseLr(reframed(payload)).isValid());
}

TEST(Lr40Reply, BadSentencesAreAllZero) {
    Bytes good = sentenceOf(sampleImage());
    std::vector<Bytes> bad;
    Bytes wrongSum = good;
    wrongSum[wrongSum.size() - 1] ^= 1;
    bad.push_back(wrongSum);
    Bytes wrongLength = good;
    wrongLength[6] += 1;
    bad.push_back(wrongLength);
    Bytes noStar = good;
    noStar[noStar.size() - 3] = '#';
    bad.push_back(noStar);
    Bytes notS = good;
    notS[1] = 'Q';
    bad.push_back(notS);
    bad.push_back(Bytes(good.begin(), good.begin() + 6));
    // A plan count that runs past the sentence.
    std::string payload = payloadOf(good);
    payload[17] = 40;
    bad.push_back(reframed(payload));
    // A day plan numbered outside 1..9.
    payload = payloadOf(good);
    payload[18] = 10;
    bad.push_back(reframed(payload));
    for (size_t i = 0; i < bad.size(); ++i) {
        ProgramImage image = parseLr(bad[i]);
        EXPECT_FALSE(image.isValid()) << i;
        EXPECT_EQ(image.bytes(), ProgramImage().bytes()) << i;
    }
    EXPECT_FALSE(parseLR40Reply(nullptr, 10).isValid());
}

TEST(ProgramImageChecks, MonthThirteenEndsTheAnnualList) {
    ProgramImage image = sampleImage();
    image.writeAnnual(1, toLocal(fromLocal(2026, 8, 1)), toLocal(fromLocal(2026, 8, 2)), 2);
    image.writeAnnual(2, toLocal(fromLocal(2026, 9, 1)), toLocal(fromLocal(2026, 9, 2)), 3);
    image.bytes()[pi::annualOffset(1) + 3] = 0x13;  // end month 13
    image.checkAnnualEntries();
    ASSERT_EQ(image.annualEntries().size(), 1u);
    EXPECT_EQ(image.annualEntries()[0], (AnnualEntry{2, 15, 2026, 7, 1, 2026, 7, 3, 4}));
    EXPECT_EQ(image.bytes()[pi::annualOffset(1)], 0);
    // Day 32 and year 2051 are cut the same way.
    ProgramImage day = sampleImage();
    day.bytes()[pi::annualOffset(0) + 1] = 0x32;
    day.checkAnnualEntries();
    EXPECT_TRUE(day.annualEntries().empty());
    ProgramImage year = sampleImage();
    year.bytes()[pi::annualOffset(0) + 5] = 0x51;
    year.checkAnnualEntries();
    EXPECT_TRUE(year.annualEntries().empty());
}

TEST(ProgramImageChecks, ClockAndDescription) {
    ProgramImage image = sampleImage();
    image.checkAnnualEntries();
    EXPECT_EQ(image.clock(), fromLocal(2026, 3, 18, 10, 15, 34));
    std::vector<std::string> lines = image.describeProgram();
    ASSERT_GE(lines.size(), 14u);
    EXPECT_EQ(lines[0], "Time Switch: Wednesday, March 18, 2026, 10:15.34:");
    EXPECT_EQ(lines[1], "Relay 1-Off 2-Off");
    EXPECT_EQ(lines[3], "Sunday Plan 0.");
    EXPECT_EQ(lines[4], "Monday Plan 1.");
    EXPECT_EQ(lines[10], "Day Plan(s)");
    EXPECT_EQ(lines[11], "Plan 1 Step 1 07:00 Relay On");
    EXPECT_EQ(lines[12], "Plan 1 Step 2 15:30 Relay Off");
    EXPECT_EQ(lines[13], "Plan 4 Step 1 00:00 Relay On");
    EXPECT_EQ(lines.back(), "Plan 4 7/01/2026 to 7/03/2026");
    // Month 0 in the clock: the placeholder.
    image.bytes()[pi::kClock + 5] = 0;
    EXPECT_EQ(image.clock(), neverTime());
}

}  // namespace
}  // namespace quirn
