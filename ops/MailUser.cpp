#include "ops/MailUser.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace quirn {

namespace {

constexpr std::size_t kNameField = 1;
constexpr std::size_t kAddressField = 2;
constexpr std::size_t kKindsField = 3;
constexpr std::size_t kOnDutyField = 4;
constexpr std::size_t kFieldCount = 5;

bool parseLong(std::string_view field, long long& value) {
    field = trimBlanks(field);
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    if (field.empty()) return false;
    auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), value);
    return ec == std::errc() && end == field.data() + field.size();
}

// The mask may have been written as a signed 32-bit number; both spellings give the same bits.
bool parseMask(std::string_view field, std::uint32_t& mask) {
    long long value = 0;
    if (!parseLong(field, value) || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::uint32_t>::max())
        return false;
    mask = static_cast<std::uint32_t>(value);
    return true;
}

std::string csvSafe(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ',' && c != '\r' && c != '\n') out += c;
    return out;
}

}  // namespace

std::optional<MailUser> MailUser::parse(std::string_view line) {
    if (line.size() >= kLineBufferSize) line = line.substr(0, kLineBufferSize - 1);
    std::vector<std::string_view> fields = splitFields(line);
    if (fields.size() < kFieldCount || fields[0] != kKeyword) return std::nullopt;
    for (std::size_t i = kNameField; i <= kOnDutyField; ++i)
        if (trimBlanks(fields[i]).empty()) return std::nullopt;
    MailUser user;
    long long onDuty = 0;
    if (!parseMask(fields[kKindsField], user.kinds) || !parseLong(fields[kOnDutyField], onDuty))
        return std::nullopt;
    user.name = std::string(fields[kNameField]);
    user.address = std::string(trimBlanks(fields[kAddressField]));
    user.onDuty = onDuty != 0;
    return user;
}

void MailUser::writeCsv(CrLfWriter& out) const {
    const std::string safeName = csvSafe(name);
    const std::string safeAddress = csvSafe(address);
    long long mask = static_cast<long long>(kinds);
    // A mask read in its signed spelling ("-1") is written unsigned, which can be eight
    // characters longer. When that would take the line past what a read keeps, the on-duty
    // value would be cut off and the technician lost at the next start: the line then takes
    // the shorter of the two spellings, so it is never longer than the line it was read from.
    const std::size_t fixedLength = std::string_view(kKeyword).size() + safeName.size() +
                                    safeAddress.size() + std::string_view(",,,,1").size();
    const std::string unsignedText = std::to_string(mask);
    const long long signedMask = static_cast<std::int32_t>(kinds);
    if (fixedLength + unsignedText.size() >= kLineBufferSize &&
        std::to_string(signedMask).size() < unsignedText.size())
        mask = signedMask;
    out.line(kKeyword, safeName, safeAddress, mask, onDuty ? 1 : 0);
}

}  // namespace quirn
