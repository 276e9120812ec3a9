#include "protocol/MessageFrame.h"

#include <cstdio>
#include <cstring>

#include "protocol/Checksums.h"

namespace quirn {

namespace {

constexpr int kHighestPrefixedMasterGroup = 30;
constexpr int kLowMasterGroupOffset = 47;   // 2 -> "1"
constexpr int kHighMasterGroupOffset = 37;  // 11 -> "0"
constexpr size_t kNumberFieldSize = 8;      // "%02d%02d" of two-digit numbers, and the NUL

bool fitsTwoDigits(int n) {
    return n >= 0 && n <= kMaxAddressNumber;
}

}  // namespace

std::string masterGroupPrefix(int masterGroup, bool hasMasterGroups) {
    std::string prefix(1, kPagedStart);
    if (!hasMasterGroups || masterGroup <= kFirstMasterGroup ||
        masterGroup > kHighestPrefixedMasterGroup)
        return prefix;
    int offset = masterGroup <= kLastMasterGroup ? kLowMasterGroupOffset : kHighMasterGroupOffset;
    prefix += static_cast<char>(masterGroup + offset);
    return prefix;
}

std::string pagedBody(std::string_view prefix, char letter, int group, int location,
                      std::string_view data) {
    if (!fitsTwoDigits(group) || !fitsTwoDigits(location)) return {};
    char numbers[kNumberFieldSize];
    std::snprintf(numbers, sizeof numbers, "%02d%02d", group, location);
    std::string out;
    out.reserve(prefix.size() + 1 + sizeof numbers + data.size());
    out.append(prefix);
    out += letter;
    out.append(numbers);
    out.append(data);
    return out;
}

std::string pagedMessage(std::string_view prefix, char letter, int group, int location,
                         std::string_view data) {
    std::string out = pagedBody(prefix, letter, group, location, data);
    if (out.empty()) return out;
    out += kPagedEnd;
    out += checksumText(pagedChecksum(out));
    return out;
}

std::string sentence(std::string_view payload) {
    std::string out;
    out.reserve(payload.size() + kSentenceOverhead);
    out += kSentenceStart;
    out.append(payload);
    out += kSentenceEnd;
    out += hexByteText(sentenceChecksum(payload));
    return out;
}

size_t copyWhole(std::string_view bytes, char* buffer, size_t capacity, bool terminate) {
    size_t needed = bytes.size() + (terminate ? 1 : 0);
    if (buffer == nullptr || needed > capacity) return 0;
    if (!bytes.empty()) std::memcpy(buffer, bytes.data(), bytes.size());
    if (terminate) buffer[bytes.size()] = '\0';
    return bytes.size();
}

}  // namespace quirn
