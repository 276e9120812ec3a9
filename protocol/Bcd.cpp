#include "protocol/Bcd.h"

namespace quirn {

namespace {

constexpr int kDecimal = 10;
constexpr unsigned kNibble = 4;
constexpr uint8_t kLowNibble = 0x0F;
constexpr uint8_t kLowSevenBits = 0x7F;
constexpr int kHalfDay = 12;
constexpr int kHoursPerDay = 24;

}  // namespace

uint8_t toBcd(int value) {
    if (value < 0 || value > kBcdMax) return 0;
    return static_cast<uint8_t>(((value / kDecimal) << kNibble) | (value % kDecimal));
}

int fromBcd(uint8_t bcd) {
    return (bcd >> kNibble) * kDecimal + (bcd & kLowNibble);
}

uint8_t toTwelveHourBcd(int hour) {
    if (hour < 0 || hour >= kHoursPerDay) return 0;
    if (hour == 0) return toBcd(kHalfDay);
    if (hour < kHalfDay) return toBcd(hour);
    int h = hour == kHalfDay ? kHalfDay : hour - kHalfDay;
    return static_cast<uint8_t>(toBcd(h) | kPmBit);
}

int fromTwelveHourBcd(uint8_t bcd) {
    int hour = fromBcd(static_cast<uint8_t>(bcd & kLowSevenBits)) % kHalfDay;
    return (bcd & kPmBit) ? hour + kHalfDay : hour;
}

}  // namespace quirn
