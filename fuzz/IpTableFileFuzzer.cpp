// The IP table file ("quirnwireless.quirn") from any bytes, decoded as they are (no file is
// read). A table that decodes holds no more entries than its bytes could, and encoding it
// gives a table that decodes to the same entries and encodes to the same bytes again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "comms/IpTableFile.h"

namespace {

// An entry's least bytes: two empty counted strings and two u32 fields.
constexpr std::size_t kLeastEntry = 1 + 4 + 4 + 1;
constexpr std::size_t kCountAndClosing = 4 + 4;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto decoded = quirn::IpTableFile::decode(bytes);
    if (!decoded) return 0;
    if (size < kCountAndClosing || decoded->size() > (size - kCountAndClosing) / kLeastEntry)
        std::abort();
    const std::string encoded = quirn::IpTableFile::encode(*decoded);
    const auto again = quirn::IpTableFile::decode(encoded);
    if (!again || *again != *decoded) std::abort();
    if (quirn::IpTableFile::encode(*again) != encoded) std::abort();
    return 0;
}
