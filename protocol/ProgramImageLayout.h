#pragma once
#include <cstddef>

#include "plans/PlanTypes.h"

namespace quirn::program_image {

// Byte layout of the 968-byte program image of the MX40 and LR40, as far as the messages built
// from it need to know. Numbers in the image are BCD unless noted.

inline constexpr size_t kSize = kProgramImageSize;
inline constexpr size_t kEndMarkAt = kProgramImageEndMark;  // the closing "O"
inline constexpr size_t kAddress = 4;  // master group, group, location (3 bytes)
inline constexpr size_t kAddressLength = 3;
inline constexpr size_t kPlanSlots = 9;  // first slot (offset 9) is day plan 0: not a plan
inline constexpr size_t kSlotStart = 9;
inline constexpr size_t kSlotLength = 64;
inline constexpr size_t kStepsPerSlot = 16;
inline constexpr size_t kStepLength = 4;  // 12h hour, minute, relay, 0
inline constexpr size_t kStepBytesSent = 3;
inline constexpr size_t kAnnualStart = 649;
inline constexpr size_t kAnnualEntries = 36;
inline constexpr size_t kAnnualLength = 8;
inline constexpr size_t kAnnualBytesSent = 7;
inline constexpr size_t kDaylightRule = 938;
inline constexpr size_t kDaylightRuleLength = 4;
inline constexpr size_t kDefaultWeek = 947;
inline constexpr size_t kDefaultWeekLength = 7;
inline constexpr size_t kRelay = 955;
inline constexpr size_t kClock = 956;
inline constexpr size_t kClockLength = 7;

// Offset of day plan p's slot (p = 1..9).
constexpr size_t slotOffset(size_t plan) {
    return kSlotStart + kSlotLength * plan;
}
// Offset of annual entry i (i = 0..35).
constexpr size_t annualOffset(size_t index) {
    return kAnnualStart + kAnnualLength * index;
}

}  // namespace quirn::program_image
