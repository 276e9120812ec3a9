#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quirn {

// What the IP table file keeps of an entry; everything else starts at the entry's defaults.
struct IpTableRecord {
    std::string address;
    bool enabled = true;
    std::string name;
    bool operator==(const IpTableRecord&) const = default;
};

// The IP table file "quirnwireless.quirn" (little-endian): the entry count (u32); per entry
// its address (counted string), a u32 zero, enabled (u32 1 or 0) and name (counted string);
// a closing u32 zero. A counted string is its length and its 8-bit characters: one length byte
// below 255, else 255 and a u16 below 65534, else 255, 255, 255 and a u32.
class IpTableFile {
  public:
    static constexpr const char* kFileName = "quirnwireless.quirn";

    static std::string encode(const std::vector<IpTableRecord>& records);
    // Nothing when the bytes are not a whole, well-formed table.
    static std::optional<std::vector<IpTableRecord>> decode(std::string_view bytes);

    // Whole-file replace; false when it could not be written.
    static bool write(const std::string& path, const std::vector<IpTableRecord>& records);
    // Nothing when the file is missing or malformed.
    static std::optional<std::vector<IpTableRecord>> read(const std::string& path);
};

}  // namespace quirn
