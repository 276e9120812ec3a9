#include "calendar/com/Guid.h"

#include "platform/Format.h"

namespace quirn::com {

namespace {

constexpr size_t kBareLength = 36;  // 8-4-4-4-12 hex digits and four dashes
constexpr size_t kDashes[] = {8, 13, 18, 23};

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string guidText(const Guid& g) {
    return format("{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.data1), g.data2, g.data3, g.data4[0], g.data4[1],
                  g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
}

std::optional<Guid> parseGuid(std::string_view text) {
    if (text.size() == kBareLength + 2 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, kBareLength);
    if (text.size() != kBareLength) return std::nullopt;
    std::uint8_t bytes[16];
    size_t n = 0;
    for (size_t i = 0; i < text.size();) {
        bool dash = false;
        for (size_t d : kDashes) dash = dash || d == i;
        if (dash) {
            if (text[i] != '-') return std::nullopt;
            ++i;
            continue;
        }
        int hi = hexValue(text[i]), lo = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
        if (hi < 0 || lo < 0 || n >= sizeof bytes) return std::nullopt;
        bytes[n++] = static_cast<std::uint8_t>(hi * 16 + lo);
        i += 2;
    }
    if (n != sizeof bytes) return std::nullopt;
    Guid g;
    g.data1 = (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
              (std::uint32_t{bytes[2]} << 8) | bytes[3];
    g.data2 = static_cast<std::uint16_t>((bytes[4] << 8) | bytes[5]);
    g.data3 = static_cast<std::uint16_t>((bytes[6] << 8) | bytes[7]);
    for (int i = 0; i < 8; ++i) g.data4[i] = bytes[8 + i];
    return g;
}

}  // namespace quirn::com
