#pragma once
#include <cstdint>

namespace quirn {

// Packed BCD as the MX40 and LR40 time switches use it.

inline constexpr int kBcdMax = 99;
inline constexpr uint8_t kPmBit = 0x80;  // set on a twelve-hour BCD hour from noon on

// BCD byte: (v / 10) * 16 + v % 10 for v in 0..99; 0 for anything else.
uint8_t toBcd(int value);

// Value of a BCD byte (high nibble * 10 + low nibble); nibbles above 9 are taken as they are.
int fromBcd(uint8_t bcd);

// Twelve-hour BCD: 0 -> 12, 1..11 -> hour, 12 -> 12 | PM, 13..23 -> (hour - 12) | PM.
// An hour outside 0..23 gives 0 (no valid hour byte is 0).
uint8_t toTwelveHourBcd(int hour);

// Hour of a twelve-hour BCD byte: BCD of the low seven bits modulo 12, plus 12 with the PM bit.
int fromTwelveHourBcd(uint8_t bcd);

}  // namespace quirn
