#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quirn::com {

// A globally unique identifier laid out as the component model lays one out.
struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};
    friend bool operator==(const Guid&, const Guid&) = default;
};

// "{6814BF2C-B1DC-490D-80CF-AF25DB94DB4B}", as the registry spells identifiers.
std::string guidText(const Guid& g);
// Reads that form (braces optional, either case); nothing when it is not one.
std::optional<Guid> parseGuid(std::string_view text);

}  // namespace quirn::com
