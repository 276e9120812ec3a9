#include <gtest/gtest.h>

#include <string>

#include "protocol/Base62.h"
#include "protocol/Bcd.h"
#include "protocol/DaySet.h"
#include "protocol/MessageFrame.h"

namespace quirn {
namespace {

TEST(Base62, DigitsRoundTripAndEdgesAreExact) {
    const std::string all = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    for (int v = 0; v < 62; ++v) {
        EXPECT_EQ(base62Digit(v), all[static_cast<size_t>(v)]);
        EXPECT_EQ(base62Value(base62Digit(v)), v);
    }
    EXPECT_EQ(base62Digit(59), 'x');
    EXPECT_EQ(base62Digit(36), 'a');
    EXPECT_EQ(base62Digit(35), 'Z');
    for (int bad : {-1, 62, 100, -62, 1000000}) EXPECT_EQ(base62Digit(bad), '*') << bad;
    for (char bad : {'*', ' ', '#', '@', '/', ':', '[', '`', '{', '\0', '\x80'})
        EXPECT_EQ(base62Value(bad), -1) << int(bad);
}

TEST(StepPair, HourLetterCarriesTheCommand) {
    EXPECT_EQ(stepPair(7, 0, true), "H0");
    EXPECT_EQ(stepPair(8, 30, false), "iU");
    EXPECT_EQ(stepPair(0, 0, true), "A0");
    EXPECT_EQ(stepPair(23, 59, false), "xx");
    EXPECT_EQ(stepPair(12, 36, true), "Ma");
    EXPECT_EQ(stepPair(12, 35, true), "MZ");
    EXPECT_EQ(timePair(7, 30), "HU");
    EXPECT_EQ(timePair(19, 5), "T5");
}

TEST(StepPair, OutOfRangeMinuteHasNoMinuteCharacterAndBadHourNoPair) {
    EXPECT_EQ(stepPair(7, 60, true), "H");
    EXPECT_EQ(stepPair(7, -1, false), "h");
    EXPECT_EQ(stepPair(24, 0, true), "");
    EXPECT_EQ(stepPair(-1, 0, true), "");
    EXPECT_EQ(timePair(25, 0), "");
}

TEST(DecodePair, AcceptsOnlyRealTimes) {
    auto p = decodePair('H', '0');
    ASSERT_TRUE(p);
    EXPECT_EQ(p->hour, 7);
    EXPECT_EQ(p->minute, 0);
    EXPECT_TRUE(p->on);
    p = decodePair('x', 'x');
    ASSERT_TRUE(p);
    EXPECT_EQ(p->hour, 23);
    EXPECT_EQ(p->minute, 59);
    EXPECT_FALSE(p->on);
    struct Bad {
        char hour, minute;
    };
    // Hours 24.. ("Y", "y", "Z"), minutes 60.. ("y", "z") and non-digits are rejected.
    for (Bad b : {Bad{'Y', '0'}, Bad{'z', '0'}, Bad{'A', 'y'}, Bad{'A', 'z'}, Bad{'@', '0'},
                  Bad{'A', '*'}, Bad{'1', '0'}, Bad{'\0', '\0'}, Bad{'\xC1', '0'}})
        EXPECT_FALSE(decodePair(b.hour, b.minute)) << b.hour << b.minute;
}

// Send-order mask from day names: Sunday 64 ... Saturday 1.
unsigned send(std::initializer_list<int> weekdays) {
    unsigned m = 0;
    for (int d : weekdays) m |= sendDayBit(d);
    return m;
}

enum { Sun = 1, Mon, Tue, Wed, Thu, Fri, Sat };

TEST(DaySet, LettersOfTypicalMasks) {
    struct Row {
        unsigned mask;
        const char* letters;
    };
    const Row rows[] = {
        {send({Mon, Tue, Wed, Thu, Fri}), "A"},
        {127, "B"},
        {send({Sun, Sat}), "C"},
        {send({Sun}), "J"},
        {send({Sat}), "I"},
        {send({Sun, Mon, Tue, Wed, Thu, Fri}), "JA"},
        {send({Mon, Tue, Wed, Thu, Fri, Sat}), "AI"},
        {send({Tue, Wed, Thu}), "QF"},
        {send({Mon, Wed, Fri}), "P"},
        {send({Tue, Wed, Thu, Fri}), "K"},
        {send({Mon, Wed, Thu, Fri}), "L"},
        {send({Mon, Tue, Thu, Fri}), "M"},
        {send({Mon, Tue, Wed, Fri}), "N"},
        {send({Mon, Tue, Wed, Thu}), "O"},
        {send({Mon, Tue, Wed}), "R"},
        {send({Wed, Thu, Fri}), "S"},
        {send({Tue, Thu}), "Q"},
        {send({Tue, Thu, Fri}), "QH"},
        {send({Sun, Sat, Fri}), "CH"},
        {send({Sun, Wed}), "JF"},
        {send({Wed, Sat}), "FI"},
    };
    for (const Row& r : rows) EXPECT_EQ(dayLetters(r.mask), r.letters) << r.mask;
}

TEST(DaySet, MondayTuesdayThursdayExceptionDependsOnTheLeadingLetter) {
    EXPECT_EQ(send({Mon, Tue, Thu}), 52u);
    EXPECT_EQ(daySetText(52, "H0"), "DH0QH0");
    EXPECT_EQ(daySetText(53, "H0"), "DH0QH0IH0");
    EXPECT_EQ(daySetText(116, "H0"), "JH0QH0DH0");
    EXPECT_EQ(daySetText(117, "H0"), "CH0QH0DH0");
}

TEST(DaySet, EveryMaskWritesEachDayExactlyOnce) {
    // Decoding the letters back (QN510 order) must give exactly the mask's days.
    for (unsigned mask = 1; mask < 128; ++mask) {
        unsigned qn510 = 0, expected = 0;
        for (char letter : dayLetters(mask)) {
            unsigned m = dayLetterMask(letter);
            EXPECT_EQ(qn510 & m, 0u) << "day written twice in mask " << mask;
            qn510 |= m;
        }
        for (int d = 1; d <= 7; ++d)
            if (mask & sendDayBit(d)) expected |= qn510DayBit(d);
        EXPECT_EQ(qn510, expected) << mask;
    }
}

TEST(DaySet, EmptyMaskMissingStepAndBadMask) {
    EXPECT_EQ(daySetText(0, "H0"), "o");
    EXPECT_EQ(daySetText(31, ""), " ");
    EXPECT_EQ(daySetText(128, "H0"), " ");
    EXPECT_EQ(daySetText(0xFFFFFFFF, "H0"), " ");
    EXPECT_EQ(daySetText(62, "H0"), "AH0");
    EXPECT_EQ(daySetText(65, "iU"), "CiU");
}

TEST(DayLetters, QnMasksSundayIsOne) {
    EXPECT_EQ(dayLetterMask('J'), 1u);
    EXPECT_EQ(dayLetterMask('D'), 2u);
    EXPECT_EQ(dayLetterMask('I'), 64u);
    EXPECT_EQ(dayLetterMask('A'), 62u);
    EXPECT_EQ(dayLetterMask('B'), 127u);
    EXPECT_EQ(dayLetterMask('C'), 65u);
    EXPECT_EQ(dayLetterMask('M'), 2u + 4 + 16 + 32);
    for (char bad : {'T', 'Z', 'a', '@', '0', '\0', '\xFF'}) EXPECT_EQ(dayLetterMask(bad), 0u);
}

TEST(Bcd, BytesAndTwelveHourForm) {
    EXPECT_EQ(toBcd(0), 0x00);
    EXPECT_EQ(toBcd(9), 0x09);
    EXPECT_EQ(toBcd(10), 0x10);
    EXPECT_EQ(toBcd(59), 0x59);
    EXPECT_EQ(toBcd(99), 0x99);
    for (int bad : {-1, 100, 2026}) EXPECT_EQ(toBcd(bad), 0x00) << bad;
    for (int v = 0; v <= 99; ++v) EXPECT_EQ(fromBcd(toBcd(v)), v);

    struct Row {
        int hour;
        uint8_t bcd;
    };
    for (Row r :
         {Row{0, 0x12}, Row{1, 0x01}, Row{11, 0x11}, Row{12, 0x92}, Row{13, 0x81}, Row{23, 0x91}}) {
        EXPECT_EQ(toTwelveHourBcd(r.hour), r.bcd) << r.hour;
        EXPECT_EQ(fromTwelveHourBcd(r.bcd), r.hour) << r.hour;
    }
    for (int h = 0; h < 24; ++h) EXPECT_EQ(fromTwelveHourBcd(toTwelveHourBcd(h)), h);
    EXPECT_EQ(toTwelveHourBcd(24), 0);
    EXPECT_EQ(toTwelveHourBcd(-1), 0);
}

TEST(MasterGroupPrefix, OnlyWithMasterGroupsAndAboveOne) {
    EXPECT_EQ(masterGroupPrefix(3, false), "@");
    EXPECT_EQ(masterGroupPrefix(1, true), "@");
    EXPECT_EQ(masterGroupPrefix(0, true), "@");
    EXPECT_EQ(masterGroupPrefix(2, true), "@1");
    EXPECT_EQ(masterGroupPrefix(3, true), "@2");
    EXPECT_EQ(masterGroupPrefix(10, true), "@9");
    EXPECT_EQ(masterGroupPrefix(11, true), "@0");
    EXPECT_EQ(masterGroupPrefix(30, true), "@C");
    EXPECT_EQ(masterGroupPrefix(31, true), "@");
    EXPECT_EQ(masterGroupPrefix(-5, true), "@");
}

TEST(PagedFrame, RefusesNumbersThatDoNotFitTwoDigits) {
    EXPECT_EQ(pagedMessage("@", 'C', 1, 2, ""), "@C0102#;3:;");
    EXPECT_EQ(pagedMessage("@", 'C', 100, 2, ""), "");
    EXPECT_EQ(pagedMessage("@", 'C', 1, -1, ""), "");
}

TEST(CopyWhole, NeverCutsAMessage) {
    char buf[8];
    std::fill(std::begin(buf), std::end(buf), 'z');
    EXPECT_EQ(copyWhole("abcdefgh", buf, sizeof buf, true), 0u);  // no room for the NUL
    EXPECT_EQ(buf[0], 'z');
    EXPECT_EQ(copyWhole("abcdefgh", buf, sizeof buf, false), 8u);
    EXPECT_EQ(copyWhole("abc", buf, sizeof buf, true), 3u);
    EXPECT_STREQ(buf, "abc");
    EXPECT_EQ(copyWhole("abc", nullptr, 100, true), 0u);
}

}  // namespace
}  // namespace quirn
