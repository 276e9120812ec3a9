#include "comms/IpTableFile.h"

#include <cstdint>

#include "platform/AtomicFile.h"
#include "platform/FileSystem.h"

namespace quirn {

namespace {

constexpr std::uint8_t kLongLength = 0xFF;
constexpr std::uint32_t kWordLimit = 0xFFFE;
constexpr std::uint16_t kWordEscape = 0xFFFF;
// A table larger than this is not a table this station wrote.
constexpr std::uint32_t kMaxRecords = 1u << 24;

void putU16(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void putU32(std::string& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void putCounted(std::string& out, const std::string& s) {
    auto length = static_cast<std::uint32_t>(s.size());
    if (length < kLongLength) {
        out += static_cast<char>(length);
    } else if (length < kWordLimit) {
        out += static_cast<char>(kLongLength);
        putU16(out, static_cast<std::uint16_t>(length));
    } else {
        out += static_cast<char>(kLongLength);
        putU16(out, kWordEscape);
        putU32(out, length);
    }
    out += s;
}

// Reads little-endian fields off the front of a byte view; every read checks the room left.
class Cursor {
  public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}
    bool u8(std::uint32_t& v) { return take(1, v); }
    bool u16(std::uint32_t& v) { return take(2, v); }
    bool u32(std::uint32_t& v) { return take(4, v); }
    bool counted(std::string& s) {
        std::uint32_t length = 0;
        if (!u8(length)) return false;
        if (length == kLongLength) {
            if (!u16(length)) return false;
            if (length == kWordEscape && !u32(length)) return false;
        }
        if (length > bytes_.size()) return false;
        s.assign(bytes_.substr(0, length));
        bytes_.remove_prefix(length);
        return true;
    }
    bool atEnd() const { return bytes_.empty(); }

  private:
    bool take(std::size_t n, std::uint32_t& v) {
        if (bytes_.size() < n) return false;
        v = 0;
        for (std::size_t i = 0; i < n; ++i)
            v |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes_[i])) << (8 * i);
        bytes_.remove_prefix(n);
        return true;
    }
    std::string_view bytes_;
};

}  // namespace

std::string IpTableFile::encode(const std::vector<IpTableRecord>& records) {
    std::string out;
    out.reserve(8 + records.size() * 40);
    putU32(out, static_cast<std::uint32_t>(records.size()));
    for (const auto& r : records) {
        putCounted(out, r.address);
        putU32(out, 0);
        putU32(out, r.enabled ? 1 : 0);
        putCounted(out, r.name);
    }
    putU32(out, 0);
    return out;
}

std::optional<std::vector<IpTableRecord>> IpTableFile::decode(std::string_view bytes) {
    Cursor in(bytes);
    std::uint32_t count = 0;
    if (!in.u32(count) || count > kMaxRecords) return std::nullopt;
    std::vector<IpTableRecord> records;
    for (std::uint32_t i = 0; i < count; ++i) {
        IpTableRecord r;
        std::uint32_t zero = 0, enabled = 0;
        if (!in.counted(r.address) || !in.u32(zero) || !in.u32(enabled) || !in.counted(r.name))
            return std::nullopt;
        r.enabled = enabled != 0;
        records.push_back(std::move(r));
    }
    std::uint32_t closing = 0;
    if (!in.u32(closing)) return std::nullopt;
    return records;
}

bool IpTableFile::write(const std::string& path, const std::vector<IpTableRecord>& records) {
    return replaceFileAtomically(path, encode(records));
}

std::optional<std::vector<IpTableRecord>> IpTableFile::read(const std::string& path) {
    auto bytes = readWholeFile(path);
    if (!bytes) return std::nullopt;
    return decode(*bytes);
}

}  // namespace quirn
