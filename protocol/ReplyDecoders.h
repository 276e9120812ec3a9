#pragma once
#include <cstddef>
#include <cstdint>
#include <ctime>

#include "protocol/ProgramImage.h"
#include "protocol/Qn510Image.h"

namespace quirn {

// Decoders of the replies time switches send to a read request. Both read only the `count`
// bytes given and yield an invalid image on any failed check.

// Length of a compact QN510 reply with no table entries: kind, clock, reserved, flags,
// version, reserved, three counts and the checksum.
inline constexpr size_t kCompactQn510Minimum = 16;

// A QN510 or Strider reply: 776 bytes are the raw memory, copied as they are; anything else
// must be a compact reply ("S", weekday, hour, minute, reserved, flags, version letter, two
// reserved, then three counted tables of 3-byte entries, then four checksum characters). A
// compact reply is accepted only when each count is 0..84 and the length is exactly
// 16 + 3 x (n + m + k). `readTime` dates the switch's clock.
Qn510Image parseQN510Reply(const uint8_t* bytes, size_t count, std::time_t readTime = 0);

// An LR40 reply: 968 bytes are the raw image; anything else must be an 'S' sentence ("$S",
// address, length field equal to the count, "*" three bytes from the end, a matching XOR
// checksum) whose plans, steps and annual entries all lie within the sentence.
ProgramImage parseLR40Reply(const uint8_t* bytes, size_t count);

}  // namespace quirn
