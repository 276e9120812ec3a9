#include "plans/ConnectionAddress.h"

#include "plans/PlanTypes.h"

namespace quirn {

namespace {

constexpr int kMaxOctet = 255;
constexpr int kOctets = 4;
constexpr size_t kMaxOctetDigits = 3;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

bool isDottedAddress(std::string_view s) {
    int octets = 0;
    while (true) {
        size_t digits = 0;
        int value = 0;
        // Past three digits the octet is refused anyway; counting on keeps the value bounded.
        for (; digits < s.size() && isDigit(s[digits]); ++digits)
            if (digits < kMaxOctetDigits) value = value * 10 + (s[digits] - '0');
        if (digits == 0 || digits > kMaxOctetDigits || value > kMaxOctet ||
            (digits > 1 && s[0] == '0'))
            return false;
        s.remove_prefix(digits);
        ++octets;
        if (s.empty()) return octets == kOctets;
        if (s[0] != '.' || octets == kOctets) return false;
        s.remove_prefix(1);
    }
}

bool isTimeSwitchConnection(std::string_view connection) {
    if (connection == kRadioAddress || connection == kM2MAddress) return true;
    return connection != kBroadcastAddress && isDottedAddress(connection);
}

}  // namespace quirn
