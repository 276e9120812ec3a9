#include "protocol/Base62.h"

namespace quirn {

namespace {

constexpr int kDecimalDigits = 10;
constexpr int kLetters = 26;
constexpr int kUpperStart = kDecimalDigits;             // 10 -> "A"
constexpr int kLowerStart = kDecimalDigits + kLetters;  // 36 -> "a"

bool validHour(int hour) {
    return hour >= 0 && hour < kHoursPerDay;
}
bool validMinute(int minute) {
    return minute >= 0 && minute < kMinutesPerHour;
}

std::string pairWithLetter(char base, int hour, int minute) {
    if (!validHour(hour)) return {};
    std::string out(1, static_cast<char>(base + hour));
    if (validMinute(minute)) out += base62Digit(minute);
    return out;
}

}  // namespace

char base62Digit(int value) {
    if (value < 0 || value >= kBase62Radix) return kBase62Invalid;
    if (value < kUpperStart) return static_cast<char>('0' + value);
    if (value < kLowerStart) return static_cast<char>('A' + (value - kUpperStart));
    return static_cast<char>('a' + (value - kLowerStart));
}

int base62Value(char digit) {
    if (digit >= '0' && digit <= '9') return digit - '0';
    if (digit >= 'A' && digit <= 'Z') return kUpperStart + (digit - 'A');
    if (digit >= 'a' && digit <= 'z') return kLowerStart + (digit - 'a');
    return -1;
}

std::string stepPair(int hour, int minute, bool on) {
    return pairWithLetter(on ? 'A' : 'a', hour, minute);
}

std::string timePair(int hour, int minute) {
    return pairWithLetter('A', hour, minute);
}

std::optional<DecodedPair> decodePair(char hourChar, char minuteChar) {
    DecodedPair p;
    if (hourChar >= 'a' && hourChar <= 'z') {
        p.hour = hourChar - 'a';
    } else if (hourChar >= 'A' && hourChar <= 'Z') {
        p.hour = hourChar - 'A';
        p.on = true;
    } else {
        return std::nullopt;
    }
    p.minute = base62Value(minuteChar);
    if (!validHour(p.hour) || !validMinute(p.minute)) return std::nullopt;
    return p;
}

}  // namespace quirn
