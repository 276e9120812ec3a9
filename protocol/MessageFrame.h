#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace quirn {

// Framing of paged text messages and of sentences.
//
// Paged: prefix ("@" or "@" + master group character), command letter, group "%02d",
// location "%02d", data, "#", four checksum characters over everything before them.
// Sentence: "$", payload, "*", XOR of the payload as two hexadecimal digits.

inline constexpr size_t kMessageBufferSize = 4000;
inline constexpr char kPagedStart = '@';
inline constexpr char kPagedEnd = '#';
inline constexpr char kSentenceStart = '$';
inline constexpr char kSentenceEnd = '*';
inline constexpr size_t kSentenceOverhead = 4;  // "$", "*" and two checksum digits
inline constexpr int kFirstMasterGroup = 1;
inline constexpr int kLastMasterGroup = 10;
inline constexpr int kMaxAddressNumber = 99;  // group and location fields are two digits

// "@" when the agency has no master groups, for master group 1 and for anything outside
// 1..30; master groups 2..10 give "@" + "1".."9" (character master group + 47); 11..30
// give the character master group + 37, so "0" for 11 and, from 12 on, characters that
// repeat those of 2..10 (nothing in the system sends above 10).
std::string masterGroupPrefix(int masterGroup, bool hasMasterGroups);

// The framed text before the end mark: prefix, letter, group, location, data. Empty when
// group or location does not fit its two digits (0..99).
std::string pagedBody(std::string_view prefix, char letter, int group, int location,
                      std::string_view data);

// A complete paged message: body, "#", checksum. Empty when the body is.
std::string pagedMessage(std::string_view prefix, char letter, int group, int location,
                         std::string_view data);

// "$" + payload + "*" + two hexadecimal digits; length payload + 4.
std::string sentence(std::string_view payload);

// Copies `bytes` into buffer when they fit in `capacity`; returns the count copied, 0 (and
// nothing written) when they do not fit. With `terminate`, one more byte is needed for the
// NUL written after the text (it is not counted).
size_t copyWhole(std::string_view bytes, char* buffer, size_t capacity, bool terminate);

}  // namespace quirn
