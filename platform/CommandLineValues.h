#pragma once
#include <optional>
#include <string_view>

#include "platform/LocalTime.h"

namespace quirn {

// How a whole number may be written on a command line. Each program keeps the form it has
// always taken, so that no command line that worked before stops working.
enum class NumberForm {
    Plain,     // an optional '-' and digits, nothing else (quirnctl)
    CLibrary,  // as strtol reads a whole text: leading blanks, an optional sign, digits (quirn-sim)
    Short,     // an optional sign and one to six digits (vorncal-view)
};

// The whole text as a number of that form within [lo, hi]; nothing for anything else,
// including a value beyond long long.
std::optional<long long> parseWholeNumber(std::string_view text, long long lo, long long hi,
                                          NumberForm form);

// The same for a number that fits T ("--baud 2400", "--clock-offset -30").
template <typename T>
std::optional<T> parseNumber(std::string_view text, T lo, T hi, NumberForm form) {
    std::optional<long long> v = parseWholeNumber(text, lo, hi, form);
    if (!v) return std::nullopt;
    return static_cast<T>(*v);
}

// How a date and time "YYYY-MM-DD HH:MM:SS" may be written.
enum class DateTimeForm {
    // Exactly 19 characters, each field its full width: '-' and ':' where they belong, one
    // blank between date and time (quirnctl).
    Fixed,
    // As scanf reads "%d-%d-%d %d:%d:%d" over the whole text: blanks before a number, a sign
    // and any count of digits; blanks (or none) between date and time (quirn-sim).
    Free,
};

// A date and time as local fields, the year within [firstYear, lastYear], the month 1..12,
// the day within the month (leap days counted), hour 0..23, minute and second 0..59. Nothing
// for a malformed text or an impossible date. Weekday, year day and daylight saving are left
// as a default LocalDateTime has them.
std::optional<LocalDateTime> parseDateTime(std::string_view text, DateTimeForm form, int firstYear,
                                           int lastYear);

}  // namespace quirn
