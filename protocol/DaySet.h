#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace quirn {

// Day letters and the two day-mask orders of the protocol.
//
// Send order (used to choose day letters): Sunday 64, Monday 32 ... Saturday 1.
// QN510 order (the time switch's memory and the decoded letters): Sunday 1, Monday 2 ...
// Saturday 64.

inline constexpr int kDaysPerWeek = 7;
inline constexpr unsigned kAllDaysMask = 0x7F;  // 127 in either order

// Send-order bit of a weekday 1 (Sunday) .. 7 (Saturday); 0 for anything else.
unsigned sendDayBit(int weekday);

// QN510-order bit of a weekday 1 (Sunday) .. 7 (Saturday); 0 for anything else.
unsigned qn510DayBit(int weekday);

// Day-set text of a send-order mask: each day letter of the mask followed by `pair`.
// Mask 0 gives "o" alone; an empty pair (a missing step) or a mask outside 0..127 gives " ".
std::string daySetText(unsigned mask, std::string_view pair);

// The day letters alone that daySetText would write for a mask 1..127 ("" otherwise).
std::string_view dayLetters(unsigned mask);

// QN510-order mask of a day letter ("A" Monday-Friday ... "S" Wednesday-Friday);
// 0 for any other character.
unsigned dayLetterMask(char letter);

}  // namespace quirn
