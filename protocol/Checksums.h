#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace quirn {

// Checksums of the three message families and of the compact QN510 reply. Each takes the
// covered bytes and nothing else; callers decide what is covered.

// Seed of both paged and reply checksums.
inline constexpr uint32_t kChecksumSeed = 0xFFFF;
// Polynomial folded in after each shift.
inline constexpr uint32_t kChecksumPolynomial = 0xA001;
// Characters of a written checksum.
inline constexpr size_t kChecksumTextLength = 4;

// Paged checksum: each byte as a signed 8-bit value, sign-extended, XORed into 0xFFFF; eight
// logical right shifts, folding in 0xA001 whenever the bit shifted INTO position 0 is set; then
// the sign-extended bytes are added once more. Low 16 bits.
uint16_t pagedChecksum(std::string_view bytes);

// Reply checksum of the compact QN510 reply: like the paged one but with unsigned bytes and
// without the closing sum. Low 16 bits.
uint16_t replyChecksum(std::string_view bytes);

// A 16-bit checksum as four characters, high nibble first, each "0" + nibble (so 10..15 are
// ":" .. "?", never hexadecimal letters).
std::string checksumText(uint16_t checksum);

// The character "0" + nibble for a value 0..15 (only the low four bits are used).
char nibbleChar(unsigned nibble);

// Sentence checksum: XOR of every payload byte.
uint8_t sentenceChecksum(std::string_view payload);

// Two upper-case hexadecimal digits, high nibble first.
std::string hexByteText(uint8_t value);

}  // namespace quirn
