#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>

#include "platform/CommandLineValues.h"

namespace quirn {
namespace {

struct NumberRow {
    const char* text;
    NumberForm form;
    std::optional<long long> expected;  // nothing: refused
};

// Range 0..4800 unless the row says otherwise below.
const NumberRow kNumbers[] = {
    {"2400", NumberForm::Plain, 2400},
    {"0", NumberForm::Plain, 0},
    {"4800", NumberForm::Plain, 4800},
    {"4801", NumberForm::Plain, std::nullopt},
    {"-0", NumberForm::Plain, 0},
    {"-1", NumberForm::Plain, std::nullopt},
    {"+1", NumberForm::Plain, std::nullopt},
    {" 1", NumberForm::Plain, std::nullopt},
    {"1 ", NumberForm::Plain, std::nullopt},
    {"", NumberForm::Plain, std::nullopt},
    {"-", NumberForm::Plain, std::nullopt},
    {"12a", NumberForm::Plain, std::nullopt},
    {"0x10", NumberForm::Plain, std::nullopt},
    {"1.5", NumberForm::Plain, std::nullopt},
    {"0002400", NumberForm::Plain, 2400},

    {"2400", NumberForm::CLibrary, 2400},
    {" \t2400", NumberForm::CLibrary, 2400},
    {"+2400", NumberForm::CLibrary, 2400},
    {" +7", NumberForm::CLibrary, 7},
    {"2400 ", NumberForm::CLibrary, std::nullopt},
    {" ", NumberForm::CLibrary, std::nullopt},
    {"+", NumberForm::CLibrary, std::nullopt},
    {"+ 1", NumberForm::CLibrary, std::nullopt},
    {"", NumberForm::CLibrary, std::nullopt},
    {"24O0", NumberForm::CLibrary, std::nullopt},

    {"+123456", NumberForm::Short, std::nullopt},  // beyond 4800
    {"+4800", NumberForm::Short, 4800},
    {"004800", NumberForm::Short, 4800},
    {"0004800", NumberForm::Short, std::nullopt},  // seven digits
    {" 48", NumberForm::Short, std::nullopt},
    {"-", NumberForm::Short, std::nullopt},
};

TEST(CommandLineValues, NumbersFollowTheirForm) {
    for (const NumberRow& row : kNumbers)
        EXPECT_EQ(parseWholeNumber(row.text, 0, 4800, row.form), row.expected)
            << '"' << row.text << '"';
}

TEST(CommandLineValues, NumbersKeepToTheirRange) {
    for (NumberForm form : {NumberForm::Plain, NumberForm::CLibrary, NumberForm::Short}) {
        EXPECT_EQ(parseNumber<int>("-5", -5, 5, form), -5);
        EXPECT_EQ(parseNumber<int>("5", -5, 5, form), 5);
        EXPECT_FALSE(parseNumber<int>("-6", -5, 5, form));
        EXPECT_FALSE(parseNumber<int>("6", -5, 5, form));
    }
}

TEST(CommandLineValues, NumbersBeyondLongLongAreRefusedNotWrapped) {
    EXPECT_EQ(parseWholeNumber("9223372036854775807", LLONG_MIN, LLONG_MAX, NumberForm::Plain),
              LLONG_MAX);
    EXPECT_EQ(parseWholeNumber("-9223372036854775808", LLONG_MIN, LLONG_MAX, NumberForm::Plain),
              LLONG_MIN);
    EXPECT_FALSE(
        parseWholeNumber("9223372036854775808", LLONG_MIN, LLONG_MAX, NumberForm::CLibrary));
    EXPECT_FALSE(
        parseWholeNumber("-9223372036854775809", LLONG_MIN, LLONG_MAX, NumberForm::CLibrary));
    EXPECT_FALSE(parseWholeNumber("99999999999999999999", 0, 1, NumberForm::Plain));
    // A number that fits long long but not the caller's type is outside its range.
    EXPECT_FALSE(parseNumber<int>("2147483648", INT_MIN, INT_MAX, NumberForm::Plain));
}

struct DateRow {
    const char* text;
    bool fixed;  // accepted in the fixed form
    bool free;   // accepted in the free form
};

// Years 1970..2099 for both forms.
const DateRow kDates[] = {
    {"2026-03-16 09:15:00", true, true},
    {"1970-01-01 00:00:00", true, true},
    {"2099-12-31 23:59:59", true, true},
    {"1969-12-31 23:59:59", false, false},
    {"2100-01-01 00:00:00", false, false},
    // Leap days: every fourth year, not every hundredth, but every four hundredth.
    {"2024-02-29 12:00:00", true, true},
    {"2023-02-29 12:00:00", false, false},
    {"2000-02-29 12:00:00", true, true},
    {"2026-02-28 12:00:00", true, true},
    {"2026-04-31 12:00:00", false, false},
    {"2026-12-31 12:00:00", true, true},
    // Fields out of range.
    {"2026-00-10 12:00:00", false, false},
    {"2026-13-10 12:00:00", false, false},
    {"2026-01-00 12:00:00", false, false},
    {"2026-01-32 12:00:00", false, false},
    {"2026-01-10 24:00:00", false, false},
    {"2026-01-10 12:60:00", false, false},
    {"2026-01-10 12:00:60", false, false},
    // Bad digits and separators.
    {"2026-0a-10 12:00:00", false, false},
    {"2O26-01-10 12:00:00", false, false},
    {"2026/01/10 12:00:00", false, false},
    {"2026-01-10T12:00:00", false, false},
    {"2026-01-10 12.00.00", false, false},
    {"2026-01-10 12:00", false, false},
    {"2026-01-10", false, false},
    {"", false, false},
    {"2026-01-10 12:00:00x", false, false},
    {"2026-01-10 12:00:00 ", false, false},
    // Field widths: only the fixed form insists on them.
    {"2026-1-10 12:00:00", false, true},
    {"2026-01-10 9:05:00", false, true},
    {"02026-01-10 12:00:00", false, true},
    {"2026-01-010 12:00:00", false, true},
    // Blanks and signs: only the free form takes them, as scanf does.
    {" 2026-01-10 12:00:00", false, true},
    {"2026-01-10   12:00:00", false, true},
    {"2026-01-10\t12:00:00", false, true},
    {"2026-01-1012:00:00", false, false},
    {"2026-01-10+12:00:00", false, true},
    {"2026- 01-10 12:00:00", false, true},
    {"2026 -01-10 12:00:00", false, false},
    {"+2026-01-10 12:00:00", false, true},
    // A minus zero reads as zero in both forms.
    {"2026-01-10 -0:00:00", true, true},
};

TEST(CommandLineValues, DateTimesFollowTheirForm) {
    for (const DateRow& row : kDates) {
        EXPECT_EQ(parseDateTime(row.text, DateTimeForm::Fixed, 1970, 2099).has_value(), row.fixed)
            << '"' << row.text << "\" fixed";
        EXPECT_EQ(parseDateTime(row.text, DateTimeForm::Free, 1970, 2099).has_value(), row.free)
            << '"' << row.text << "\" free";
    }
}

TEST(CommandLineValues, DateTimesGiveTheirFields) {
    for (DateTimeForm form : {DateTimeForm::Fixed, DateTimeForm::Free}) {
        std::optional<LocalDateTime> t = parseDateTime("2024-02-29 23:05:07", form, 1970, 2037);
        ASSERT_TRUE(t);
        EXPECT_EQ(*t, (LocalDateTime{2024, 2, 29, 23, 5, 7}));
    }
    EXPECT_EQ(parseDateTime("2026-3-6 7:8:9", DateTimeForm::Free, 1970, 2099),
              (LocalDateTime{2026, 3, 6, 7, 8, 9}));
}

TEST(CommandLineValues, DateTimesKeepToTheCallersYears) {
    for (DateTimeForm form : {DateTimeForm::Fixed, DateTimeForm::Free}) {
        EXPECT_TRUE(parseDateTime("2037-12-31 23:59:59", form, 1970, 2037));
        EXPECT_FALSE(parseDateTime("2038-01-01 00:00:00", form, 1970, 2037));
        EXPECT_FALSE(parseDateTime("2000-06-01 00:00:00", form, 2001, 2099));
    }
}

}  // namespace
}  // namespace quirn
