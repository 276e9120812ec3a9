#pragma once
#include <optional>
#include <string>

namespace quirn {

// Character encodings that every paged message shares: base-62 digits and the two-character
// pairs that carry a time of day (with or without an ON/OFF command).

inline constexpr int kBase62Radix = 62;
inline constexpr char kBase62Invalid = '*';
inline constexpr int kHoursPerDay = 24;
inline constexpr int kMinutesPerHour = 60;

// Base-62 digit: 0-9 -> "0"-"9", 10-35 -> "A"-"Z", 36-61 -> "a"-"z"; anything else "*".
char base62Digit(int value);

// Value of a base-62 digit, or -1 for a character that is not one.
int base62Value(char digit);

// Step pair: "A" + hour for ON, "a" + hour for OFF, then the minute as a base-62 digit.
// A minute outside 0..59 gives no minute character; an hour outside 0..23 gives no pair at all.
std::string stepPair(int hour, int minute, bool on);

// Time-of-day pair: always the upper-case hour letter, then the minute digit. Same limits.
std::string timePair(int hour, int minute);

// A pair read back: hour, minute and whether the hour letter was upper-case (ON).
struct DecodedPair {
    int hour = 0;
    int minute = 0;
    bool on = false;
};

// Hour = letter - "A" (or - "a" for OFF), minute = base-62 value; valid only for
// 0 <= hour < 24 and 0 <= minute < 60.
std::optional<DecodedPair> decodePair(char hourChar, char minuteChar);

}  // namespace quirn
