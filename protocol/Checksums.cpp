#include "protocol/Checksums.h"

namespace quirn {

namespace {

constexpr int kBitsPerByte = 8;
constexpr uint32_t kLow16 = 0xFFFF;
constexpr unsigned kNibbleBits = 4;
constexpr unsigned kNibbleMask = 0xF;

// One byte into the running value: XOR, then eight shifts each tested after the shift.
uint32_t foldByte(uint32_t c, uint32_t value) {
    c ^= value;
    for (int i = 0; i < kBitsPerByte; ++i) {
        c >>= 1;
        if (c & 1u) c ^= kChecksumPolynomial;
    }
    return c;
}

// A character as the signed 8-bit value it is on the wire, sign-extended to 32 bits.
uint32_t signExtended(char ch) {
    return static_cast<uint32_t>(static_cast<int32_t>(static_cast<int8_t>(ch)));
}

}  // namespace

uint16_t pagedChecksum(std::string_view bytes) {
    uint32_t c = kChecksumSeed;
    for (char ch : bytes) c = foldByte(c, signExtended(ch));
    for (char ch : bytes) c += signExtended(ch);  // 32-bit wrap-around is intended
    return static_cast<uint16_t>(c & kLow16);
}

uint16_t replyChecksum(std::string_view bytes) {
    uint32_t c = kChecksumSeed;
    for (char ch : bytes) c = foldByte(c, static_cast<uint8_t>(ch));
    return static_cast<uint16_t>(c & kLow16);
}

char nibbleChar(unsigned nibble) {
    return static_cast<char>('0' + (nibble & kNibbleMask));
}

std::string checksumText(uint16_t checksum) {
    std::string out(kChecksumTextLength, '0');
    for (size_t i = 0; i < kChecksumTextLength; ++i) {
        unsigned shift = static_cast<unsigned>(kChecksumTextLength - 1 - i) * kNibbleBits;
        out[i] = nibbleChar(checksum >> shift);
    }
    return out;
}

uint8_t sentenceChecksum(std::string_view payload) {
    uint8_t x = 0;
    for (char ch : payload) x ^= static_cast<uint8_t>(ch);
    return x;
}

std::string hexByteText(uint8_t value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    return {kHex[value >> kNibbleBits], kHex[value & kNibbleMask]};
}

}  // namespace quirn
