#pragma once
#include <cstdint>

namespace quirn::sim {

// Packed BCD as the MX40 and LR40 keep numbers; the simulator's own, so that its replies do
// not lean on the station's encoders.

inline constexpr uint8_t kTwelveHourPm = 0x80;
inline constexpr int kHoursHalfDay = 12;

inline uint8_t bcdOf(int value) {
    if (value < 0 || value > 99) return 0;
    return static_cast<uint8_t>((value / 10) * 16 + value % 10);
}

inline int valueOfBcd(uint8_t bcd) {
    return (bcd >> 4) * 10 + (bcd & 0x0F);
}

// Hour 0 is written 12, noon 12 with the PM bit, 13..23 as 1..11 with the PM bit.
inline uint8_t twelveHourOf(int hour) {
    if (hour < 0 || hour > 23) return 0;
    int h = hour % kHoursHalfDay == 0 ? kHoursHalfDay : hour % kHoursHalfDay;
    return static_cast<uint8_t>(bcdOf(h) | (hour >= kHoursHalfDay ? kTwelveHourPm : 0));
}

inline int hourOfTwelveHour(uint8_t bcd) {
    int h = valueOfBcd(static_cast<uint8_t>(bcd & ~kTwelveHourPm)) % kHoursHalfDay;
    return h + ((bcd & kTwelveHourPm) ? kHoursHalfDay : 0);
}

}  // namespace quirn::sim
